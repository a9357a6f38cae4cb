// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "identitykey.h"

#include <cstdio>

namespace IdentityKey {
namespace {

constexpr int VolumeChars = 5;
constexpr int LocationChars = 200;

// " length date": the blank before the length stands where a minus sign would be.
QString lengthAndDate(qint64 length, const QDateTime &modified)
{
    return QStringLiteral(" ") + QString::number(length) + QStringLiteral(" ") + dateText(modified);
}

} // namespace

QString dateText(const QDateTime &when)
{
    // Local time, so that one moment gives one key whether it came as UTC or local time.
    // Formatted by hand: a pre-scan builds one key per file, and the general date formatter
    // costs more than the rest of the key.
    if (!when.isValid())
        return QString();
    const QDateTime local = when.timeSpec() == Qt::LocalTime ? when : when.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year(),
                                d.month(), d.day(), t.hour(), t.minute(), t.second());
    return QString::fromLatin1(buf, n);
}

QString normal(const QString &wholeName, qint64 length, const QDateTime &modified)
{
    return (wholeName + lengthAndDate(length, modified)).toUpper();
}

QString byLocation(const QString &driveVolume, const QString &path, const QString &wholeName,
                   qint64 length, const QDateTime &modified)
{
    const QString location = path + wholeName + lengthAndDate(length, modified);
    return (driveVolume.left(VolumeChars) + location.right(LocationChars)).toUpper();
}

QString make(bool identifyByLocation, const QString &driveVolume, const QString &path,
             const QString &wholeName, qint64 length, const QDateTime &modified)
{
    return identifyByLocation ? byLocation(driveVolume, path, wholeName, length, modified)
                              : normal(wholeName, length, modified);
}

} // namespace IdentityKey
