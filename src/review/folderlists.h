// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

class QComboBox;
class QListWidget;

// The volume and folder lists of the dialogs that pick a place on disk (the move dialog and
// the external viewer's program chooser).
namespace FolderLists {

// Where each folder list item keeps the folder it stands for.
constexpr int PathRole = 0x0101; // Qt::UserRole + 1

// Fills a volume list with the mounted volumes, sorted, "/" always among them; each item
// carries its root.
void fillVolumes(QComboBox *volumes);

// Lists a folder: the folder itself, ".." (but at "/") and its subfolders sorted without
// regard to case, and selects its volume. Returns the folder's clean path, or nothing when it
// cannot be read (the lists are then left as they were).
QString listFolder(QListWidget *folders, QComboBox *volumes, const QString &path);

} // namespace FolderLists
