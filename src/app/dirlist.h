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

// Replaces the list, the IFCD and the tree flag with those of the named list file. False when
// the file could not be read (the list is then empty).
bool LoadList(MainState &state, const QString &name);

// The saves nobody asked for (at a search, at quit, after Add and Delete): writes the current
// list under its name, unless that would leave its file with fewer entries while the user has
// not changed the list since it was loaded. False when nothing was written.
bool SaveListAutomatically(MainState &state);

// A directory entry: "[" + volume label + "] " + path ending with the separator.
QString entryFor(const QString &directory);

// True when a list-file line is a directory entry.
bool isEntryLine(const QString &line);

// Appends the entry of a directory unless the list already holds it or it is the IFCD (an
// empty list takes it in any case). Returns the entry, or nothing when the directory cannot
// be a list entry (its path holds a line break; the user is told).
QString AddListEntry(MainState &state, const QString &directory);

// Adds a directory and every directory below it, depth first, each before its
// subdirectories, subdirectories in alphabetical order. Symbolic links to directories and
// hidden directories are not followed. keepResponsive runs between directories; it returns
// false to stop the walk early. Folders that could not be opened, and folders left out for
// their names, are reported in one message at the end. False when the directory itself
// cannot be a list entry.
bool AddTree(MainState &state, const QString &directory,
             const std::function<bool()> &keepResponsive = {});

// True when the folder can be listed by the user the program runs as.
bool isReadableDirectory(const QString &path);

// The folders in a folder, hidden ones and links left out, sorted without regard to case.
struct Subdirectories
{
    QStringList names;
    QStringList notText; // names that are not valid text here: no file operation reaches them
};
Subdirectories subdirectories(const QString &path);

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
