// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

#include <optional>

// The LIST TAG file beside a catalogue: one line, the month (1-12) in which the catalogue
// was last compacted or created.
namespace ListTag {

QString pathFor(const QString &catalogueName); // data/<name>.lcd
int currentMonth();
// Writes the month as a printed number (" 7" CRLF), replacing the file.
bool write(const QString &path, int month);
// The first line, blanks trimmed; nothing when the file cannot be read.
std::optional<QString> readFirstLine(const QString &path);

} // namespace ListTag
