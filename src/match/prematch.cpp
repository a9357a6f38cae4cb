// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "prematch.h"

#include "mainstate.h"
#include "programdir.h"
#include "safefile.h"
#include "vbtext.h"

#include <QFile>
#include <QThread>

#include <algorithm>

namespace {

constexpr int YieldMs = 20;        // the window's buttons are served at least this often
constexpr int ProgressMs = 100;    // the progress line is refreshed this often
constexpr int CheckpointMs = 250;  // marks are committed and the marker rewritten this often

} // namespace

PreMatchCycle::PreMatchCycle(MainState &state, PatternSource patterns)
    : m_state(state), m_patternSource(patterns)
{}

PreMatchCycle::~PreMatchCycle() = default;

QString PreMatchCycle::markerPath()
{
    return ProgramDir::file(QStringLiteral("Matching.dat"));
}

qint32 PreMatchCycle::resumePosition()
{
    QFile f(markerPath());
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QString line = QString::fromLocal8Bit(f.readLine(256)).trimmed();
    return VbText::toInt32(VbText::leadingNumber(line));
}

bool PreMatchCycle::open(const QString &cataloguePath)
{
    if (!m_catalogue.open(cataloguePath)) {
        m_error = m_catalogue.lastError();
        return false;
    }
    m_walker = std::make_unique<Walker>(m_catalogue, MatchOptions::forPreMatch(m_state), *this,
                                        PairTest::defaultContentCompare(), m_patternSource);
    if (!m_walker->open()) {
        m_error = m_walker->error();
        return false;
    }
    // Marking changes no field the searches read.
    m_walker->setRereadBetweenSearches(false);
    if (m_rowsToWalk <= 0)
        m_rowsToWalk = m_walker->browse().count();
    return true;
}

double PreMatchCycle::recordsLeft() const
{
    return m_rowsToWalk - m_rowsStepped - 1;
}

void PreMatchCycle::run()
{
    m_rowsStepped = 0;
    const qint32 position = resumePosition();
    BrowseSet &browse = m_walker->browse();
    browse.moveFirst();
    if (position > 0 && !browse.findFirstRecnum(position))
        browse.moveFirst();
    m_done = false;
    m_cancel = false;
    m_sinceYield.start();
    m_sinceProgress.start();
    m_sinceCheckpoint.start();

    // The marks of a stretch of steps are written in one transaction; the marker names the
    // reference reached only once they are committed, so a crash resumes no later than the
    // last mark saved. Abort ends the stretch at once, saving what was done.
    writeMarker();
    while (!m_done && !cancelled()) {
        m_catalogue.transaction([this] {
            m_sinceCheckpoint.restart();
            while (!m_done && !cancelled() && m_sinceCheckpoint.elapsed() < CheckpointMs) {
                PreMatchStep();
                maybeYield();
            }
            return true;
        });
        writeMarker();
    }
    if (progress)
        progress();
}

void PreMatchCycle::writeMarker()
{
    BrowseSet &browse = m_walker->browse();
    const double recnum = m_walker->reference().isEmpty() ? browse.recnum() : m_walker->reference().RECNUM;
    // A marker that cannot be written only costs the resume its place.
    SafeFile::writeWhole(markerPath(), (VbText::print(recnum) + QStringLiteral("\r\n")).toLocal8Bit());
}

bool PreMatchCycle::cancelled()
{
    return m_cancel || m_aborted || m_state.stopSignal != 0;
}

void PreMatchCycle::finish()
{
    // A cycle stopped by the system (logout, kill) keeps its marker: the next search resumes
    // it, as after Abort.
    if (!m_state.stopSignal)
        QFile::remove(markerPath());
    m_cancel = true;
}

void PreMatchCycle::PreMatchStep()
{
    BrowseSet &browse = m_walker->browse();
    if (browse.eof()) {
        m_done = true;
        return;
    }
    m_walker->FindNextPair();
    // A current row must remain, so that the next step loads it and ends the walk.
    if (browse.eof())
        browse.movePrevious();
}

void PreMatchCycle::pairFound()
{
    // The PATTERN search also hands over the pair in hand when it stops early; only a match
    // is marked.
    if (m_walker->found())
        MarkMatched(m_walker->reference().RECNUM, m_walker->candidate().RECNUM);
}

void PreMatchCycle::MarkMatched(double first, std::optional<double> second)
{
    ++m_matchesFound;
    QVector<double> fresh;
    for (std::optional<double> n : {std::optional<double>(first), second}) {
        // A row marked before stays as it is; only the count of pairs grows.
        if (n && markOnce(*n))
            fresh.append(*n);
    }
    if (fresh.isEmpty())
        return;
    m_catalogue.markMatched(fresh);
    m_walker->rowsMarked(fresh);
}

bool PreMatchCycle::markOnce(double recnum)
{
    if (recnum >= 1 && recnum < 1e9 && recnum == double(qint64(recnum))) {
        const std::size_t n = std::size_t(recnum);
        if (n >= m_marked.size())
            m_marked.resize(std::max(n + 1, m_marked.size() * 2));
        if (m_marked[n])
            return false;
        m_marked[n] = true;
        return true;
    }
    return m_markedOther.insert(recnum).second;
}

void PreMatchCycle::rowStepped()
{
    waitWhilePaused();
    ++m_rowsStepped;
    if (progress && m_sinceProgress.elapsed() >= ProgressMs) {
        m_sinceProgress.restart();
        progress();
    }
    maybeYield();
}

void PreMatchCycle::maybeYield()
{
    if (yield && m_sinceYield.elapsed() >= YieldMs) {
        m_sinceYield.restart();
        yield();
    }
}

void PreMatchCycle::waitWhilePaused()
{
    // Quit and Abort are served while paused too.
    while (m_paused && !cancelled()) {
        if (paused)
            paused();
        QThread::msleep(YieldMs);
        if (yield)
            yield();
    }
}
