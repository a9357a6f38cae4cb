// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "filelisting.h"
#include "signatures.h"

#include <QElapsedTimer>
#include <QHash>
#include <QVector>
#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class MainState;

// The directory pre-scan: brings the catalogue up to date for the current directory list,
// marks the rows of this search and numbers them, computing the signatures the search needs.
// It has no window: the pre-scan window shows its signals and serves its yields.
class PreScan : public QObject
{
    Q_OBJECT
public:
    explicit PreScan(MainState &state, QObject *parent = nullptr);
    ~PreScan() override;

    // Called between files and while waiting, so the window can serve its buttons.
    std::function<void()> yield;
    // Worker threads for decoding and signatures (0: one per core). Results do not depend on it.
    int threads = 0;

    // The whole run. Returns false when the catalogue could not be opened or a statement on it
    // failed: error() says what failed and where. The entry being scanned then keeps nothing
    // (its transaction is rolled back) and the marker file stays for a resume.
    bool RunPreScan();

    void cancel() { m_cancel = true; }
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    bool isCancelled() const { return m_cancel; }

    QString error() const { return m_error; }
    // The run stopped on a catalogue that SQLite reports as damaged; nothing more was written.
    bool damaged() const { return m_damaged; }
    double markedCount() const { return m_marked; }
    // Rows written and committed by this run (a resumed run counts only its own).
    double rowsWritten() const { return m_rowsWritten; }
    int filesRead() const { return m_filesRead; }
    int unreadableNames() const { return m_unreadableNames; }
    // The folders of the list that are there but could not be read.
    QStringList unreadableFolders() const { return m_unreadableFolders; }
    bool warnChecksum() const { return m_warnChecksum; }
    bool warnColour() const { return m_warnColour; }
    bool warnPattern() const { return m_warnPattern; }

    // The three name patterns of a filter text.
    static QStringList filterPatterns(const QString &filter);
    // The filter test of an upper-cased name (the length test is separate).
    static bool passesFilter(const QString &upperName, const QStringList &patterns,
                             const QString &type, bool notFilter);
    // The month three months before the given one, as YYYYMM.
    static int purgeCutoff(int year, int month);
    // Renames dir/*.<oldExt> to .jpg, numbering a name that is taken (photo1.jpg ...).
    static void FixExtension(const QString &directory, const QString &oldExtension);
    // The marker file: the list index of the entry being scanned, and how many rows the run had
    // marked before it (-1 when the file does not say).
    struct Marker
    {
        int listIndex = 0;
        double markedBefore = -1;
    };
    static Marker readMarker();
    // The first list index of this run from the marker file: 0 when there is none.
    static int resumeIndex();
    // The catalogue path of the current search.
    static QString cataloguePath(const MainState &state);

signals:
    void directoryChanged(const QString &text); // the status line
    void numberChanged(const QString &text);    // the count line
    void previewChanged(const QImage &picture);
    void pausedChanged(bool paused);

private:
    bool prepare(Catalogue &catalogue);
    // Runs one entry's work in one transaction: committed, or on a failure rolled back with
    // the marked counter put back.
    void scanEntry(Catalogue &catalogue, const std::function<void()> &work);
    // True once a statement on the catalogue has failed: the run stops, saying where.
    bool stopOnFailure(const Catalogue &catalogue, const QString &where);
    bool finishFailed(Catalogue &catalogue);
    // The files of the list are looked up in listing order and handed to the workers ahead of
    // the file whose row is being written, across folders, types and list entries; how far
    // ahead is bounded by the bytes of decoded pixels in flight. See prescan.cpp.
    struct EntryPlan;
    struct Pending;
    struct LookAhead;
    void startLookAhead(int first);
    void stopLookAhead();
    void topUp();
    bool planNextEntry();
    void producing(std::shared_ptr<EntryPlan> plan);
    std::shared_ptr<EntryPlan> takePlan(int index);
    // Which files of an entry's listings pass the name filter; run where the listing was read.
    static std::shared_ptr<EntryPlan> makePlan(int index, const QString &entry,
                                               QVector<Listing> listings,
                                               const QStringList &patterns,
                                               const QStringList &types, bool notFilter);
    void lookUp(const std::shared_ptr<EntryPlan> &plan, int type, int file);
    void release(Pending &item);
    // Writes the rows of one directory for one type, in listing order, from the look-ahead.
    void ScanDirectory(Catalogue &catalogue, const EntryPlan &plan, int type);
    void ReactivateDirectory(Catalogue &catalogue, const QString &volumeTag, const QString &path,
                             const QString &type);
    void waitWhilePaused();
    void maybeYield(bool force = false);
    bool statusDue() const;
    void showStatus(const QString &directory, const QString &number, bool force = false);
    bool underReactivatedVolume(const QString &path) const;

    MainState &m_state;
    QString m_error;
    QStringList m_patterns;
    SignatureNeeds m_needs;
    bool m_showPreview = false;
    double m_stamp = 0;
    double m_marked = 0;
    double m_rowsWritten = 0;
    bool m_failed = false;
    bool m_damaged = false;
    QString m_where; // the part of the run under way, for the failure message
    int m_filesRead = 0;
    int m_unreadableNames = 0;
    QStringList m_unreadableFolders;
    double m_shownNumber = 0; // the number the count line shows
    bool m_cancel = false;
    bool m_paused = false;
    bool m_warnChecksum = false, m_warnColour = false, m_warnPattern = false;
    QElapsedTimer m_sinceYield, m_sinceStatus;
    RefTable m_refs; // rows not yet found in this run, by REF
    QStringList m_entries, m_types; // of the run under way
    Catalogue *m_catalogue = nullptr;
    struct Pool;
    std::unique_ptr<Pool> m_pool;
    std::unique_ptr<LookAhead> m_ahead;
};
