// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QList>
#include <QString>

#include <functional>

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

// Appends the entry of a directory unless the list already holds it or it is the IFCD (an
// empty list takes it in any case). Returns the entry.
QString AddListEntry(MainState &state, const QString &directory);

// Adds a directory and every directory below it, depth first, each before its
// subdirectories, subdirectories in alphabetical order. Symbolic links to directories and
// hidden directories are not followed. keepResponsive runs between directories; it returns
// false to stop the walk early.
void AddTree(MainState &state, const QString &directory,
             const std::function<bool()> &keepResponsive = {});

// The Delete button: removes the selected entries (row numbers), or with none selected offers
// to un-designate the IFCD and to remove it (with every entry below it in tree mode).
void DeleteEntries(MainState &state, const QList<int> &selectedRows);

// A list name as typed in the load / save dialog: cut at the first "." and trimmed.
QString nameFromInput(const QString &typed);

// Deletes a list's files: the list, its catalogue, its LIST TAG file and lock files.
void DeleteListFiles(const QString &name);

// True when the name can name a file of the data folder.
bool isUsableName(const QString &name);

} // namespace DirList
