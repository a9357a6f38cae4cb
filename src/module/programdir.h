// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// Where the program keeps its settings, lists, catalogues and marker files.
namespace ProgramDir {

// The folder named by VEXA_HOME; else the executable's folder when it holds VEXA.INI
// (portable use); else the per-user data folder. Resolved once, then cached.
QString path();

// Joins a name to the program directory: file("VEXA.INI"), file("data/x.lst").
QString file(const QString &name);

// The folder "data" inside the program directory, created when missing.
QString dataDir();
bool ensureDataDir();

// Makes another folder the program directory for the rest of the run (a report over
// directories keeps its own catalogue and marker files apart from the user's).
void useFolder(const QString &folder);
// Forgets the cached path (tests change VEXA_HOME between cases).
void reset();

} // namespace ProgramDir
