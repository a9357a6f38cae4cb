// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "reviewcontroller.h"

#include "locate.h"
#include "mainstate.h"
#include "movefile.h"
#include "programdir.h"
#include "prompts.h"
#include "stepsound.h"
#include "vbtext.h"

ReviewController::ReviewController(MainState &state, ReviewHost &host,
                                   std::function<bool()> writeSettings,
                                   std::function<void()> showMain)
    : m_state(state), m_host(host), m_writeSettings(std::move(writeSettings)),
      m_showMain(std::move(showMain))
{
}

ReviewController::~ReviewController() = default;

void ReviewController::Form_Load()
{
    m_firstActivation = true;
    m_status.clear();
    const QString path = ProgramDir::file(QStringLiteral("data/") + m_state.catalogueName()
                                          + QStringLiteral(".mdb"));
    m_actor = std::make_unique<FileActions::Actor>(m_state, m_catalogue);
    m_walker = std::make_unique<Walker>(m_catalogue, MatchOptions::fromState(m_state), *this);
    if (!m_catalogue.open(path) || !m_walker->open()) {
        const QString error = m_catalogue.isOpen() ? m_walker->error() : m_catalogue.lastError();
        Prompts::ask(nullptr, Prompts::Box{error, QStringLiteral("Vexa! - Error"),
                                           Prompts::Buttons::Ok, Prompts::Icon::Critical,
                                           Prompts::Default::First});
        m_walker.reset();
    }
    m_host.refresh();
}

void ReviewController::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (!m_walker || m_walker->browse().eof()) {
        Prompts::message(nullptr, QStringLiteral("No files to review..."));
        m_host.unload();
        return;
    }
    LockButtons();
    m_walker->positionAt(m_state.stoppedAtRecord);
    UnlockButtons();
    m_state.stoppedAtRecord = 0;
    pressNext();
}

void ReviewController::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_walker && !m_walker->reference().isEmpty())
        m_state.stoppedAtRecord = VbText::toInt32(m_walker->reference().RECNUM);
    m_walker.reset();
    m_catalogue.close();
    m_state.optionsChanged = false;
    if (m_showMain)
        m_showMain();
}

void ReviewController::cmdCOUNT_Click()
{
    if (!m_walker || m_walker->browse().eof() || m_walker->browse().bof())
        return;
    LockButtons();
    m_state.stoppedAtRecord = VbText::toInt32(m_walker->browse().recnum());
    const double counted = m_walker->CountRecordsLeft();
    m_host.countResult(QStringLiteral("There are ") + VbText::general(counted)
                       + QStringLiteral(" records left to review...\n\nPlease note that this is "
                                        "not a count of duplicates left..."));
    UnlockButtons();
}

void ReviewController::countProgress(double counted)
{
    m_host.countProgress(QStringLiteral("There are ") + VbText::general(counted)
                         + QStringLiteral(" records left to review."));
}

void ReviewController::cmdSTOP_Click()
{
    if (m_walker)
        m_walker->requestStop();
}

bool ReviewController::finishStep()
{
    m_state.stoppedAtRecord = VbText::toInt32(m_walker->reference().RECNUM);
    if (m_writeSettings && !m_writeSettings())
        return false;
    UnlockButtons();
    hideStop();
    m_host.refresh();
    PlayStepSound(m_state);
    return true;
}

bool ReviewController::moveFile(MatchRecord &file)
{
    LocateFile(file.DRIVEVOLUME, file.fullPath());
    if (!m_actor->confirmUnchanged(file, QStringLiteral("move")))
        return false;
    const MoveDialog &dialog =
        m_host.runMoveDialog(file.DISKNAME, file.DRIVEVOLUME + QLatin1Char(' ') + file.PATH);
    if (dialog.lblTO == dialog.lblFROM)
        return false;
    QString volumeTag, path;
    MoveDialog::split(dialog.lblTO, &volumeTag, &path);
    if (!m_actor->recordMove(file, volumeTag, path, dialog.lblNEWNAME)) {
        Prompts::ask(nullptr, Prompts::Box{QStringLiteral("The file was moved, but its catalogue "
                                                          "row could not be changed: ")
                                               + m_catalogue.lastError(),
                                           QStringLiteral("Error"), Prompts::Buttons::Ok,
                                           Prompts::Icon::Critical, Prompts::Default::First});
    }
    return true;
}

void ReviewController::endReached()
{
    Prompts::message(nullptr, QStringLiteral("No more matches..."));
}

void ReviewController::status(const QString &text)
{
    m_status = text;
    m_host.refresh();
}

void ReviewController::processEvents()
{
    m_host.processEvents();
}

void ReviewController::information(const QString &text)
{
    Prompts::message(nullptr, text, Prompts::Icon::Information);
}

ReviewController::Colour ReviewController::colourOf(const MainState &state, const MatchRecord &file)
{
    if (!state.ifcd.isEmpty() && file.directoryText().startsWith(state.ifcd))
        return Colour::Red;
    const QString upperPath = file.PATH.toUpper();
    if (upperPath.contains(QLatin1String("TEMP")) || upperPath.contains(QLatin1String("TMP")))
        return Colour::Blue;
    return Colour::Normal;
}

QString ReviewController::sizeText(const MatchRecord &file)
{
    return VbText::general(file.SIZE) + QStringLiteral(" bytes");
}
