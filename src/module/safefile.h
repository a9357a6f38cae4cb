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
//
// With Sync::Deferred the file and its folder are not flushed: the swap is still atomic for
// every reader and after the program crashes, but after a power cut the path may hold the old
// content. Only for a file that replaces one already safely on disk, where the old content
// does no harm (a marker that some later flush makes current anyway).
enum class Sync { Now, Deferred };
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                Sync sync = Sync::Now);

} // namespace SafeFile
