// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Catalogue;
class MainState;
struct FilesRecord;
struct MatchRecord;

// What the review windows' Delete, Move and Rename do to a file on disk, its thumbnail
// side-file, its catalogue row and the deletion counters. No widgets: the windows lock their
// buttons, blank their panes and move on around these calls, so the snapshot review runs the
// same actions as the pair review.
namespace FileActions {

// Deletes the files through the desktop's Trash: 0 when every one went, else how many did not.
int RecycleFiles(const QStringList &paths);

// Adds the length of the file at path to SessionBytesRecovered and, rounded up to whole blocks
// of its volume, to SessionSectorBytesRecovered. A length that fills its last block exactly
// still counts one block more (1024 bytes on 512-byte blocks count 1536). Nothing when no file
// is there; only the first figure when the volume's block size cannot be had.
void TallyDeletedBytes(MainState &state, const QString &path);

// The deletion counters as the review windows show them: "3 files deleted, 57 total...".
QString deletedText(const MainState &state);

// The name without its type (the dot and three letters, or four for today's photo types such
// as ".webp"), as the catalogue keeps names.
QString stemOf(const QString &fileName);
// The base letters of a name a user typed: the name without its digits and "~".
QString baseLetters(const QString &name);
// True when the folder holds an entry of this name in any case (two such names would be one
// file on the volumes of other systems, and one row name in the catalogue).
bool nameTaken(const QString &folder, const QString &name);
// The thumbnail side-file of a picture, stem being its name without type: found without regard
// to case, the exact spelling first. Empty when there is none or no thumbnail type is set.
QString sideFileOf(const QString &folder, const QString &stem, const QString &thumbnailExt);
// True when the file still has the length and time its row was written with (or is gone, which
// the action itself then reports).
bool unchangedSinceScan(const MatchRecord &file);

enum class Outcome { NotDone, Done, Failed };

// Delete, rename and the catalogue side of a move, on one shown file.
class Actor
{
public:
    Actor(MainState &state, Catalogue &catalogue);

    // Refuses to delete the very file another shown record names (same file system and file
    // number: a hard link, or one folder reached twice), asks again when the file changed since the
    // search, asks for confirmation unless "No Confirm" is ticked, then tallies the bytes,
    // deletes (to the Trash with "Recycle"), counts, tags the row and the record "D" and deletes
    // the side-file. status receives the counters' line on success. Done: blank the pane.
    Outcome deleteFile(MatchRecord &file, const QVector<const MatchRecord *> &others,
                       QString *status);

    // Renames the file to newName plus its type, never over another file, after asking;
    // rewrites the row and the record, then renames the side-file. NotDone when the name is
    // empty or the same but for case, or the user said no.
    Outcome renameFile(MatchRecord &file, const QString &newName);

    // After the move dialog moved the file: the row and the record take its new place and name.
    bool recordMove(MatchRecord &file, const QString &volumeTag, const QString &path,
                    const QString &newName);

    // Asks again when the file's length or date changed since its row was written; false: the
    // user chose to leave it. verb: "delete", "move", "rename".
    bool confirmUnchanged(const MatchRecord &file, const QString &verb);

private:
    // Changes the row through the look-up by RECNUM and whole name, in one update.
    bool writeRow(const MatchRecord &file, const std::function<void(FilesRecord &)> &change);
    bool refuseSameFile(const MatchRecord &file, const QVector<const MatchRecord *> &others);
    bool removeOne(const QString &path);

    MainState &m_state;
    Catalogue &m_catalogue;
};

} // namespace FileActions
