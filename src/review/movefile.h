// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QStringList>

class MainState;

// The move dialog's conversation and its move, without the dialog: the caller fills
// lblFILENAME and lblFROM, the user picks a destination, and MoveFile moves the picture and its
// thumbnail side-file there. When nothing moved, lblTO equals lblFROM. Locations read
// "[LABEL] /path/".
class MoveDialog
{
public:
    explicit MoveDialog(MainState &state);
    const MainState &state() const { return m_state; }

    QString lblFILENAME; // the name on disk of the file to move
    QString lblFROM;     // where it is
    QString lblTO;       // where it went; lblFROM while nothing moved
    QString lblNEWNAME;  // its name there, numbered after a clash
    QString lblDIR;      // the destination chosen in the dialog
    QStringList lstPATHS; // destinations used since the program started

    // A new file to move: every label set for it, the destination kept.
    void start(const QString &fileName, const QString &from);

    // The dialog's buttons; true when the dialog is to hide (the file moved).
    bool cmdADDDIR_Click();
    bool lstPATHS_DblClick(const QString &entry);
    void cmdCANCEL_Click();

    // The destination form of a directory: "[" + volume label + "] " + path ending with "/".
    static QString destinationOf(const QString &directory);
    // Splits a location into its volume tag (up to and including the first "]") and its path
    // (ending with "/").
    static void split(const QString &location, QString *volumeTag, QString *path);

    // Moves the file to lblTO. Within one file system the file is renamed, never over another
    // file; across file systems it is copied to a temporary name beside its destination,
    // flushed, compared with the original, named into place and only then deleted from its
    // source. The side-file goes the same way; if it cannot, the picture is put back. Any
    // failure leaves the original where it was and the dialog open. True when moved.
    bool MoveFile();

private:
    void notMoved();
    // One file from its place to a new name that is free; an error text on failure.
    QString transfer(const QString &from, const QString &to) const;
    // Takes back a transfer when its side-file could not follow.
    void undo(const QString &from, const QString &to) const;

    MainState &m_state;
};
