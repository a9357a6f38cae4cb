// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "reviewcontroller.h"

#include <QSize>
#include <QString>

#include <array>
#include <functional>

class MainState;

// What the pair review's logic needs from its window beyond what every review needs.
class CheckemHost : public virtual ReviewHost
{
public:
    // Loads the two pictures (an empty path: none) into the thumbnails and returns their sizes
    // in pixels; a picture that cannot be read shows the program's error picture, whose size is
    // returned. Returns when both are shown.
    virtual std::array<QSize, 2> loadPictures(const std::array<QString, 2> &paths) = 0;
    // Puts the focus in a pane's rename box (1 or 2), or on Next.
    virtual void focusRenameBox(int pane) = 0;
    virtual void focusNext() = 0;
};

// The pair review without its widgets: the panes' texts, colours and agreement marks, the
// buttons' states, and every handler, over a walker of the matching engine.
class CheckemController : public ReviewController
{
public:
    // The agreement marks, in the order the labels stand.
    enum Mark { MarkName, MarkLocation, MarkType, MarkSize, MarkDate, MarkDim, MarkCount };

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

    void cmdNEXT_Click() { step(true); }
    void cmdPREVIOUS_Click() { step(false); }
    void cmdSKIP_Click();
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
    bool isLocked() const override { return !m_buttons.exit; }
    MatchRecord &record(int n) { return n == 1 ? m_walker->reference() : m_walker->candidate(); }

    // WalkerView
    void pairFound() override;
    void clearPanes() override;
    void showStop() override;
    void pressNext() override { cmdNEXT_Click(); }

    void ShowPair();
    void LockButtons() override;
    void UnlockButtons() override;
    void hideStop() override { m_buttons.stopVisible = false; }
    void ClearPane(int n);

private:
    void step(bool forward);
    bool atEnd(bool forward);
    void fillPane(int n);
    Pane &paneState(int n) { return m_panes[size_t(n - 1)]; }

    CheckemHost &m_pairHost;
    std::array<Pane, 2> m_panes;
    Buttons m_buttons;
    bool m_deleteBoth = false;
};
