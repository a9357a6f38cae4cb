// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QString>

// The two content checks of the checksum comparison mode: a short signature that makes
// candidates, and the whole-content comparison that confirms them.
namespace Checksum {

constexpr int HeadBytes = 402; // bytes of a file that the signature reads
constexpr int Digits = 200;    // one digit for each 16-bit word but the first

// The CHECKSUM text of a file: its type as given (".JPG"), a space, its length in bytes, a
// space, then for each signed little-endian 16-bit word 1 to 200 of its first 402 bytes the
// last decimal digit of the word (words past the end of a short file are 0). Reads the file
// once; an unreadable file gives 200 "0" digits.
QString Compute(const QString &path, const QString &type);

// The same text from a file's length and its first bytes (only the first 402 are used).
QString Text(const QString &type, qint64 length, const QByteArray &head);

// True when both files can be read, have the same length and are equal from their third
// byte on (the first two bytes do not take part). Each file is located first. Reads both
// files in step in fixed-size blocks and stops at the first difference.
bool CompareFiles(const QString &volume1, const QString &path1, const QString &volume2,
                  const QString &path2);

} // namespace Checksum
