// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "snapshotcontroller.h"

#include "locate.h"
#include "mainstate.h"
#include "platform.h"

#include <QLocale>

using Check = MainState::Check;
using Role = SnapshotController::Role;
using From = SnapshotController::From;

// ---- Layout ----

SnapshotLayout SnapshotLayout::compute(int w, int h)
{
    SnapshotLayout l;
    const bool wide = w >= 12000;
    l.capacity = wide ? 27 : 23;
    l.columns = wide ? 7 : 6;
    const int pitch = wide ? 1675 : 1560;
    const int first = wide ? 235 : 120;
    // Pictures are mostly 4:3; the name label sits under each one.
    const int thumbWidth = pitch - 120;
    const int thumbHeight = thumbWidth * 3 / 4;
    for (int i = 0; i < GridMax; ++i) {
        const int row = i / l.columns;
        const int column = i % l.columns;
        // The narrow grid has four rows of six: its last four slots wait below the window.
        const int top = row < 4 ? first + row * pitch : h + 500;
        l.thumbnails[size_t(i)] = QRect(first + column * pitch, top, thumbWidth, thumbHeight);
        l.names[size_t(i)] = QRect(first + column * pitch, top + thumbHeight, thumbWidth, 240);
    }
    l.tip = QRect(w - 2175, h - 1590, 480, 480);
    l.tipLabel = QRect(l.tip.left() - 1500, l.tip.top() - 300, 1440, 480);
    l.tipLine = QLine(l.tip.topLeft(), l.tip.topLeft() + QPoint(720, 240));
    // The status line and the details (name; size, date and dimensions; the counters) stand
    // under the grid, left of the tip.
    const int gridBottom = first + 3 * pitch + thumbHeight + 240;
    const int textTop = qMax(gridBottom + 60, h - 2400);
    const int textWidth = qMax(1200, l.tipLabel.left() - 240);
    l.status = QRect(120, textTop, textWidth, 240);
    l.details = QRect(120, textTop + 240, textWidth, 720);
    const int buttons = h - 890;
    l.prev = QRect(120, buttons, 1200, 375);
    l.next = QRect(1440, buttons, 1200, 375);
    l.stop = QRect(2760, buttons, 1200, 375);
    l.exit = QRect(w - 1320, buttons, 1200, 375);
    l.hiddenTop = h + 500;
    return l;
}

std::array<QLine, 4> SnapshotLayout::highlight(const QRect &t)
{
    const int left = t.left() - 20, right = t.left() + t.width() + 20;
    const int top = t.top() - 20, bottom = t.top() + t.height() + 10;
    return {QLine(left, top, right, top), QLine(right, top, right, bottom),
            QLine(left, bottom, right, bottom), QLine(left, top, left, bottom)};
}

QPoint SnapshotLayout::doWhatPosition(const QRect &thumbnail, const QRect &window, const QSize &doWhat)
{
    const QPoint c = thumbnail.center();
    const int x = c.x() > window.center().x() ? thumbnail.left() - 80 - doWhat.width()
                                              : thumbnail.left() + thumbnail.width() + 80;
    const int y = c.y() > window.center().y() ? thumbnail.top() + thumbnail.height() - doWhat.height()
                                              : thumbnail.top();
    return {x, y};
}

QRect SnapshotLayout::namePosition(int slot, const QRect &window, int width, const QRect &screen)
{
    const int height = 750;
    const int x = window.center().x() - width / 2;
    int y;
    if (screen.width() > 9600)
        y = window.top() + window.height() + 100;
    else if (slot < 12)
        y = window.top() + window.height() - 450 - height;
    else
        y = window.top() + 450;
    return {x, y, width, height};
}

// ---- The review ----

SnapshotController::SnapshotController(MainState &state, SnapshotHost &host,
                                       std::function<bool()> writeSettings,
                                       std::function<void()> showMain)
    : ReviewController(state, host, std::move(writeSettings), std::move(showMain)),
      m_snapHost(host), m_layout(SnapshotLayout::compute(9615, 9000))
{
}

SnapshotController::~SnapshotController() = default;

void SnapshotController::Form_Resize(int widthTwips, int heightTwips)
{
    m_layout = SnapshotLayout::compute(widthTwips, heightTwips);
    m_host.refresh();
}

void SnapshotController::step(bool forward, bool onlyWhenEnabled)
{
    if (!m_walker || (onlyWhenEnabled && !(forward ? m_buttons.next : m_buttons.prev)))
        return;
    LockButtons();
    search(forward);
    status(QString());
    ShowGroup();
    finishStep();
}

void SnapshotController::search(bool forward)
{
    const auto run = [this](bool ahead) {
        m_ended = ahead ? m_walker->browse().eof() : m_walker->browse().bof();
        if (m_ended) {
            endReached();
            return;
        }
        do {
            if (ahead)
                m_walker->FindNextGroup(capacity() + 1);
            else
                m_walker->FindPreviousGroup(capacity() + 1);
        } while (!m_ended && !takeGroup());
    };
    run(forward);
    if (!m_ended)
        return;
    // At the end the last group (at the beginning the first) is shown again: the search turns
    // round from the last untagged row.
    BrowseSet &set = m_walker->browse();
    if (forward) {
        set.moveLast();
        while (!set.bof() && set.rtag() != QLatin1String(" "))
            set.movePrevious();
    } else {
        set.moveFirst();
        while (!set.eof() && set.rtag() != QLatin1String(" "))
            set.moveNext();
    }
    m_quietEnd = true;
    run(!forward);
    m_quietEnd = false;
    if (m_ended)
        clearGrid();
}

bool SnapshotController::takeGroup()
{
    const MatchGroup &group = m_walker->group();
    int taken = 0;
    for (const MatchRecord &member : group.members) {
        if (taken >= SnapshotLayout::SlotCount)
            break;
        // One file reached twice (a folder listed twice) takes one slot.
        bool again = false;
        for (int i = 0; i < taken && !again; ++i)
            again = m_slots[size_t(i)].isSameFile(member);
        if (!again)
            m_slots[size_t(taken++)] = member;
    }
    // A stopped PATTERN search may stand on its reference alone.
    return taken >= 2 || group.count() < 2;
}

void SnapshotController::cmdSKIP_Click()
{
    if (m_walker && m_buttons.skip)
        m_walker->SkipToNextAlpha();
}

void SnapshotController::cmdDELETE_Click()
{
    if (!m_walker || !m_buttons.del)
        return;
    // All works through the slots on show only, so a narrowed grid never deletes a file that
    // is out of sight.
    QVector<int> targets;
    if (m_current == AllSlots) {
        for (int i = 0; i <= capacity(); ++i)
            targets << i;
    } else if (hasFile(m_current)) {
        targets << m_current;
    }
    LockButtons();
    for (int i : targets) {
        if (!hasFile(i))
            continue;
        MatchRecord &file = m_slots[size_t(i)];
        LocateFile(file.DRIVEVOLUME, file.fullPath());
        if (m_state.isChecked(Check::Confirm))
            m_snapHost.hideDoWhat();
        QVector<const MatchRecord *> others;
        for (int j = 0; j < SnapshotLayout::SlotCount; ++j) {
            if (j != i && hasFile(j))
                others << &m_slots[size_t(j)];
        }
        QString counters;
        const FileActions::Outcome outcome = m_actor->deleteFile(file, others, &counters);
        if (outcome == FileActions::Outcome::Failed) {
            UnlockButtons();
            return;
        }
        if (outcome == FileActions::Outcome::Done) {
            status(counters);
            m_slots[size_t(i)] = MatchRecord();
            m_sizes[size_t(i)] = QSize();
            RefreshNames();
        }
    }
    UnlockButtons();
    if (m_state.isChecked(Check::AutoNext) && filesLeft() < 2)
        cmdNEXT_Click();
}

int SnapshotController::filesLeft() const
{
    int left = 0;
    for (int i = 0; i <= capacity(); ++i) {
        if (!m_slots[size_t(i)].PATH.isEmpty() && !m_slots[size_t(i)].NAME.isEmpty())
            ++left;
    }
    return left;
}

void SnapshotController::cmdALL_Click()
{
    m_current = AllSlots;
    cmdDELETE_Click();
}

void SnapshotController::cmdMOVE_Click()
{
    if (!m_walker || !m_buttons.move || !hasFile(m_current))
        return;
    LockButtons();
    if (moveFile(m_slots[size_t(m_current)]))
        RefreshNames();
    UnlockButtons();
}

void SnapshotController::cmdRENAME_Click()
{
    if (!m_walker || !m_buttons.rename || !hasFile(m_current))
        return;
    LockButtons();
    MatchRecord &file = m_slots[size_t(m_current)];
    LocateFile(file.DRIVEVOLUME, file.fullPath());
    m_actor->renameFile(file, m_snapHost.renameText());
    RefreshNames();
    UnlockButtons();
}

void SnapshotController::cmdTAG_Click()
{
    if (!m_buttons.tag || !hasFile(m_current))
        return;
    m_tagged = m_current;
    Platform::services().beep();
    m_host.refresh();
}

void SnapshotController::cmdVIEW_Click()
{
    if (!m_walker || !m_buttons.view || !hasFile(m_current))
        return;
    const MatchRecord &first = m_slots[size_t(m_current)];
    const bool two = hasFile(m_tagged);
    const MatchRecord &second = two ? m_slots[size_t(m_tagged)] : MatchRecord();
    LocateFile(first.DRIVEVOLUME, first.fullPath());
    if (two)
        LocateFile(second.DRIVEVOLUME, second.fullPath());
    const QString request =
        m_host.showFullSize(first.fullPath(), two ? second.fullPath() : QString(),
                            sizeText(first), two ? sizeText(second) : QString());
    // Delete in the viewer runs the grid's own delete, with its question. Names that differ
    // only in case are two files here, so the paths must agree exactly.
    for (int i = 0; i < SnapshotLayout::SlotCount && !request.isEmpty(); ++i) {
        if (hasFile(i) && m_slots[size_t(i)].fullPath() == request) {
            m_current = i;
            cmdDELETE_Click();
            break;
        }
    }
}

void SnapshotController::cmdEXIT_Click()
{
    if (m_buttons.exit)
        m_host.unload();
}

void SnapshotController::gvbIMAGE_Click(int slot)
{
    if (!hasFile(slot))
        return;
    m_current = slot;
    m_snapHost.showDoWhat(slot, m_slots[size_t(slot)].REFNAME);
}

void SnapshotController::gvbIMAGE_MouseMove(int slot)
{
    if (!hasFile(slot)) {
        Form_MouseMove();
        return;
    }
    const bool again = slot == m_pointed && m_nameShown;
    pointAt(slot);
    if (!again) {
        m_nameShown = true;
        m_snapHost.showNameWindow(slot);
    }
    m_host.refresh();
}

void SnapshotController::pointAt(int slot)
{
    m_pointed = slot;
    const MatchRecord &file = m_slots[size_t(slot)];
    const QSize size = m_sizes[size_t(slot)];
    m_details.name = file.PATH + QStringLiteral("  ") + file.DISKNAME;
    m_details.size = sizeText(file);
    m_details.date = QLocale().toString(file.DATE, QLocale::ShortFormat);
    m_details.dim = size.isValid() ? QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())
                                   : QString();
    m_details.deleted = FileActions::deletedText(m_state);
    m_details.colour = colourOf(m_state, file);
}

void SnapshotController::Form_MouseMove()
{
    if (m_pointed < 0 && !m_nameShown && m_details.name.isEmpty())
        return;
    m_nameShown = false;
    m_snapHost.hideNameWindow();
    if (!m_snapHost.doWhatInUse())
        m_snapHost.hideDoWhat();
    m_pointed = -1;
    m_details = Details{QString(), QString(), QString(), QString(),
                        FileActions::deletedText(m_state), Colour::Normal};
    m_host.refresh();
}

void SnapshotController::thumbnailShown(int slot, const QString &path, const QSize &size)
{
    if (!hasFile(slot) || m_slots[size_t(slot)].fullPath() != path)
        return;
    m_sizes[size_t(slot)] = size;
    if (slot == m_pointed) {
        pointAt(slot);
        m_host.refresh();
    }
}

void SnapshotController::press(Role role, From from)
{
    // The detail window acts on the file it describes.
    const bool onPointed = role == Role::Delete || role == Role::Move || role == Role::Tag
                           || role == Role::View;
    if (from == From::NameWindow && onPointed && hasFile(m_pointed))
        m_current = m_pointed;
    const bool steps = role == Role::Next || role == Role::Previous || role == Role::Skip;
    if (from == From::DoWhat && (steps || role == Role::Cancel || role == Role::Exit))
        m_snapHost.hideDoWhat();
    if (from == From::NameWindow && (role == Role::Next || role == Role::Previous)) {
        m_nameShown = false;
        m_snapHost.hideNameWindow();
        m_snapHost.hideDoWhat();
    }
    switch (role) {
    case Role::Delete: cmdDELETE_Click(); break;
    case Role::Move: cmdMOVE_Click(); break;
    case Role::Rename:
        if (from == From::DoWhat)
            m_snapHost.openRenameBox();
        else
            cmdRENAME_Click();
        break;
    case Role::Tag: cmdTAG_Click(); break;
    case Role::View: cmdVIEW_Click(); break;
    case Role::All: cmdALL_Click(); break;
    case Role::Skip: cmdSKIP_Click(); break;
    case Role::Count: cmdCOUNT_Click(); break;
    case Role::Next: cmdNEXT_Click(); break;
    case Role::Previous: cmdPREV_Click(); break;
    case Role::Exit: cmdEXIT_Click(); break;
    case Role::Cancel:
    case Role::None: break;
    }
}

bool SnapshotController::Form_KeyPress(From from, const QString &typed)
{
    if (typed.size() != 1)
        return false;
    if (from == From::Snapshot) {
        if (!m_buttons.keyPreview)
            return false;
        if (m_nameShown)
            from = From::NameWindow;
    }
    const struct { char key; Role role; bool snapshot, name, doWhat; } keys[] = {
        {'P', Role::Previous, true, true, true}, {'N', Role::Next, true, true, true},
        {'C', Role::Count, true, true, false},   {'V', Role::View, false, true, true},
        {'T', Role::Tag, false, true, true},     {'D', Role::Delete, false, true, true},
        {'M', Role::Move, false, true, true},    {'R', Role::Rename, false, false, true},
    };
    const QChar key = typed.at(0).toUpper();
    for (const auto &k : keys) {
        const bool here = from == From::Snapshot ? k.snapshot
                          : from == From::NameWindow ? k.name
                                                     : k.doWhat;
        if (here && key == QLatin1Char(k.key)) {
            press(k.role, from);
            return true;
        }
    }
    return false;
}

bool SnapshotController::Form_KeyUp(From from, int key)
{
    if (from == From::Snapshot && !m_buttons.keyPreview)
        return false;
    if (from == From::Snapshot && m_nameShown)
        from = From::NameWindow;
    const Role role = key == 33                           ? Role::Previous
                      : key == 34                         ? Role::Next
                      : key == 46 && from == From::DoWhat ? Role::Delete
                                                          : Role::None;
    if (role == Role::None)
        return false;
    press(role, from);
    return true;
}

// ---- What the walker shows ----

void SnapshotController::endReached()
{
    m_ended = true;
    if (!m_quietEnd)
        ReviewController::endReached();
}

void SnapshotController::clearGrid()
{
    m_slots.fill(MatchRecord());
    m_sizes.fill(QSize());
    m_snapHost.loadThumbnails({});
    for (int i = 0; i < SnapshotLayout::GridMax; ++i)
        m_snapHost.clearThumbnail(i);
    m_host.refresh();
}

void SnapshotController::comparing(double reference, double candidate)
{
    m_status = comparingText(reference, candidate);
    m_snapHost.statusChanged();
}

void SnapshotController::showStop()
{
    m_buttons.stopVisible = true;
    m_host.refresh();
}

void SnapshotController::ShowGroup()
{
    m_tagged = -1;
    m_snapHost.loadThumbnails({});
    QVector<Thumbnails::Loader::Job> jobs;
    for (int i = 0; i <= capacity(); ++i) {
        m_snapHost.clearThumbnail(i);
        m_sizes[size_t(i)] = QSize();
        if (!hasFile(i))
            continue;
        const MatchRecord &file = m_slots[size_t(i)];
        LocateFile(file.DRIVEVOLUME, file.fullPath());
        jobs << Thumbnails::Loader::Job{i, file.fullPath()};
    }
    // The thumbnails arrive one by one while the buttons are already free again.
    m_snapHost.loadThumbnails(jobs);
    m_host.refresh();
}

void SnapshotController::RefreshNames()
{
    for (int i = 0; i <= capacity(); ++i) {
        if (!hasFile(i))
            m_snapHost.clearThumbnail(i);
    }
    m_host.refresh();
}

void SnapshotController::LockButtons()
{
    Buttons &b = m_buttons;
    b.keyPreview = false;
    b.del = b.next = b.prev = b.rename = b.skip = b.tag = b.view = b.move = b.exit = false;
    m_host.refresh();
}

void SnapshotController::UnlockButtons()
{
    Buttons &b = m_buttons;
    b.keyPreview = true;
    b.del = b.next = b.prev = b.rename = b.skip = b.tag = b.view = b.move = b.exit = true;
    m_host.refresh();
}
