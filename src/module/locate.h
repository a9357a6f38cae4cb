// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// Reachability checks before a file or directory is used. On removable media that is not
// inserted they ask the user to load it; fixed and network volumes are never waited for.
// Both return when the file or directory is reachable, when no prompt is due, or when the
// user gives up; the caller then finds out for itself whether it can use the path.

// volumeTag is the catalogue's "[LABEL]" of the file; path its full path.
bool LocateFile(const QString &volumeTag, const QString &path);
// The same for a directory of the list; volumes chosen for re-activation are not prompted for.
bool LocateDirectory(const QString &volumeTag, const QString &path);
