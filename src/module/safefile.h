// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that never replace a good file with a bad one. Settings, lists, LIST TAG
// files and the marker files all go through here.
namespace SafeFile {

// Makes bytes the whole content of path. The bytes go to a new file beside it; every write is
// checked, the file is flushed to the disk, renamed over the old one, and the folder is
// flushed too, so after a crash the path holds either the old content or the new one. On any
// failure (full disk, file too large, folder not writable, path is a folder) the old file is
// left exactly as it was, nothing else is left behind, and false is returned with the reason
// in *error. A symbolic link at path is followed: its target gets the new content.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace SafeFile
