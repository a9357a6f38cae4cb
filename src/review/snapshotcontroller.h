// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "reviewcontroller.h"
#include "thumbnails.h"

#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

class MainState;

// Where the snapshot window's parts stand, in twips from the window's top-left corner,
// computed from its width and height.
struct SnapshotLayout
{
    static constexpr int SlotCount = 31; // group storage
    static constexpr int GridMax = 28;   // thumbnails of the wide grid

    int capacity = 23; // the highest slot shown: 23 (24 thumbnails) or 27 (28)
    int columns = 6;
    std::array<QRect, GridMax> thumbnails{}; // slots 24 to 27 lie below the bottom edge when narrow
    std::array<QRect, GridMax> names{};      // lblREFNAME, under each thumbnail
    QRect status, prev, next, exit, stop, tip, tipLabel;
    QLine tipLine;
    QRect details;  // lblNAME; lblSIZE, lblDATE and lblDIM; lblDELSTATUS: three lines
    int hiddenTop = 0; // the eight action buttons, below the visible area

    static SnapshotLayout compute(int widthTwips, int heightTwips);
    // The highlight box drawn around a thumbnail: its four lines, 20 twips outside its edges.
    static std::array<QLine, 4> highlight(const QRect &thumbnail);
    // The action window beside a thumbnail (both in screen twips), on the side that faces the
    // centre of the snapshot window.
    static QPoint doWhatPosition(const QRect &thumbnail, const QRect &window, const QSize &doWhat);
    // The detail window for a pointed slot: centred on the snapshot window, below it on screens
    // wider than 9600 twips, else inside it, low for the first twelve slots and high otherwise.
    static QRect namePosition(int slot, const QRect &window, int width, const QRect &screen);
};

// What the snapshot review's logic needs from its window beyond what every review needs.
class SnapshotHost : public virtual ReviewHost
{
public:
    // Starts decoding the thumbnails of these slots; each appears as soon as it is ready and
    // the window then calls thumbnailShown(). An empty list stops whatever is still loading.
    virtual void loadThumbnails(const QVector<Thumbnails::Loader::Job> &jobs) = 0;
    // Clears and hides a slot's thumbnail.
    virtual void clearThumbnail(int slot) = 0;
    // The action window beside a slot's thumbnail, its rename box holding the name; shown.
    virtual void showDoWhat(int slot, const QString &name) = 0;
    virtual void hideDoWhat() = 0;
    // The detail window over the grid for a pointed slot (it shows the controller's details).
    virtual void showNameWindow(int slot) = 0;
    virtual void hideNameWindow() = 0;
    // Opens the action window's rename box; it calls cmdRENAME_Click() when it loses the focus.
    virtual void openRenameBox() = 0;
    // The name typed in the action window's rename box.
    virtual QString renameText() = 0;
    // The action window is in use (active): the pointer passing over the window's background
    // leaves it open.
    virtual bool doWhatInUse() = 0;
    // Only the status line changed (a PATTERN search reports every comparison there).
    virtual void statusChanged() = 0;
};

// The snapshot review without its widgets: a group of files that match one another in up to
// 28 slots, the pointed slot's details, the clicked (current) and the tagged slot, the
// buttons' states and every handler, over a walker of the matching engine.
class SnapshotController : public ReviewController
{
public:
    // What the buttons of the window and of its two small windows stand for.
    enum class Role { None, Delete, Move, Rename, Tag, View, All, Skip, Count, Next, Previous,
                      Cancel, Exit };
    // Where a button was pressed: the action window hides itself first for a step, the detail
    // window acts on the slot it describes.
    enum class From { Snapshot, NameWindow, DoWhat };
    static constexpr int AllSlots = 99;

    struct Details
    {
        QString name = QStringLiteral("filename"), size = QStringLiteral("filesize"),
                date = QStringLiteral("filedate"), dim = QStringLiteral("0"),
                deleted = QStringLiteral("status");
        Colour colour = Colour::Normal;
    };
    struct Buttons
    {
        bool keyPreview = false, del = false, next = false, prev = false, rename = false,
             skip = false, tag = false, view = false, move = false, exit = false,
             stopVisible = false;
    };

    SnapshotController(MainState &state, SnapshotHost &host, std::function<bool()> writeSettings,
                       std::function<void()> showMain);
    ~SnapshotController() override;

    // The layout from the window's size in twips; the capacity follows it.
    void Form_Resize(int widthTwips, int heightTwips);
    const SnapshotLayout &layout() const { return m_layout; }

    void cmdNEXT_Click() { step(true, true); }
    void cmdPREV_Click() { step(false, true); }
    void cmdSKIP_Click();
    void cmdDELETE_Click();
    void cmdALL_Click();
    void cmdMOVE_Click();
    // Renames the current slot's file to the name in the action window's rename box.
    void cmdRENAME_Click();
    void cmdTAG_Click();
    void cmdVIEW_Click();
    void cmdEXIT_Click();
    void gvbIMAGE_Click(int slot);
    void gvbIMAGE_MouseMove(int slot);
    void Form_MouseMove();
    // A button of one of the windows.
    void press(Role role, From from);
    // A typed character, or a released key (33 Page Up, 34 Page Down, 46 Delete), in one of the
    // windows; true when it pressed a button. The snapshot window takes the detail window's
    // keys while that is shown.
    bool Form_KeyPress(From from, const QString &typed);
    bool Form_KeyUp(From from, int key);
    // The window tells when a slot's thumbnail is on screen, with the picture's own size.
    void thumbnailShown(int slot, const QString &path, const QSize &size);

    const MatchRecord &slot(int i) const { return m_slots[size_t(i)]; }
    // The name label under a slot's thumbnail.
    QString slotLabel(int i) const { return m_slots[size_t(i)].REFNAME; }
    int capacity() const { return m_layout.capacity; }
    int currentSlot() const { return m_current; }
    int taggedSlot() const { return m_tagged; }
    int pointedSlot() const { return m_pointed; } // the highlighted slot, or -1
    const Details &details() const { return m_details; }
    const Buttons &buttons() const { return m_buttons; }
    bool isLocked() const override { return !m_buttons.exit; }

    // WalkerView
    void endReached() override;
    void clearGrid() override;
    void clearPanes() override { clearGrid(); }
    void comparing(double reference, double candidate) override;
    void showStop() override;
    // Skip to the next major alpha presses Next while the buttons are locked.
    void pressNext() override { step(true, false); }

    void ShowGroup();
    void RefreshNames();
    void LockButtons() override;
    void UnlockButtons() override;
    void hideStop() override { m_buttons.stopVisible = false; }

private:
    void step(bool forward, bool onlyWhenEnabled);
    // Runs group searches until a group of two files or more stands, or the end is met.
    void search(bool forward);
    bool takeGroup();
    int filesLeft() const;
    bool hasFile(int i) const
    {
        return i >= 0 && i < SnapshotLayout::SlotCount && !m_slots[size_t(i)].NAME.trimmed().isEmpty();
    }
    void pointAt(int slot);

    SnapshotHost &m_snapHost;
    SnapshotLayout m_layout;
    std::array<MatchRecord, SnapshotLayout::SlotCount> m_slots;
    std::array<QSize, SnapshotLayout::SlotCount> m_sizes; // the pictures' own sizes, once shown
    Details m_details;
    Buttons m_buttons;
    int m_current = 0;
    int m_tagged = -1;
    int m_pointed = -1;
    bool m_nameShown = false;
    bool m_ended = false; // the last search met the end of the browse order
    bool m_quietEnd = false;
};
