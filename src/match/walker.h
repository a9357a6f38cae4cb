// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "browseset.h"
#include "matchoptions.h"
#include "matchrecord.h"
#include "pairtest.h"

#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class Catalogue;
class PatternCandidates;

// What a walker shows, asks and waits for. The pair review and the snapshot draw on the
// screen; the pre-match cycle marks rows and shows progress; the report prints. Every hook
// does nothing unless the face overrides it.
class WalkerView
{
public:
    virtual ~WalkerView() = default;

    // A pair stands in reference() and candidate() (pair searches): the review shows it
    // (ShowPair), the pre-match cycle marks both rows.
    virtual void pairFound() {}
    // The browse order ran out: the review says "No more matches...", the pre-match cycle ends.
    virtual void endReached() {}
    virtual void clearPanes() {}
    virtual void clearGrid() {}
    virtual void status(const QString &text) { Q_UNUSED(text) }
    // The PATTERN searches before each comparison: "Comparing " + reference + " to " +
    // candidate + "..." on the status line, where a face shows one.
    virtual void comparing(double reference, double candidate)
    {
        Q_UNUSED(reference)
        Q_UNUSED(candidate)
    }
    virtual void showStop() {}
    virtual void processEvents() {}
    // The skip refusals (information icon, no title).
    virtual void information(const QString &text) { Q_UNUSED(text) }
    virtual void lockButtons() {}
    virtual void unlockButtons() {}
    // Skip to the next major alpha ends by pressing Next.
    virtual void pressNext() {}
    // Called after every forward move over the browse order and over the pattern candidates
    // (the pre-match cycle waits there while paused and shows its progress).
    virtual void rowStepped() {}
    virtual void candidateStepped() {}
    // Read by the PATTERN searches between candidates: the pre-match cycle's Quit.
    virtual bool cancelled() { return false; }
    // The records-left count: the running figure, then the end.
    virtual void countProgress(double counted) { Q_UNUSED(counted) }

    // "Comparing 12 to 40..."
    static QString comparingText(double reference, double candidate);
};

// A group of the snapshot review: member 0 is the reference.
struct MatchGroup
{
    QVector<MatchRecord> members;
    int count() const { return int(members.size()); }
    void clear() { members.clear(); }
};

// Where the PATTERN searches take their candidates from: the designed query per reference on
// the catalogue, or an index in memory that gives the same candidates that can match.
enum class PatternSource { Query, Index };

// The matching engine's walks over the browse order of a mode: the forward and backward pair
// searches, the group searches, skip to the next major alpha and the records-left count. It
// holds the search state of one review window (or of the pre-match cycle, or of a report).
class Walker
{
public:
    Walker(Catalogue &catalogue, const MatchOptions &options, WalkerView &view,
           PairTest::ContentCompare compare = PairTest::defaultContentCompare(),
           PatternSource patterns = PatternSource::Index);
    ~Walker();
    Walker(const Walker &) = delete;
    Walker &operator=(const Walker &) = delete;

    // Runs the browse query (and, for PATTERN, readies the candidates). False with error().
    bool open();

    // Every search reads its rows afresh, so that files deleted, moved or renamed from a
    // review since the last search are seen as they are now. Walks that change no row between
    // their searches (the pre-match cycle, a report) turn this off and read each row once.
    void setRereadBetweenSearches(bool reread) { m_reread = reread; }
    QString error() const { return m_error; }

    const MatchOptions &options() const { return m_options; }
    BrowseSet &browse() { return *m_browse; }

    // The search state.
    MatchRecord &reference() { return m_reference; }
    MatchRecord &candidate() { return m_candidate; }
    bool found() const { return m_found; }
    void requestStop() { m_stopRequested = true; }
    const MatchGroup &group() const { return m_group; }

    // Moves over the browse order past rows tagged "D".
    void NextUntagged();
    void PreviousUntagged();
    void LoadReference();
    void LoadCandidate();
    void NextPatternCandidate();
    void LoadPatternCandidate();

    void FindNextPair();
    void FindPreviousPair();
    // Groups of at most gridSize members (24 or 28 in the snapshot review).
    void FindNextGroup(int gridSize);
    void FindPreviousGroup(int gridSize);
    void SkipToNextAlpha();
    // Counts the rows after the current one (tagged rows included) by walking back from the
    // last; the browse set ends where it started.
    double CountRecordsLeft();

    // The first activation of a review: the row with this RECNUM, else the first row.
    void positionAt(double recnum);

    // The pre-match cycle marked these rows "*": PATTERN candidate sets asked for from now on
    // leave them out.
    void rowsMarked(const QVector<double> &recnums);

private:
    bool pairMatches(bool applyIfcd);
    void findPair(bool forward);
    void findPatternPair(bool forward);
    void findGroup(bool forward, int gridSize);
    void findPatternGroup(bool forward, int gridSize);
    // The next reference of a PATTERN search and its candidates; false at the end of the browse
    // order, which the view has then been told.
    bool takePatternReference(bool forward);
    void startPatternSearch();
    // Loads the pattern candidate in hand, announces it and tests it against the reference:
    // nothing for a candidate tagged "D" (the set has moved past it), else whether it matches.
    std::optional<bool> testPatternCandidate();
    void moveUntagged(bool forward);
    void reread();
    bool atEnd(bool forward) const;
    bool groupInIfcd() const;

    Catalogue &m_catalogue;
    MatchOptions m_options;
    WalkerView &m_view;
    PairTest::ContentCompare m_compare;
    PatternSource m_patternSource;
    QString m_error;
    std::unique_ptr<BrowseSet> m_browse;
    std::unique_ptr<PatternCandidates> m_patterns;

    MatchRecord m_reference;
    MatchRecord m_candidate;
    bool m_found = false;
    QString m_lastDirection;
    bool m_requery = false;
    bool m_stopRequested = false;
    bool m_continueAfterMatch = false; // PATTERN: the last search ended on a match
    bool m_reread = true;
    qint16 m_tolerance = 0;
    MatchGroup m_group;
};
