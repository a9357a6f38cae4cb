// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImage>
#include <QString>

struct FilesRecord;

// The signature fields of one catalogue row, as the pre-scan carries them from the row (or
// the placeholders of a new row) to the computations and back.
struct SignatureBuffer
{
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

    static SignatureBuffer from(const FilesRecord &row);
    void into(FilesRecord &row) const;
    bool operator==(const SignatureBuffer &o) const;
};

// Which signatures a search needs.
struct SignatureNeeds
{
    bool checksum = false;
    bool colour = false;
    bool pattern = false;
};

// The signatures the buffer still lacks among those needed: a checksum shorter than 200
// characters or without its blank after a four-character type, colour texts shorter than 5,
// a pattern text shorter than 5.
SignatureNeeds missing(const SignatureBuffer &buffer, const SignatureNeeds &needs);
inline bool any(const SignatureNeeds &n) { return n.checksum || n.colour || n.pattern; }

// Computes the missing signatures of one file (safe to call from worker threads). The file is
// decoded at most once. A file that cannot be read keeps what the buffer held. When preview
// is given, it receives the decoded picture scaled to fit 600 x 600.
struct SignatureResult
{
    SignatureBuffer buffer;
    bool readFile = false; // the file's content was read
    qint64 decodedBytes = 0; // the size of the decoded picture, when one was decoded
};
SignatureResult computeSignatures(const QString &path, const QString &type,
                                  const SignatureBuffer &buffer, const SignatureNeeds &needs,
                                  QImage *preview = nullptr);
