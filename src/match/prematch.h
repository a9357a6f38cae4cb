// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "catalogue.h"
#include "walker.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

class MainState;

// The pre-match cycle without its window: walks the whole browse order of the chosen mode
// once, and instead of showing each matching pair marks both rows "*", so that the review
// then walks only rows that have a match. Progress, pause and the marker file "Matching.dat"
// for a crashed cycle are kept here; the window shows what it reports.
class PreMatchCycle : public WalkerView
{
public:
    PreMatchCycle(MainState &state, PatternSource patterns = PatternSource::Index);
    ~PreMatchCycle() override;

    // Form_Load's work: opens the catalogue of the search and runs the browse query.
    bool open(const QString &cataloguePath);
    QString error() const { return m_error; }

    // Form_Activate's work: from the row recorded in "Matching.dat" (or the first row) until
    // the walk ends or Quit is pressed. Marks are committed, and the marker rewritten, a few
    // times a second and at the end.
    void run();
    // One step: the forward search of the mode, which marks at most one pair.
    void PreMatchStep();
    // Counts a pair and marks the rows with these numbers.
    void MarkMatched(double first, std::optional<double> second = std::nullopt);

    void cancel() { m_cancel = true; }
    bool isCancelled() const { return m_cancel; }
    void setPaused(bool paused) { m_paused = paused; }
    bool isPaused() const { return m_paused; }

    qint32 matchesFound() const { return m_matchesFound; }
    // Rows the pre-scan marked, less those stepped over so far.
    double recordsLeft() const;
    // The rows this cycle walks: the pre-scan's count, or the browse order's when the cycle
    // resumes without a pre-scan before it.
    void setRowsToWalk(double rows) { m_rowsToWalk = rows; }

    // The window's hooks: let pending events run; show the progress (called at most a few
    // times a second, and once at the end); show that the cycle is paused.
    std::function<void()> yield;
    std::function<void()> progress;
    std::function<void()> paused;

    // The marker file's path and its reading: the RECNUM to resume at, 0 when none.
    static QString markerPath();
    static qint32 resumePosition();
    // Abort: the cycle stops at once, keeping its marks and the marker for the next launch.
    void abort() { m_aborted = true; }
    bool isAborted() const { return m_aborted; }
    // Form_Unload's part: the marker goes, the cycle is over.
    void finish();

    // WalkerView
    void pairFound() override;
    void endReached() override { m_done = true; }
    void rowStepped() override;
    void candidateStepped() override { waitWhilePaused(); }
    // Quit, Abort, or the system asking the program to stop.
    bool cancelled() override;

private:
    void waitWhilePaused();
    void maybeYield();
    void writeMarker();
    bool markOnce(double recnum); // false when the number was marked before

    MainState &m_state;
    PatternSource m_patternSource;
    QString m_error;
    Catalogue m_catalogue;
    std::unique_ptr<Walker> m_walker;
    bool m_cancel = false;
    bool m_paused = false;
    bool m_done = false;
    bool m_aborted = false;
    qint32 m_matchesFound = 0;
    qint32 m_rowsStepped = 0;
    double m_rowsToWalk = 0;
    std::vector<bool> m_marked; // by RECNUM: marked "*" already (the numbers run from 1)
    std::unordered_set<double> m_markedOther; // any other number
    QElapsedTimer m_sinceYield, m_sinceProgress, m_sinceCheckpoint;
};
