// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "maincontroller.h"

#include "catalogue.h"
#include "dirlist.h"
#include "listtag.h"
#include "orientation.h"
#include "platform.h"
#include "programdir.h"
#include "prompts.h"
#include "settingsini.h"
#include "stopsignals.h"
#include "unattendedprompts.h"
#include "vbtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

using Check = MainState::Check;
using Mode = MainState::Mode;
using Prompts::Answer;
using Prompts::Box;
using Prompts::Buttons;
using Prompts::Icon;

bool programFileExists(const QString &name)
{
    return QFileInfo::exists(ProgramDir::file(name));
}

QString cataloguePath(const QString &catalogueName)
{
    return ProgramDir::file(QStringLiteral("data/") + catalogueName + QStringLiteral(".mdb"));
}

QString templatePath()
{
    return ProgramDir::file(QStringLiteral("vexa.mdb"));
}

} // namespace

MainController::MainController(MainState &state, MainWindowHost &host) : m_state(state), m_host(host)
{
}

void MainController::endProgram(int code)
{
    m_ended = true;
    Platform::services().releaseInstanceLock();
    m_host.endProgram(code);
}

void MainController::writeSettings()
{
    if (!SettingsIni::WriteINI(m_state))
        endProgram(1);
}

bool MainController::saveSettings()
{
    writeSettings();
    return !m_ended;
}

void MainController::loadList(const QString &name)
{
    m_listLoaded = true;
    // A list named at start-up that cannot be read leaves the default list loaded from its
    // file, as when no list is named: never an empty "General" that a save would write over
    // the real one.
    if (DirList::LoadList(m_state, name) || name.trimmed().toUpper() == QLatin1String("GENERAL"))
        return;
    DirList::LoadList(m_state, QStringLiteral("General"));
    m_state.listName = QStringLiteral("General");
    m_state.notifyChanged();
}

void MainController::Form_Load()
{
    m_firstActivation = true;
    if (!QFileInfo::exists(SettingsIni::fileName())) {
        m_state.thumbnailExt = QStringLiteral(".THN");
        m_state.filter = QStringLiteral("*");
        m_state.showEndStats = true;
        m_state.lastDirectory = QDir::homePath();
        m_state.wavDirectory = ProgramDir::path() + QLatin1Char('/');
        m_firstRun = true;
        writeSettings();
    }
    m_state.directories.clear();
    m_state.notifyChanged();
}

void MainController::Form_Activate()
{
    if (m_ended || m_inFirstActivation)
        return; // an activation while the first one runs (a box closing) has nothing to add
    if (m_firstActivation) {
        m_inFirstActivation = true;
        struct Leave
        {
            bool &flag;
            ~Leave() { flag = false; }
        } leave{m_inFirstActivation};
        m_host.processEvents();
        switch (Platform::services().acquireInstanceLock(ProgramDir::path())) {
        case Platform::InstanceLock::Taken:
            break;
        case Platform::InstanceLock::HeldByOther:
            Prompts::message(nullptr, QStringLiteral("Another instance of Vexa! is already running..."));
            m_ended = true;
            m_host.endProgram(1);
            return;
        case Platform::InstanceLock::NotWritable:
            // Not another instance: the folder cannot take the lock file, nor anything else.
            Prompts::ask(nullptr, Box{QStringLiteral("Vexa! cannot write to its folder %1, so it "
                                                     "cannot start.\n\nMake the folder "
                                                     "writable, or name another one in "
                                                     "VEXA_HOME.")
                                          .arg(QDir::toNativeSeparators(ProgramDir::path())),
                                      QStringLiteral("Vexa! - Error"), Buttons::Ok, Icon::Critical,
                                      Prompts::Default::First});
            m_ended = true;
            m_host.endProgram(1);
            return;
        }
        m_host.setGoEnabled(false);
        m_listLoaded = false;
        const bool read = SettingsIni::ReadINI(m_state, [this](const QString &n) { loadList(n); });
        m_host.setGoEnabled(true);
        if (!read) {
            endProgram(1);
            return;
        }
        m_settingsRead = true;
        if (!m_listLoaded)
            loadList(QStringLiteral("General")); // settings that name no list
        CheckDiskSpace();
        Orientation::BuildOrientationTable();
        const int depth = Platform::services().screenDepth();
        if (depth <= 8) { // 2^depth colours: 256 or fewer
            Prompts::message(nullptr, QStringLiteral("You should increase your screen color "
                                                     "resolution for better performance..."));
        }
        m_firstActivation = false;
        m_state.optionsChanged = false;
        m_host.processEvents();
        handleCommandLine();
        if (m_ended)
            return;

        const Box crashBox{QString(), QStringLiteral("vexa! - Crash recovery"), Buttons::YesNo,
                           Icon::Critical, Prompts::Default::First};
        if (programFileExists(QStringLiteral("Scanning.dat"))) {
            Box b = crashBox;
            b.text = QStringLiteral("Vexa! appears to have crashed during a Pre-Scan.  Do you "
                                    "wish to continue the scan?");
            if (Prompts::ask(nullptr, b) == Answer::Yes)
                cmdGO_Click();
            else
                QFile::remove(ProgramDir::file(QStringLiteral("Scanning.dat")));
            if (m_ended)
                return;
        }
        if (programFileExists(QStringLiteral("Matching.dat"))) {
            Box b = crashBox;
            b.text = QStringLiteral("Vexa! appears to have crashed during a Pre-Match.  Do you "
                                    "wish to continue the scan?");
            if (Prompts::ask(nullptr, b) == Answer::Yes)
                cmdGO_Click();
            else
                QFile::remove(ProgramDir::file(QStringLiteral("Matching.dat")));
            if (m_ended)
                return;
        }
    }
    if (m_firstRun) {
        // The first run introduces the program with its help page.
        m_firstRun = false;
        openHelp();
    }
    writeSettings();
    if (m_ended)
        return;
    m_host.setEyeTimer(true);
}

QStringList MainController::foldersAmong(QStringList &words)
{
    QStringList folders;
    for (auto it = words.begin(); it != words.end();) {
        const QFileInfo info(*it);
        // "/GATHER" is a word of the design, never a folder: only paths that exist count.
        if (info.isAbsolute() && info.exists()) {
            const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
            if (!folders.contains(folder))
                folders << folder;
            it = words.erase(it);
        } else {
            ++it;
        }
    }
    return folders;
}

void MainController::handleCommandLine()
{
    for (const QString &folder : std::as_const(m_openedFolders))
        DirList::AddTree(m_state, folder, [this] {
            m_host.processEvents();
            return true;
        });
    if (!m_openedFolders.isEmpty())
        m_state.optionsChanged = true;
    if (m_commandLine.isEmpty())
        return;
    m_state.optionsChanged = true;
    const int slash = int(m_commandLine.indexOf(QLatin1Char('/')));
    const QString name = (slash < 0 ? m_commandLine : m_commandLine.left(slash)).trimmed();
    const bool gather = isUnattended(m_commandLine);
    if (!name.isEmpty()) {
        loadList(name);
        // Gathering some other list than the one asked for would fill the wrong catalogue:
        // the list's own message has said why it could not be read.
        if (gather && m_state.listName != name && name.toUpper() != QLatin1String("GENERAL")) {
            endUnattended(1);
            return;
        }
    }
    if (gather) {
        m_state.clickCheck(Check::Gather, true);
        cmdGO_Click();
        // A gather that completes ends the program; one that stopped at a check or a failure
        // must not leave a program waiting for a user nobody is.
        if (!m_ended)
            endUnattended(1);
    }
}

bool MainController::isUnattended(const QString &commandLine)
{
    return commandLine.toUpper().contains(QLatin1String("/GATHER"));
}

void MainController::endUnattended(int code)
{
    // Every box already went to standard error; a run that ends without one says why here.
    auto *unattended = dynamic_cast<UnattendedPrompts *>(&Prompts::handler());
    if (code != 0 && unattended && unattended->count() == 0) {
        Prompts::message(nullptr, QStringLiteral("The gather of the list %1 did not complete.")
                                      .arg(m_state.listName));
    }
    endProgram(code);
}

void MainController::stopBySignal(int signal)
{
    if (m_ended)
        return;
    m_state.stopSignal = signal;
    // A running pre-scan sees the request at its next file and stops as Quit stops it; the
    // launch then ends the program. Anything else ends now.
    if (m_waitingForPreScan || m_waitingForPreMatch)
        return;
    endWithSettings(StopSignals::exitStatus(signal));
}

void MainController::endWithSettings(int code)
{
    if (saveSettingsAndList())
        endProgram(code);
}

void MainController::CheckDiskSpace()
{
    constexpr qint64 kMinimumMegabytes = 20;
    auto warn = [](const QString &root, const QString &advice) {
        Prompts::ask(nullptr, Box{QStringLiteral("You have less than 20 meg free on drive ") + root
                                      + QStringLiteral("\n\n") + advice,
                                  QStringLiteral("Vexa! - Low Disk Space Warning"), Buttons::Ok,
                                  Icon::Critical, Prompts::Default::First});
    };
    Platform::Services &platform = Platform::services();
    const Platform::Volume home = platform.volume(QDir::homePath());
    if (home.valid && home.bytesFree >= 0 && home.bytesFree / (1024 * 1024) < kMinimumMegabytes) {
        warn(home.root, QStringLiteral("You should free up more drive space for Windows Virtual "
                                       "Memory and the Vexa! Image Database before continuing."));
    }
    const Platform::Volume program = platform.volume(ProgramDir::path());
    if (program.valid && program.root != home.root && program.bytesFree >= 0
        && program.bytesFree / (1024 * 1024) < kMinimumMegabytes) {
        warn(program.root, QStringLiteral("You should free up more drive space for the Vexa! "
                                          "Image Database before continuing."));
    }
}

void MainController::cmdGO_Click()
{
    if (m_ended)
        return;
    // 1-3: catalogue name, settings, list.
    const QString catalogueName = m_state.catalogueName();
    writeSettings();
    if (m_ended)
        return;
    if (m_state.listName.toUpper() == QLatin1String("GENERAL") || m_state.isChecked(Check::SaveList))
        DirList::SaveListAutomatically(m_state);
    // 4-5: checks that need no clean-up.
    if (m_state.listName.trimmed().isEmpty()) {
        Prompts::message(nullptr, QStringLiteral("Please name and save the directory list."));
        return;
    }
    if (!m_state.ifcd.trimmed().isEmpty() && m_state.isChecked(Check::Exclusive)) {
        Prompts::message(nullptr, QStringLiteral("You may not combine the IFCD and Exclusive "
                                                 "search options..."));
        return;
    }
    // 6: from here on every way out clears SearchBusy.
    if (m_searchBusy)
        return;
    m_searchBusy = true;
    m_state.scanBarMinimized = false;
    m_state.startMode = QStringLiteral("NEW");

    enum class Entry { Checks, PreScan, PreMatch, Review } entry = Entry::Checks;
    if (programFileExists(QStringLiteral("Scanning.dat")))
        entry = Entry::PreScan;
    else if (programFileExists(QStringLiteral("Matching.dat")))
        entry = Entry::PreMatch;

    if (entry == Entry::Checks) {
        // 8-9
        m_state.ifcd = m_state.ifcd.trimmed();
        if (m_state.filter.isEmpty())
            m_state.filter = QStringLiteral("*");
        m_state.notifyChanged();
        if (m_state.checkedFileTypeCount() == 0) {
            Prompts::message(nullptr, QStringLiteral("You have not selected any file types..."));
            m_searchBusy = false;
            return;
        }
        // 10: resume decision.
        if (QFileInfo::exists(cataloguePath(catalogueName))) {
            if (!m_state.isChecked(Check::Gather)) {
                if (!m_state.optionsChanged && m_state.stoppedAtRecord >= 1) {
                    m_state.startMode = QStringLiteral("RESUME");
                    m_host.runResumeDialog();
                    if (m_state.searchCompleted == QLatin1String("NO")
                        && m_state.startMode == QLatin1String("RESUME")) {
                        const Answer a = Prompts::ask(
                            nullptr,
                            Box{QStringLiteral("The Directory Pre-Scan was not completed on your "
                                               "last session.\n\nWould you like to resume where "
                                               "you last left off anyway?"),
                                QStringLiteral("Resume session?"), Buttons::YesNo,
                                Icon::Information, Prompts::Default::First});
                        if (a != Answer::Yes)
                            m_state.startMode = QStringLiteral("NEW");
                    }
                } else {
                    m_state.startMode = QStringLiteral("NEW");
                    m_host.runResumeDialog();
                }
            }
            if (m_state.startMode == QLatin1String("RESUME"))
                entry = Entry::Review;
            else
                m_state.stoppedAtRecord = 0;
        } else {
            m_state.stoppedAtRecord = 0;
        }
    }

    if (entry == Entry::Checks) {
        // 11: colour-statistics warning.
        const Mode mode = m_state.mode();
        const bool readsPixels =
            mode == Mode::AverageRgb || mode == Mode::QuadRgb || mode == Mode::Pattern;
        if (!m_state.noWarnings && !m_state.isChecked(Check::Gather) && readsPixels) {
            const Answer a = Prompts::ask(
                nullptr,
                Box{QStringLiteral("The comparison mode you have chosen requires that I read each "
                                   "individual file to compute color statistics.  This will take "
                                   "substantially longer.  Do you wish to continue?"),
                    QStringLiteral("Warning"), Buttons::YesNo, Icon::Information,
                    Prompts::Default::First});
            if (a != Answer::Yes) {
                m_searchBusy = false;
                return;
            }
        }
        // 12
        if (!prepareCatalogue()) {
            m_searchBusy = false;
            return;
        }
        if (m_ended)
            return;
        entry = Entry::PreScan;
    }

    if (entry == Entry::PreScan) {
        // 13-14
        m_host.setEyeTimer(false);
        m_host.hideMain();
        m_state.preScanDone = false;
        m_state.preScanFailed = false;
        m_waitingForPreScan = true;
        m_host.showPreScan();
        while (!m_state.preScanDone && !m_ended)
            m_host.waitForEvents();
        m_waitingForPreScan = false;
        if (m_ended)
            return;
        if (m_state.stopSignal) {
            m_searchBusy = false;
            endWithSettings(StopSignals::exitStatus(m_state.stopSignal));
            return;
        }
        if (m_state.isChecked(Check::Gather)) {
            m_searchBusy = false;
            // A gather always ends the program; its status says whether it completed.
            const bool completed =
                !m_state.preScanFailed && m_state.searchCompleted == QLatin1String("YES");
            m_quitCode = completed ? 0 : 1;
            cmdQUIT_Click();
            return;
        }
        if (m_state.preScanFailed) {
            // The window has said what failed; the search goes no further until it is put
            // right, and the next Go resumes the pre-scan.
            m_searchBusy = false;
            m_host.showMain();
            m_host.setEyeTimer(true);
            return;
        }
        entry = Entry::PreMatch;
    }

    if (entry == Entry::PreMatch && m_state.isChecked(Check::PreMatch)) {
        // 15
        m_state.preMatchDone = false;
        m_waitingForPreMatch = true;
        m_host.showPreMatch();
        while (!m_state.preMatchDone && !m_ended)
            m_host.waitForEvents();
        m_waitingForPreMatch = false;
        if (!m_ended && m_state.stopSignal) {
            m_searchBusy = false;
            endWithSettings(StopSignals::exitStatus(m_state.stopSignal));
            return;
        }
        if (m_ended)
            return;
    }

    // 16-17
    m_host.setEyeTimer(false);
    m_host.hideMain();
    m_host.showReview(m_state.isChecked(Check::Snapshot), reviewTitle(m_state));
    m_state.clickCheck(Check::Gather, false);
    m_searchBusy = false;
}

bool MainController::prepareCatalogue()
{
    const QString name = m_state.catalogueName();
    const QString path = cataloguePath(name);
    QString error;
    // A new catalogue is made from the template; a failure is said and the search does not start.
    auto createFresh = [&] {
        ProgramDir::ensureDataDir();
        if (!Catalogue::ensureTemplate(templatePath(), &error)
            || !Catalogue::createFromTemplate(templatePath(), path, &error)) {
            Prompts::ask(nullptr, Box{error, QStringLiteral("Vexa! - Error"), Buttons::Ok,
                                      Icon::Critical, Prompts::Default::First});
            return false;
        }
        return true;
    };
    if (!QFileInfo::exists(path))
        return createFresh();
    const QString readOnly = Catalogue::writeProblem(path);
    if (!readOnly.isEmpty()) {
        Prompts::ask(nullptr, Box{readOnly + QStringLiteral("\n\nThe search cannot start."),
                                  QStringLiteral("Vexa! - Error"), Buttons::Ok, Icon::Critical,
                                  Prompts::Default::First});
        return false;
    }
    if (!Catalogue::isCatalogue(path, &error)) {
        if (!offerToSetAside(path, error))
            return false;
        return createFresh();
    }
    const QString tag = ListTag::pathFor(name);
    if (!QFileInfo::exists(tag)) {
        if (!ListTag::write(tag, ListTag::currentMonth())) {
            Prompts::message(nullptr, QStringLiteral("Unable to create LIST TAG file"));
            return false;
        }
        return true;
    }
    const std::optional<QString> month = ListTag::readFirstLine(tag);
    if (!month) {
        Prompts::message(nullptr, QStringLiteral("Unable to read LIST TAG file"));
        endProgram(1);
        return false;
    }
    if (*month != QString::number(ListTag::currentMonth()))
        CompactCatalogue();
    return true;
}

bool MainController::offerToSetAside(const QString &path, const QString &why)
{
    const QString shown = QDir::toNativeSeparators(path);
    const Answer a = Prompts::ask(
        nullptr,
        Box{QStringLiteral("The catalogue file %1 is damaged or is not a Vexa! catalogue.\n\n%2"
                           "\n\nIt can be set aside as %1.damaged, and a new catalogue started "
                           "(the next search then reads every file again).  Set it aside now?")
                .arg(shown, why),
            QStringLiteral("Vexa! - Error"), Buttons::YesNo, Icon::Critical, Prompts::Default::Second});
    if (a != Answer::Yes)
        return false;
    QString error;
    if (Catalogue::setAside(path, &error).isEmpty()) {
        Prompts::ask(nullptr, Box{error, QStringLiteral("Vexa! - Error"), Buttons::Ok,
                                  Icon::Critical, Prompts::Default::First});
        return false;
    }
    // A pre-scan of the old catalogue cannot be resumed in the new one.
    QFile::remove(ProgramDir::file(QStringLiteral("Scanning.dat")));
    return true;
}

void MainController::CompactCatalogue()
{
    const QString name = m_state.catalogueName();
    const QString path = cataloguePath(name);
    const QString temp = ProgramDir::file(QStringLiteral("vexatmp.mdb"));
    m_host.setCompactWindowVisible(true);
    m_host.processEvents();

    QFile::remove(temp);
    bool ok = false;
    {
        Catalogue catalogue;
        ok = catalogue.open(path) && catalogue.compactInto(temp);
    }
    if (!ok) {
        QFile::remove(temp);
    } else {
        // The old file is set aside until the compacted copy has taken its place, so the
        // catalogue survives a failure at any step.
        const QString aside = path + QStringLiteral(".old");
        QFile::remove(aside);
        if (!QFile::rename(path, aside)) {
            ok = false;
            QFile::remove(temp);
        } else if (!QFile::rename(temp, path) && !QFile::copy(temp, path)) {
            QFile::rename(aside, path);
            QFile::remove(temp);
            ok = false;
        } else {
            QFile::remove(aside);
            QFile::remove(temp);
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
            QFile::remove(Catalogue::checkedRecord(path));
        }
    }
    m_host.setCompactWindowVisible(false);
    if (ok) {
        if (!ListTag::write(ListTag::pathFor(name), ListTag::currentMonth()))
            Prompts::message(nullptr, QStringLiteral("Unable to create LIST TAG file"));
    } else {
        const QString root = Platform::services().volume(ProgramDir::path()).root;
        Prompts::message(nullptr,
                         QStringLiteral("Unable to compact the database.  You need to free up "
                                        "more space on drive ")
                             + root
                             + QStringLiteral("\n\nYou may continue on,  Vexa! will attempt to "
                                              "compact the database again next time..."),
                         Icon::Information);
    }
    m_host.processEvents();
}

void MainController::cmdCOMPACT_Click()
{
    const Answer a = Prompts::ask(
        nullptr,
        Box{QStringLiteral("Do you wish to compact the database?\n\nNote - This will be que'd "
                           "automatically once a month anyway.  This option is avaliable to "
                           "simply allow you to maintain control of this function should you "
                           "wish compact the database more often."),
            QStringLiteral("Compact Database..."), Buttons::YesNo, Icon::Question,
            Prompts::Default::Second});
    if (a == Answer::Yes)
        CompactCatalogue();
}

void MainController::cmdPURGE_Click()
{
    const QString name = m_state.catalogueName();
    const Answer a = Prompts::ask(
        nullptr,
        Box{QStringLiteral(
                "Do you wish to purge all records from the database?\n\nNote - You should do "
                "this to clear orphaned records from the database if you move large numbers of "
                "files within your directories or do not take advantage of the IFCD or if you "
                "permanently remove directories from your main list.  If you use the IFCD, those "
                "records will naturally be purged.  There is no harm in not purging your "
                "database, it will simply cause it to be larger than necessary.\n\nRecords not "
                "accessed for more than 3 months will be auto-purged anyway..."),
            QStringLiteral("Purge Database..."), Buttons::YesNo, Icon::Question,
            Prompts::Default::Second});
    if (a != Answer::Yes)
        return;
    m_state.optionsChanged = true;
    QFile::remove(ProgramDir::file(QStringLiteral("vexatmp.mdb")));
    QFile::remove(ProgramDir::file(QStringLiteral("VEXATMP.LDB")));
    const QString path = cataloguePath(name);
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(Catalogue::checkedRecord(path));
    Prompts::message(nullptr, QStringLiteral("Database Purged..."));
    m_state.stoppedAtRecord = 0;
    writeSettings();
}

QString MainController::megabytes(double bytes)
{
    const double meg = bytes / 1057000.0;
    const double hundredths = std::round(std::fabs(meg) * 100.0);
    const qint64 whole = qint64(hundredths) / 100;
    const int fraction = int(qint64(hundredths) % 100);
    QString text = meg < 0 && hundredths > 0 ? QStringLiteral("-") : QString();
    if (whole > 0)
        text += QString::number(whole);
    text += QLatin1Char('.');
    if (fraction > 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        if (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += digits;
    }
    return text;
}

QString MainController::statsMessage(const MainState &s)
{
    using VbText::general;
    const double total = s.totalBytesRecovered + s.sessionSectorBytesRecovered;
    return general(s.sessionFilesDeleted) + QStringLiteral(" file(s) deleted this session.\n\n")
           + general(s.sessionBytesRecovered) + QStringLiteral(" bytes recovered, or ")
           + megabytes(s.sessionBytesRecovered) + QStringLiteral(" meg(s).\n\n")
           + QStringLiteral("Actual space adjusted for sector usage...\n")
           + general(s.sessionSectorBytesRecovered) + QStringLiteral(" bytes recovered, or ")
           + megabytes(s.sessionSectorBytesRecovered) + QStringLiteral(" meg(s).\n")
           + QStringLiteral("__________\n\n") + QStringLiteral("Total recovered for all sessions...\n")
           + general(total) + QStringLiteral(" bytes recovered, or ") + megabytes(total)
           + QStringLiteral(" meg(s).\n") + general(s.totalFilesDeleted)
           + QStringLiteral(" files deleted.");
}

void MainController::cmdQUIT_Click()
{
    if (m_state.showEndStats && !m_state.isChecked(Check::Gather) && !m_state.stopSignal) {
        if (m_host.showStats(statsMessage(m_state))) {
            m_state.showEndStats = false;
            Prompts::message(nullptr,
                             QStringLiteral("To Re-enable the drive stats message at a later "
                                            "time, remove the line that reads \n\nDISABLE END "
                                            "STATS MESSAGE\n\nfrom the VEXA.INI file"),
                             Icon::Information);
        }
    }
    if (!saveSettingsAndList())
        return;
    endProgram(m_quitCode);
}

bool MainController::saveSettingsAndList()
{
    if (!SettingsIni::WriteINI(m_state)) {
        endProgram(1);
        return false;
    }
    if (m_state.listName.toUpper() == QLatin1String("GENERAL") || m_state.isChecked(Check::SaveList))
        DirList::SaveListAutomatically(m_state);
    return true;
}

void MainController::saveAtSessionEnd()
{
    // Settings that were never read are not written: they would replace the user's with the
    // defaults. After Quit (or an ending error) there is nothing left to save.
    if (m_ended || !m_settingsRead)
        return;
    saveSettingsAndList();
}

void MainController::openHelp()
{
    const QString page = ProgramDir::file(QStringLiteral("vexa.html"));
    auto noBrowser = [page] {
        Prompts::message(nullptr,
                         QStringLiteral("No web browser could be started to show the help.\n\n"
                                        "The help is the page %1: open it with any web browser.")
                             .arg(QDir::toNativeSeparators(page)),
                         Icon::Information, QStringLiteral("Vexa! - Help"));
    };
    if (!Platform::services().openHelp(page, noBrowser))
        noBrowser();
}

void MainController::txtFILTER_LostFocus()
{
    m_state.optionsChanged = true;
    m_state.filter = m_state.filter.trimmed().toUpper();
    if (m_state.filter.isEmpty())
        m_state.filter = QStringLiteral("*");
    m_state.notifyChanged();
}

void MainController::txtTHUMBNAILEXT_LostFocus()
{
    QString t = m_state.thumbnailExt.trimmed().toUpper();
    if (!t.isEmpty() && !t.startsWith(QLatin1Char('.')))
        t.prepend(QLatin1Char('.'));
    m_state.thumbnailExt = t;
    m_state.notifyChanged();
}

void MainController::txtTOLERANCE_LostFocus()
{
    m_state.tolerance = m_state.tolerance.trimmed();
    const double v = VbText::leadingNumber(m_state.tolerance);
    if (v < 0 || v > 99)
        m_state.tolerance = QStringLiteral("5");
    if (m_state.isChecked(Check::PreMatch))
        m_state.optionsChanged = true;
    m_state.notifyChanged();
}

QString MainController::reviewTitle(const MainState &s)
{
    QString title;
    switch (s.mode()) {
    case Mode::Name: title = QStringLiteral("Vexa! - NAME search"); break;
    case Mode::Size: title = QStringLiteral("Vexa! - SIZE search"); break;
    case Mode::NameSize: title = QStringLiteral("Vexa! - NAME and SIZE search"); break;
    case Mode::Numbered: title = QStringLiteral("Vexa! - NUMBERED search"); break;
    case Mode::AverageRgb: title = QStringLiteral("Vexa! - AVERAGE RGB search"); break;
    case Mode::QuadRgb: title = QStringLiteral("Vexa! - QUADRANT RGB search"); break;
    default: break;
    }
    if (s.isChecked(Check::SoftMatch))
        title += QStringLiteral(", SOFT MATCHING");
    if (s.isChecked(Check::Ignore))
        title += QStringLiteral(", IGNORE TYPE");
    if (s.mode() == Mode::Pattern)
        title = QStringLiteral("Vexa! - PATTERN search");
    if (s.mode() == Mode::Checksum)
        title = QStringLiteral("Vexa! - CHECKSUM search");
    if (!s.ifcd.trimmed().isEmpty())
        title += QStringLiteral(", IFCD");
    return title;
}

QString MainController::revisionText(int major, int minor)
{
    return QStringLiteral("Revision %1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
}
