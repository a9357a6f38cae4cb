// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "mainstate.h"

#include <QString>
#include <QStringList>

// What the main window's logic needs from the windows around it. The program's main window
// implements it with real windows; tests implement it with scripted ones.
class MainWindowHost
{
public:
    virtual ~MainWindowHost() = default;
    virtual void processEvents() = 0;
    // Blocks until at least one event was handled (the launch's wait loops).
    virtual void waitForEvents() = 0;
    virtual void runResumeDialog() = 0;           // modal; leaves StartMode and Reactivate
    virtual void showPreScan() = 0;               // modeless; sets PreScanDone when it unloads
    virtual void showPreMatch() = 0;              // modeless; sets PreMatchDone when it unloads
    virtual void showReview(bool snapshot, const QString &title) = 0; // modeless
    virtual void hideMain() = 0;
    virtual void setEyeTimer(bool running) = 0;
    virtual void setGoEnabled(bool enabled) = 0;
    virtual void setCompactWindowVisible(bool visible) = 0;
    // Shows the statistics window modally; true when "Do not display this message..." was
    // checked.
    virtual bool showStats(const QString &message) = 0;
    virtual void endProgram(int exitCode) = 0;
    // Shows the main window again after a launch that stopped on the way.
    virtual void showMain() {}
};

// The main window's behaviour without its widgets: start-up, the search launch, catalogue
// compaction and quit, all on the shared state.
class MainController
{
public:
    MainController(MainState &state, MainWindowHost &host);

    // Window load: FirstRun when there was no settings file (a fresh one is written).
    void Form_Load();
    // Runs at every activation of the main window; the first one does the start-up work.
    void Form_Activate();

    void cmdGO_Click();
    void cmdQUIT_Click();
    // The session ends (the session manager asks the program to save, or the program is
    // being ended): the settings and the list are saved as Quit saves them, without its
    // window. Does nothing before the settings were read or after the program ended.
    void saveAtSessionEnd();
    void cmdCOMPACT_Click();
    void cmdPURGE_Click();
    void openHelp();
    // Writes the settings file; a failure ends the program (false).
    bool saveSettings();

    void setCommandLine(const QString &commandLine) { m_commandLine = commandLine; }
    // Folders given on the command line, as a file manager's "Open with" passes them: after
    // the settings are read, each is added to the current list with the folders below it.
    void setOpenedFolders(const QStringList &folders) { m_openedFolders = folders; }
    // Splits the program's arguments into the design's command-line words and the folders
    // among them (absolute paths that exist; a file stands for its folder).
    static QStringList foldersAmong(QStringList &words);
    // True for a command line that gathers unattended ("LIST /GATHER"): no box may wait then.
    static bool isUnattended(const QString &commandLine);

    // The system asked the program to stop (SIGTERM, SIGINT): a running pre-scan stops as
    // Quit stops it, leaving its marker; the settings and list are saved as Quit saves them,
    // and the program ends with 128 + signal.
    void stopBySignal(int signal);

    // Asks whether to set a damaged catalogue aside as "<name>.mdb.damaged" (why says what is
    // wrong with it); true when it was, and a new catalogue can be made in its place.
    static bool offerToSetAside(const QString &path, const QString &why);

    // Field validation when the user leaves a field.
    void txtFILTER_LostFocus();
    void txtTHUMBNAILEXT_LostFocus();
    void txtTOLERANCE_LostFocus();

    // The title of the review window for the current options.
    static QString reviewTitle(const MainState &state);
    // "Revision 1.05"
    static QString revisionText(int major, int minor);
    // The statistics message shown at quit.
    static QString statsMessage(const MainState &state);
    // Megabytes (of 1,057,000 bytes) in the "###.##" form: "2.", ".5", ".".
    static QString megabytes(double bytes);

    bool isSearchBusy() const { return m_searchBusy; }
    bool hasEnded() const { return m_ended; }
    bool isFirstRun() const { return m_firstRun; }
    bool hasReadSettings() const { return m_settingsRead; }

    // The low-disk-space warning (also used after start-up by nothing else).
    void CheckDiskSpace();
    // Compacts the current catalogue into a temporary copy and swaps it in.
    void CompactCatalogue();

private:
    void handleCommandLine();
    bool prepareCatalogue(); // false: the launch stops
    void endProgram(int code);
    void endUnattended(int code);
    void endWithSettings(int code); // settings and list saved as Quit saves them, no statistics
    void writeSettings();
    bool saveSettingsAndList(); // false: the settings could not be written (the program ends)
    void loadList(const QString &name);

    MainState &m_state;
    MainWindowHost &m_host;
    QString m_commandLine;
    QStringList m_openedFolders;
    bool m_firstActivation = true;
    bool m_inFirstActivation = false;
    bool m_firstRun = false;
    bool m_searchBusy = false;
    bool m_ended = false;
    bool m_waitingForPreScan = false;
    bool m_waitingForPreMatch = false;
    int m_quitCode = 0; // the exit status Quit ends the program with
    bool m_settingsRead = false;
    bool m_listLoaded = false;
};
