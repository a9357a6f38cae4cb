// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "checkemcontroller.h"

#include "locate.h"
#include "mainstate.h"
#include "platform.h"
#include "vbtext.h"

#include <QLocale>

namespace {

using Check = MainState::Check;

bool isIcon(const QString &extension)
{
    return extension == QLatin1String(".CUR") || extension == QLatin1String(".ICO");
}

} // namespace

CheckemController::CheckemController(MainState &state, CheckemHost &host,
                                     std::function<bool()> writeSettings,
                                     std::function<void()> showMain)
    : ReviewController(state, host, std::move(writeSettings), std::move(showMain)),
      m_pairHost(host)
{
}

CheckemController::~CheckemController() = default;

bool CheckemController::atEnd(bool forward)
{
    return forward ? m_walker->browse().eof() : m_walker->browse().bof();
}

void CheckemController::step(bool forward)
{
    if (!m_walker)
        return;
    if (atEnd(forward)) {
        endReached();
        return;
    }
    LockButtons();
    // A row paired with itself (the same name in one folder) is never shown.
    do {
        status(QStringLiteral("Looking for match..."));
        if (forward)
            m_walker->FindNextPair();
        else
            m_walker->FindPreviousPair();
        status(QString());
    } while (!atEnd(forward) && m_walker->reference().isSameFile(m_walker->candidate()));
    // A current row remains, so the review can go back from the end.
    if (atEnd(forward)) {
        if (forward)
            m_walker->browse().movePrevious();
        else
            m_walker->browse().moveNext();
    }
    finishStep();
}

void CheckemController::cmdSKIP_Click()
{
    if (m_walker)
        m_walker->SkipToNextAlpha();
}

void CheckemController::cmdCANCEL_Click()
{
    m_host.unload();
}

void CheckemController::cmdBOTH_Click()
{
    m_deleteBoth = true;
    cmdDELETE_Click(1);
    cmdDELETE_Click(2);
    m_deleteBoth = false;
}

void CheckemController::cmdDELETE_Click(int n)
{
    if (!m_walker || pane(n).file.isEmpty())
        return;
    LockButtons();
    MatchRecord &file = record(n);
    LocateFile(file.DRIVEVOLUME, file.fullPath());
    QString counters;
    const FileActions::Outcome outcome = m_actor->deleteFile(file, {&record(3 - n)}, &counters);
    if (outcome == FileActions::Outcome::Done) {
        status(counters);
        ClearPane(n);
    }
    UnlockButtons();
    // Delete Both moves on once, after its second delete.
    if (outcome == FileActions::Outcome::Done && m_state.isChecked(Check::AutoNext)
        && !(n == 1 && m_deleteBoth)) {
        cmdNEXT_Click();
    }
}

void CheckemController::cmdMOVE_Click(int n)
{
    if (!m_walker || pane(n).file.isEmpty())
        return;
    LockButtons();
    if (!moveFile(record(n))) {
        status(QStringLiteral("File not moved..."));
        UnlockButtons();
        return;
    }
    ShowPair();
    UnlockButtons();
    status(QStringLiteral("File moved..."));
}

void CheckemController::cmdRENAME_Click(int n)
{
    if (!m_walker)
        return;
    m_buttons.keyPreview = false;
    if (!pane(n).file.isEmpty()) {
        MatchRecord &file = record(n);
        LocateFile(file.DRIVEVOLUME, file.fullPath());
        paneState(n).renameOpen = true;
        m_host.refresh();
        m_pairHost.focusRenameBox(n);
    }
}

void CheckemController::txtNEWNAME_LostFocus(int n, const QString &text)
{
    if (!m_walker || !pane(n).renameOpen)
        return;
    LockButtons();
    Pane &p = paneState(n);
    p.newName = text.trimmed();
    m_host.refresh();
    if (m_actor->renameFile(record(n), p.newName) == FileActions::Outcome::Failed) {
        UnlockButtons();
        return; // the box stays open for another name
    }
    const MatchRecord &file = record(n);
    if (!file.isTagged()) {
        p.file = file.REFNAME;
        p.newName = file.REFNAME;
    }
    p.renameOpen = false;
    UnlockButtons();
    m_pairHost.focusNext();
}

void CheckemController::gvbIMAGE_Click()
{
    if (!m_walker || !m_buttons.thumbnails)
        return;
    const auto sizeOf = [this](int n) {
        return pane(n).file.isEmpty() ? QString() : sizeText(record(n));
    };
    const auto pathOf = [this](int n) {
        return pane(n).file.isEmpty() ? QString() : record(n).fullPath();
    };
    LockButtons();
    for (int n = 1; n <= 2; ++n) {
        status(QStringLiteral("Loading image %1...").arg(n));
        m_host.processEvents();
        if (!pathOf(n).isEmpty())
            LocateFile(record(n).DRIVEVOLUME, pathOf(n));
    }
    const QString request = m_host.showFullSize(pathOf(1), pathOf(2), sizeOf(1), sizeOf(2));
    UnlockButtons();
    m_host.processEvents();
    // Delete in the viewer runs the pane's own delete, with its question. Names that differ
    // only in case are two files here, so the paths must agree exactly.
    for (int n = 1; n <= 2 && !request.isEmpty(); ++n) {
        if (request == pathOf(n)) {
            cmdDELETE_Click(n);
            break;
        }
    }
}

bool CheckemController::Form_KeyPress(const QString &typed)
{
    if (!m_buttons.keyPreview || typed.size() != 1)
        return false;
    const QChar key = typed.at(0).toUpper();
    // Each key stands for a click on its button, which must be enabled.
    const struct { char key; bool enabled; std::function<void()> press; } keys[] = {
        {'1', pane(1).deleteEnabled, [this] { cmdDELETE_Click(1); }},
        {'2', pane(2).deleteEnabled, [this] { cmdDELETE_Click(2); }},
        {'3', m_buttons.both, [this] { cmdBOTH_Click(); }},
        {'P', m_buttons.previous, [this] { cmdPREVIOUS_Click(); }},
        {'-', m_buttons.previous, [this] { cmdPREVIOUS_Click(); }},
        {'N', m_buttons.next, [this] { cmdNEXT_Click(); }},
        {'+', m_buttons.next, [this] { cmdNEXT_Click(); }},
        {'V', m_buttons.thumbnails, [this] { gvbIMAGE_Click(); }},
        {'/', m_buttons.thumbnails, [this] { gvbIMAGE_Click(); }},
        {'C', true, [this] { cmdCOUNT_Click(); }},
    };
    for (const auto &k : keys) {
        if (key == QLatin1Char(k.key)) {
            if (k.enabled)
                k.press();
            return k.enabled;
        }
    }
    return false;
}

bool CheckemController::Form_KeyUp(int key)
{
    if (!m_buttons.keyPreview)
        return false;
    if (key == 33 && m_buttons.previous) {
        cmdPREVIOUS_Click();
        return true;
    }
    if (key == 34 && m_buttons.next) {
        cmdNEXT_Click();
        return true;
    }
    return false;
}

// ---- What the walker shows ----

void CheckemController::pairFound()
{
    // Next searches on past a row paired with itself before anything is shown.
    if (m_walker->reference().isSameFile(m_walker->candidate()))
        return;
    ShowPair();
}

void CheckemController::clearPanes()
{
    ClearPane(1);
    ClearPane(2);
}

void CheckemController::showStop()
{
    m_buttons.stopVisible = true;
    m_host.refresh();
}

void CheckemController::ClearPane(int n)
{
    Pane &p = paneState(n);
    const bool renameOpen = p.renameOpen;
    const bool del = p.deleteEnabled, move = p.moveEnabled, rename = p.renameEnabled;
    p = Pane();
    p.dim.clear();
    p.renameOpen = renameOpen;
    p.deleteEnabled = del;
    p.moveEnabled = move;
    p.renameEnabled = rename;
    for (Pane &each : m_panes)
        each.marks.fill(false);
    m_host.refresh();
}

void CheckemController::fillPane(int n)
{
    const MatchRecord &file = record(n);
    Pane &p = paneState(n);
    p.colour = Colour::Normal;
    // A file deleted from this review stays blank when the pair is shown again.
    if (file.isEmpty() || file.isTagged())
        return;
    p.colour = colourOf(m_state, file);
    p.file = file.REFNAME;
    p.path = file.PATH;
    p.type = file.EXTENSION;
    p.size = VbText::general(file.SIZE);
    p.date = QLocale().toString(file.DATE, QLocale::ShortFormat);
    p.newName = file.REFNAME;
    p.icon = isIcon(file.EXTENSION);
}

void CheckemController::ShowPair()
{
    LockButtons();
    status(QStringLiteral("Loading thumbnails..."));
    m_host.processEvents();
    for (Pane &p : m_panes)
        p.marks.fill(false);
    fillPane(1);
    fillPane(2);

    std::array<QString, 2> paths;
    for (int n = 1; n <= 2; ++n) {
        Pane &p = paneState(n);
        if (p.file.isEmpty()) {
            p.picture.clear();
            continue;
        }
        LocateFile(record(n).DRIVEVOLUME, record(n).fullPath());
        p.picture = record(n).fullPath();
        paths[size_t(n - 1)] = p.picture;
    }
    const std::array<QSize, 2> sizes = m_pairHost.loadPictures(paths);
    for (int n = 1; n <= 2; ++n) {
        Pane &p = paneState(n);
        const QSize s = sizes[size_t(n - 1)];
        p.dim = p.file.isEmpty() || p.icon ? QString()
                                           : QString::number(s.width()) + QStringLiteral(" x ")
                                                 + QString::number(s.height());
    }

    // Marks: the label texts of both panes agree exactly.
    const Pane &a = m_panes[0];
    const Pane &b = m_panes[1];
    const std::array<bool, MarkCount> agree = {
        a.file == b.file, a.path == b.path, a.type == b.type, a.size == b.size,
        a.date == b.date, a.dim == b.dim && !a.dim.isEmpty()};
    m_panes[0].marks = agree;
    m_panes[1].marks = agree;
    UnlockButtons();
}

void CheckemController::LockButtons()
{
    m_buttons.keyPreview = false;
    for (Pane &p : m_panes)
        p.deleteEnabled = p.moveEnabled = p.renameEnabled = false;
    m_buttons.both = m_buttons.previous = m_buttons.next = m_buttons.skip = m_buttons.exit =
        m_buttons.thumbnails = false;
    m_host.refresh();
}

void CheckemController::UnlockButtons()
{
    m_buttons.keyPreview = true;
    m_buttons.both = m_buttons.previous = m_buttons.next = m_buttons.skip = m_buttons.exit =
        m_buttons.thumbnails = true;
    // Files on optical discs can be looked at, never changed.
    for (int n = 1; n <= 2 && m_walker; ++n) {
        const QString path = record(n).PATH;
        const bool changeable = !path.isEmpty()
                                && Platform::services().driveKind(path) != Platform::DriveKind::Optical;
        Pane &p = paneState(n);
        p.deleteEnabled = p.moveEnabled = p.renameEnabled = changeable;
    }
    m_host.refresh();
}
