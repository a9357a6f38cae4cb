// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "filesrecord.h"

#include <QDateTime>
#include <QString>

// One side of a pair as a search holds it: a copy of the FILES row of the reference or of the
// candidate (in the pair review: pane 1 and pane 2). The copy outlives changes to the row, so
// the review can say which file it showed; its removal tag is set to "D" by the file actions
// when they delete the file, and the next search reads it.
struct MatchRecord
{
    qint64 rowId = -1; // the row in FILES; -1 while no row has been loaded
    double RECNUM = 0;
    QString RTAG; // empty while no row has been loaded, else " " or "D"
    QString DRIVEVOLUME;
    QString PATH;
    QString NAME;
    QString REFNAME;
    QString BASENAME;
    QString EXTENSION;
    QString WHOLENAME;
    QString WHOLEBASE;
    QString DISKNAME; // the whole file name exactly as on disk
    double SIZE = 0;
    QDateTime DATE;
    QString CHECKSUM;
    double XYRATIO = 0;
    QString RGB;
    QString QRGB;
    QString SOFTRGB;
    QString SOFTQRGB;
    QString PXLRAY;
    qint16 PXLNUM = 0;
    qint16 X = 0;
    qint16 Y = 0;

    bool isEmpty() const { return rowId < 0; }
    bool isTagged() const { return RTAG == QLatin1String("D"); }
    // "[LABEL] /path/": the text the IFCD and the exclusive option compare.
    QString directoryText() const { return DRIVEVOLUME + QLatin1Char(' ') + PATH; }
    // The file on disk.
    QString fullPath() const { return PATH + DISKNAME; }
    // The same file twice: one folder and the same name on disk, exactly.
    bool isSameFile(const MatchRecord &other) const
    {
        return PATH == other.PATH && DISKNAME == other.DISKNAME;
    }

    static MatchRecord fromRow(qint64 rowId, const FilesRecord &row);
};
