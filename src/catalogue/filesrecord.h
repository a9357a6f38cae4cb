// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QDateTime>
#include <QString>

// One row of the catalogue table FILES: everything known about one image file.
// A single space in a text signature means "not computed yet".
struct FilesRecord
{
    double RECNUM = 0;
    QString DRIVEVOLUME;
    QString PATH;
    QString NAME;
    QString REFNAME;
    QString BASENAME;
    QString WHOLEBASE;
    QString WHOLENAME;
    QString DISKNAME; // the whole file name exactly as on disk
    QString EXTENSION;
    double SIZE = 0;
    QDateTime DATE;
    QString CHECKSUM = QStringLiteral(" ");
    qint16 X = 0;
    qint16 Y = 0;
    double XYRATIO = 0;
    QString RGB = QStringLiteral(" ");
    QString QRGB = QStringLiteral(" ");
    QString SOFTRGB = QStringLiteral(" ");
    QString SOFTQRGB = QStringLiteral(" ");
    QString PXLRAY = QStringLiteral(" ");
    qint16 PXLNUM = 0;
    QString ACTIVE = QStringLiteral(" ");
    QString RTAG = QStringLiteral(" ");
    QString STAG;
    QString REF;
    double ACCESSED = 0;

    // Signatures shorter than these limits count as not computed.
    bool hasChecksum() const { return CHECKSUM.size() >= 200; }
    static bool hasColourText(const QString &value) { return value.size() >= 5; }
};
