// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

// Everything the main window's option controls hold, plus the state every window shares
// through the main window. The main window shows it; every other window reads and writes it
// here, so the logic that depends on options needs no window.
class MainState : public QObject
{
    Q_OBJECT
public:
    enum class Mode { Name, Size, NameSize, Numbered, Checksum, AverageRgb, QuadRgb, Pattern };
    static constexpr int ModeCount = 8;

    // The check boxes other than the file types.
    enum class Check {
        SoftMatch, Ignore, Exclusive, Gather, PreMatch, Snapshot, Recycle, Confirm, AutoNext,
        Not, Jpeg, NoSound, SaveList, SingleTable, TreeModeIfcd
    };
    static constexpr int CheckCount = 15;

    // The file types, in the order the settings file lists them: the 24 classic types
    // (".ART" ... ".ICO"), then today's photo types (".AVIF", ".HEIC", ".HEIF", ".WEBP").
    static constexpr int ClassicFileTypeCount = 24;
    static constexpr int FileTypeCount = 28;
    static const std::array<const char *, FileTypeCount> &fileTypes();
    static int fileTypeIndex(const QString &extension);                // -1 when unknown

    explicit MainState(QObject *parent = nullptr);

    // ---- Option controls. The click functions behave as the user clicking the control. ----
    Mode mode() const { return m_mode; }
    void clickMode(Mode mode); // selects it, unchecks soft matching, options changed
    bool isChecked(Check check) const { return m_checks[size_t(check)]; }
    // Sets a check box as a click does: raises OptionsChanged where that box's click does.
    void clickCheck(Check check, bool checked);
    // Sets a check box without the click's side effects (list loading, tree flag).
    void setChecked(Check check, bool checked);
    bool isFileTypeChecked(int index) const { return m_fileTypes[size_t(index)]; }
    void clickFileType(int index, bool checked);
    int checkedFileTypeCount() const;

    QString tolerance;               // txtTOLERANCE
    QString filter;                  // txtFILTER
    QString thumbnailExt;            // txtTHUMBNAILEXT
    QString listName = QStringLiteral("General"); // lblLISTNAME
    QStringList directories;         // lstDIRECTORIES
    QString ifcd;                    // txtIFCD
    // The user added or removed entries, or changed the IFCD, since the list was loaded.
    bool listEdited = false;

    // ---- Shared state. ----
    QString alternateViewer;
    QString searchCompleted = QStringLiteral("NO");
    bool optionsChanged = false;
    bool autoPurge = true;
    bool identifyByLocation = false;
    qint32 sessionFilesDeleted = 0;
    qint32 totalFilesDeleted = 0;
    double sessionBytesRecovered = 0;
    double sessionSectorBytesRecovered = 0;
    double totalBytesRecovered = 0;
    qint16 monthCompacted = 0;
    bool showEndStats = true;
    QString lastDirectory;
    bool preScanDone = false;
    double preScanMarked = 0; // rows the last pre-scan marked, for the pre-match cycle
    bool preMatchDone = false;
    bool scanBarMinimized = false;
    qint16 scanBarTop = -5000;
    qint16 scanBarLeft = -5000;
    bool noWarnings = false;
    QString startMode = QStringLiteral("NEW");
    qint32 stoppedAtRecord = 0;
    QString reactivate;
    bool disableFilePolling = false;
    QString wavDirectory;
    QStringList wavFiles; // at most 1000
    int wavCount() const { return int(wavFiles.size()); }

    // The last pre-scan stopped on an error that its window reported; the launch goes no
    // further and the marker file stays for the next run to resume.
    bool preScanFailed = false;
    // Set when the system asked the program to stop (SIGTERM, SIGINT): running work stops as
    // with Quit, markers stay, and the program ends with 128 + this signal.
    int stopSignal = 0;

    // The catalogue name of a search: the list name, or "vexatmp" with a single database.
    QString catalogueName() const;

    // The state of the running program's main window, for the shared routines that read the
    // options (file polling, re-activation); nothing until a main window registers one.
    static MainState *current();
    static void setCurrent(MainState *state);

    // Tells the main window to show the state again after it was changed from code.
    void notifyChanged() { emit changed(); }

signals:
    void changed();

private:
    Mode m_mode = Mode::Name;
    std::array<bool, CheckCount> m_checks{};
    std::array<bool, FileTypeCount> m_fileTypes{};
};
