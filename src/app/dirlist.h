// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

class MainState;

// Named directory lists: the file data/<name>.lst holding the entries, the incoming files
// check directory (IFCD) and its tree flag.
namespace DirList {

QString pathFor(const QString &name); // data/<name>.lst

// Writes the list under name, creates its LIST TAG file when missing and makes name the
// current list. Shows its own messages; false when nothing or not all was written.
bool SaveList(MainState &state, const QString &name);

// Replaces the list, the IFCD and the tree flag with those of the named list file.
void LoadList(MainState &state, const QString &name);

// A directory entry: "[" + volume label + "] " + path ending with the separator.
QString entryFor(const QString &directory);

// True when a list-file line is a directory entry.
bool isEntryLine(const QString &line);

} // namespace DirList
