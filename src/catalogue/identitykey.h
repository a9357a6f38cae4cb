// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDateTime>
#include <QString>

// The identity key (STAG) by which a pre-scan recognises a file it has catalogued before.
namespace IdentityKey {

// The fixed text form of a date-time in keys and in the catalogue: "yyyy-MM-dd hh:mm:ss".
QString dateText(const QDateTime &when);
// The same for a moment given as seconds since the epoch, in local time. Cheaper than going
// through QDateTime, which checks the system's time zone at each conversion.
QString dateText(qint64 secondsSinceEpoch);

// Normal form: whole name + " " + length + " " + date text, upper-cased.
QString normal(const QString &wholeName, qint64 length, const QDateTime &modified);

// Identify-by-location form: the first five characters of the volume tag, then the last 200
// characters of path + whole name + " " + length + " " + date text; upper-cased.
QString byLocation(const QString &driveVolume, const QString &path, const QString &wholeName,
                   qint64 length, const QDateTime &modified);

// Chooses the form by the setting.
QString make(bool identifyByLocation, const QString &driveVolume, const QString &path,
             const QString &wholeName, qint64 length, const QDateTime &modified);
QString make(bool identifyByLocation, const QString &driveVolume, const QString &path,
             const QString &wholeName, qint64 length, qint64 modifiedSecondsSinceEpoch);

} // namespace IdentityKey
