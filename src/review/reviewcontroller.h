// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "fileactions.h"
#include "walker.h"

#include <QString>

#include <functional>
#include <memory>

class MainState;
class MoveDialog;

// What both review windows need from their window. The program's windows draw; tests answer
// with scripted ones.
class ReviewHost
{
public:
    virtual ~ReviewHost() = default;
    // Shows the controller's texts, colours and buttons again.
    virtual void refresh() = 0;
    virtual void processEvents() = 0;
    // Shows one or two files full size (the size texts read "2048 bytes"; an empty second
    // path: one file) and returns the viewer's delete request: the path of the file the user
    // asked to delete there, or empty.
    virtual QString showFullSize(const QString &path1, const QString &path2, const QString &size1,
                                 const QString &size2) = 0;
    // The count box: the running figure without waiting, then the result until Continue.
    virtual void countProgress(const QString &text) = 0;
    virtual void countResult(const QString &text) = 0;
    // Runs the move dialog for a file (its name on disk, its "[LABEL] /path/") to its end.
    virtual MoveDialog &runMoveDialog(const QString &fileName, const QString &from) = 0;
    // Closes the window; the window then calls Form_Unload.
    virtual void unload() = 0;
};

// What the pair review and the snapshot review do alike, over one walker of the matching
// engine: opening the catalogue, the first activation, the records-left count, the step's
// bookkeeping, the move of a shown file and the way back to the main window.
class ReviewController : public WalkerView
{
public:
    enum class Colour { Normal, Blue, Red };

    ~ReviewController() override;

    // Opens the catalogue and the browse order of the current options.
    void Form_Load();
    // The first activation: "No files to review..." and the window closes, or the review
    // starts at the row where the last one stopped (the first row when it is gone).
    void Form_Activate();
    void Form_Unload();
    void cmdCOUNT_Click();
    void cmdSTOP_Click();

    QString statusText() const { return m_status; }
    Walker *walker() { return m_walker.get(); }

    virtual void LockButtons() = 0;
    virtual void UnlockButtons() = 0;
    // A search or an action runs: Exit is disabled.
    virtual bool isLocked() const = 0;

    // WalkerView
    void endReached() override;
    void status(const QString &text) override;
    void processEvents() override;
    void information(const QString &text) override;
    void lockButtons() override { LockButtons(); }
    void unlockButtons() override { UnlockButtons(); }
    void countProgress(double counted) override;

    // The colour of a file's name and location: blue in a temporary folder (a path holding
    // "TEMP" or "TMP" in any case), red inside the IFCD, which wins.
    static Colour colourOf(const MainState &state, const MatchRecord &file);
    // "2048 bytes"
    static QString sizeText(const MatchRecord &file);

protected:
    // writeSettings stores the settings file (false: it could not, and the program ends);
    // showMain brings the main window back when the review closes.
    ReviewController(MainState &state, ReviewHost &host, std::function<bool()> writeSettings,
                     std::function<void()> showMain);

    // The end of a step: the reference's place goes to the settings file, so that a restart
    // can resume there; the buttons are free again, Stop hides and the step's sound plays.
    // False when the settings could not be written (the program then ends).
    bool finishStep();
    virtual void hideStop() = 0;
    // Runs the move dialog for a shown file, the buttons locked by the caller. True when the
    // file moved; the record and its row then hold the new place and name.
    bool moveFile(MatchRecord &file);

    MainState &m_state;
    ReviewHost &m_host;
    std::function<bool()> m_writeSettings;
    std::function<void()> m_showMain;
    Catalogue m_catalogue;
    std::unique_ptr<Walker> m_walker;
    std::unique_ptr<FileActions::Actor> m_actor;
    QString m_status;

private:
    bool m_firstActivation = true;
    bool m_unloaded = false;
};
