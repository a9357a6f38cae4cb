// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// The files of one type in one directory, as the pre-scan reads them.
struct ListedFile
{
    QString name;        // as on disk
    qint64 size = 0;
    qint64 modifiedSecs = 0; // last change, seconds since the epoch

    QDateTime modified() const { return QDateTime::fromSecsSinceEpoch(modifiedSecs, Qt::LocalTime); }
};

struct Listing
{
    bool ok = false;             // false: the directory could not be read
    QVector<ListedFile> files;   // sorted by name
    int unreadableNames = 0;     // names that are not valid text in this system's encoding
};

// Lists the plain files (and links to plain files) of a directory whose names end with the
// type (".JPG"), without regard to case. Names that cannot be turned into text and back are
// counted, not listed, since no file operation could reach them by that text.
Listing listFiles(const QString &directory, const QString &type);
// The same for several types at once, reading the directory once: one listing per type, in
// the order given.
QVector<Listing> listFiles(const QString &directory, const QStringList &types);
