// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QStringList>

// The read-only files the program carries and writes into its directory when missing: the
// help page, the picture shown for unreadable images, the empty catalogue template and, for a
// new program directory, the sounds played after a search step.
namespace Resources {

// The folders the installed copies of those files are looked for in, nearest first: the
// build folder's "share/vexa" beside the executable, the installation prefix's (the
// executable's "../share/vexa"), then "vexa" in each of the desktop's data folders
// ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
QStringList dataDirs();

// The first of those folders holding the file, as a path; empty when none does.
QString findData(const QString &name);

// Writes whatever is missing, taking each file from the data folders and else from the copy
// compiled into the program (the template from the schema); never replaces an existing file.
// Returns an error text for the first file that could not be written, or an empty text.
QString writeMissing();

} // namespace Resources
