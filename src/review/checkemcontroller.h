// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "fileactions.h"
#include "walker.h"

#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class MainState;
class MoveDialog;

// What the pair review's logic needs from its window. The program's window draws; tests
// answer with scripted ones.
class CheckemHost
{
public:
    virtual ~CheckemHost() = default;
    // Shows the controller's labels, colours, marks, boxes and buttons again.
    virtual void refresh() = 0;
    virtual void processEvents() = 0;
    // Loads the two pictures (an empty path: none) into the thumbnails and returns their sizes
    // in pixels; a picture that cannot be read shows the program's error picture, whose size is
    // returned. Returns when both are shown.
    virtual std::array<QSize, 2> loadPictures(const std::array<QString, 2> &paths) = 0;
    // Shows both files full size; the size texts read "2048 bytes".
    virtual void showFullSize(const QString &path1, const QString &path2, const QString &size1,
                              const QString &size2) = 0;
    // The count box: the running figure without waiting, then the result until Continue.
    virtual void countProgress(const QString &text) = 0;
    virtual void countResult(const QString &text) = 0;
    // Runs the move dialog for a file (its name on disk, its "[LABEL] /path/") to its end.
    virtual MoveDialog &runMoveDialog(const QString &fileName, const QString &from) = 0;
    // Puts the focus in a pane's rename box (1 or 2), or on Next.
    virtual void focusRenameBox(int pane) = 0;
    virtual void focusNext() = 0;
    // Closes the window; the window then calls Form_Unload.
    virtual void unload() = 0;
};

// The pair review without its widgets: the panes' texts, colours and agreement marks, the
// buttons' states, and every handler, over a walker of the matching engine.
class CheckemController : public WalkerView
{
public:
    // The agreement marks, in the order the labels stand.
    enum Mark { MarkName, MarkLocation, MarkType, MarkSize, MarkDate, MarkDim, MarkCount };
    enum class Colour { Normal, Blue, Red };

    struct Pane
    {
        QString file, path, type, size, date, dim = QStringLiteral("0 x 0");
        Colour colour = Colour::Normal;
        std::array<bool, MarkCount> marks{};
        QString picture; // the file loaded into the thumbnail; empty: none
        bool icon = false; // a cursor or icon, shown in the picture box
        QString newName; // the rename box
        bool renameOpen = false; // the rename box and its OK button shown
        bool deleteEnabled = false, moveEnabled = false, renameEnabled = false;
    };
    struct Buttons
    {
        bool keyPreview = false, both = false, previous = false, next = false, skip = false,
             exit = false, thumbnails = false, stopVisible = false;
    };

    // writeSettings stores the settings file (false: it could not, and the program ends);
    // showMain brings the main window back when the review closes.
    CheckemController(MainState &state, CheckemHost &host, std::function<bool()> writeSettings,
                      std::function<void()> showMain);
    ~CheckemController() override;

    // Opens the catalogue and the browse order of the current options.
    void Form_Load();
    // The first activation: "No files to review..." or the first pair.
    void Form_Activate();
    void Form_Unload();

    void cmdNEXT_Click() { step(true); }
    void cmdPREVIOUS_Click() { step(false); }
    void cmdSKIP_Click();
    void cmdCOUNT_Click();
    void cmdSTOP_Click();
    void cmdCANCEL_Click();
    void cmdBOTH_Click();
    void cmdDELETE_Click(int pane);
    void cmdMOVE_Click(int pane);
    void cmdRENAME_Click(int pane);
    void txtNEWNAME_LostFocus(int pane, const QString &text);
    void gvbIMAGE_Click();
    // A typed character or a released key while key preview is on; true when it pressed a
    // button.
    bool Form_KeyPress(const QString &typed);
    bool Form_KeyUp(int key);

    const Pane &pane(int n) const { return m_panes[size_t(n - 1)]; }
    const Buttons &buttons() const { return m_buttons; }
    QString statusText() const { return m_status; }
    bool isLocked() const { return !m_buttons.exit; }
    Walker *walker() { return m_walker.get(); }
    MatchRecord &record(int n) { return n == 1 ? m_walker->reference() : m_walker->candidate(); }

    // WalkerView
    void pairFound() override;
    void endReached() override;
    void clearPanes() override;
    void status(const QString &text) override;
    void showStop() override;
    void processEvents() override;
    void information(const QString &text) override;
    void lockButtons() override { LockButtons(); }
    void unlockButtons() override { UnlockButtons(); }
    void pressNext() override { cmdNEXT_Click(); }
    void countProgress(double counted) override;

    void ShowPair();
    void LockButtons();
    void UnlockButtons();
    void ClearPane(int n);

private:
    void step(bool forward);
    bool atEnd(bool forward);
    void fillPane(int n);
    Pane &paneState(int n) { return m_panes[size_t(n - 1)]; }

    MainState &m_state;
    CheckemHost &m_host;
    std::function<bool()> m_writeSettings;
    std::function<void()> m_showMain;
    Catalogue m_catalogue;
    std::unique_ptr<Walker> m_walker;
    std::unique_ptr<FileActions::Actor> m_actor;
    std::array<Pane, 2> m_panes;
    Buttons m_buttons;
    QString m_status;
    bool m_firstActivation = true;
    bool m_deleteBoth = false;
    bool m_unloaded = false;
};
