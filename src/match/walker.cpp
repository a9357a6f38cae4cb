// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "walker.h"

#include "catalogue.h"
#include "patterncandidates.h"
#include "vbtext.h"

using Mode = MatchOptions::Mode;

Walker::Walker(Catalogue &catalogue, const MatchOptions &options, WalkerView &view,
               PairTest::ContentCompare compare, PatternSource patterns)
    : m_catalogue(catalogue), m_options(options), m_view(view), m_compare(std::move(compare)),
      m_patternSource(patterns)
{}

Walker::~Walker() = default;

bool Walker::open()
{
    m_catalogue.useLargeCache();
    m_browse = BrowseSet::open(m_catalogue, m_options, &m_error);
    if (!m_browse)
        return false;
    if (m_options.mode == Mode::Pattern) {
        m_patterns = std::make_unique<PatternCandidates>(m_catalogue, m_options, m_patternSource);
        if (!m_patterns->open()) {
            m_error = m_patterns->error();
            return false;
        }
    }
    // A review asks for its candidates afresh for its first reference; the pre-match cycle
    // starts on the set its window was given when it loaded.
    m_requery = !m_options.preMatchCycle;
    return true;
}

// ---- Moves and loads ----

void Walker::NextUntagged()
{
    m_browse->moveNext();
    while (!m_browse->eof() && m_browse->rtag() != QLatin1String(" "))
        m_browse->moveNext();
    if (!m_browse->eof())
        m_view.rowStepped();
}

void Walker::PreviousUntagged()
{
    m_browse->movePrevious();
    while (!m_browse->bof() && m_browse->rtag() != QLatin1String(" "))
        m_browse->movePrevious();
}

void Walker::moveUntagged(bool forward)
{
    if (forward)
        NextUntagged();
    else
        PreviousUntagged();
}

bool Walker::atEnd(bool forward) const
{
    return forward ? m_browse->eof() : m_browse->bof();
}

void Walker::LoadReference()
{
    m_reference = m_browse->record();
}

void Walker::LoadCandidate()
{
    m_candidate = m_browse->record();
}

void Walker::NextPatternCandidate()
{
    m_view.candidateStepped();
    BrowseSet &set = m_patterns->set();
    set.moveNext();
    while (!set.eof() && set.rtag() != QLatin1String(" "))
        set.moveNext();
}

void Walker::LoadPatternCandidate()
{
    m_candidate = m_patterns->set().record();
}

void Walker::positionAt(double recnum)
{
    m_browse->moveFirst();
    if (recnum > 0 && !m_browse->findFirstRecnum(recnum))
        m_browse->moveFirst();
}

void Walker::rowsMarked(const QVector<double> &recnums)
{
    if (m_patterns)
        m_patterns->rowsMarked(recnums);
}

void Walker::reread()
{
    if (!m_reread)
        return;
    m_browse->refresh();
    if (m_patterns && m_patterns->isQueried())
        m_patterns->set().refresh();
}

bool Walker::pairMatches(bool applyIfcd)
{
    return PairTest::Matches(m_options, m_reference, m_candidate, m_compare, applyIfcd);
}

// ---- Pair searches ----

void Walker::FindNextPair()
{
    if (m_options.mode == Mode::Pattern)
        findPatternPair(true);
    else
        findPair(true);
}

void Walker::FindPreviousPair()
{
    if (m_options.mode == Mode::Pattern)
        findPatternPair(false);
    else
        findPair(false);
}

void Walker::findPair(bool forward)
{
    const QString direction = forward ? QStringLiteral("NEXT") : QStringLiteral("PREV");
    const QString opposite = forward ? QStringLiteral("PREV") : QStringLiteral("NEXT");
    reread();
    m_found = false;
    m_view.clearPanes();
    m_tolerance = m_options.tolerance;
    for (;;) {
        if (m_found) {
            m_view.pairFound();
            return;
        }
        // The pre-match cycle's Quit ends a long search without a match at once.
        if (m_view.cancelled())
            return;
        // After a change of direction, or when the candidate shown was deleted, the walk
        // first moves past the candidate's row.
        if (m_lastDirection == opposite || m_candidate.isTagged())
            moveUntagged(forward);
        m_lastDirection = direction;
        if (atEnd(forward)) {
            m_view.endReached();
            return;
        }
        // The row just tested as candidate becomes the reference, so each row meets its
        // untagged neighbour; a reference still in place after its candidate was deleted is
        // tested against the next row instead.
        if (!(m_reference.RTAG == QLatin1String(" ") && m_candidate.RTAG != QLatin1String(" "))) {
            LoadReference();
            moveUntagged(forward);
        }
        if (atEnd(forward)) {
            m_view.endReached();
            return;
        }
        LoadCandidate();
        m_found = pairMatches(true);
    }
}

bool Walker::takePatternReference(bool forward)
{
    auto end = [this] {
        m_view.endReached();
        return false;
    };
    if (atEnd(forward))
        return end();
    if (m_reference.isTagged()) {
        moveUntagged(forward);
        m_requery = true;
    }
    if (atEnd(forward))
        return end();
    LoadReference();
    // References outside the IFCD are passed over; they may still turn up as candidates.
    while (!PairTest::IfcdAllows(m_options.ifcd, m_options.treeModeIfcd,
                                 m_reference.directoryText(), m_reference.directoryText())) {
        moveUntagged(forward);
        if (atEnd(forward))
            return end();
        LoadReference();
        m_requery = true;
    }
    if (m_requery) {
        m_patterns->query(m_reference, m_tolerance);
        m_requery = false;
        m_continueAfterMatch = false;
    } else if (!m_patterns->isQueried()) {
        m_patterns->initial(m_reference, m_tolerance);
    }
    return true;
}

QString WalkerView::comparingText(double reference, double candidate)
{
    return QStringLiteral("Comparing ") + VbText::general(reference) + QStringLiteral(" to ")
           + VbText::general(candidate) + QStringLiteral("...");
}

std::optional<bool> Walker::testPatternCandidate()
{
    LoadPatternCandidate();
    m_view.comparing(m_reference.RECNUM, m_candidate.RECNUM);
    m_view.processEvents();
    if (m_candidate.isTagged()) {
        NextPatternCandidate();
        return std::nullopt;
    }
    return PairTest::Criterion(m_options, m_reference, m_candidate)
           && PairTest::ExclusiveAllows(m_options, m_reference, m_candidate);
}

void Walker::startPatternSearch()
{
    m_stopRequested = false;
    m_view.showStop();
    m_tolerance = m_options.tolerance;
    reread();
}

void Walker::findPatternPair(bool forward)
{
    startPatternSearch();
    m_view.clearPanes();
    for (;;) {
        if (!takePatternReference(forward))
            return;
        BrowseSet &set = m_patterns->set();
        // After a match the next search goes on with the candidate after the matching one.
        if (m_continueAfterMatch) {
            m_continueAfterMatch = false;
            if (!set.eof())
                NextPatternCandidate();
        }
        bool matched = false;
        while (!m_stopRequested && !set.eof()) {
            if (m_view.cancelled())
                return;
            const std::optional<bool> match = testPatternCandidate();
            if (!match)
                continue;
            if (*match) {
                matched = true;
                break;
            }
            NextPatternCandidate();
        }
        if (!set.eof()) {
            // A match, or Stop: the pair in hand is shown (after Stop it need not match).
            m_found = matched;
            m_continueAfterMatch = matched;
            m_view.pairFound();
            return;
        }
        moveUntagged(forward);
        if (atEnd(forward)) {
            m_view.endReached();
            return;
        }
        LoadReference();
        m_requery = true;
    }
}

// ---- Group searches ----

void Walker::FindNextGroup(int gridSize)
{
    if (m_options.mode == Mode::Pattern)
        findPatternGroup(true, gridSize);
    else
        findGroup(true, gridSize);
}

void Walker::FindPreviousGroup(int gridSize)
{
    if (m_options.mode == Mode::Pattern)
        findPatternGroup(false, gridSize);
    else
        findGroup(false, gridSize);
}

bool Walker::groupInIfcd() const
{
    if (m_options.ifcd.trimmed().isEmpty())
        return true;
    for (const MatchRecord &m : m_group.members) {
        if (!m.NAME.isEmpty()
            && PairTest::IfcdAllows(m_options.ifcd, m_options.treeModeIfcd, m.directoryText(),
                                    m.directoryText())) {
            return true;
        }
    }
    return false;
}

void Walker::findGroup(bool forward, int gridSize)
{
    reread();
    m_view.clearGrid();
    m_group.clear();
    m_found = false;
    m_tolerance = m_options.tolerance;
    for (;;) {
        if (m_found) {
            m_group.members = {m_reference, m_candidate};
            bool lastMatched = true;
            while (m_group.count() < gridSize && lastMatched) {
                moveUntagged(forward);
                if (atEnd(forward)) {
                    if (forward)
                        m_browse->moveLast();
                    else
                        m_browse->moveFirst();
                    break;
                }
                LoadCandidate();
                lastMatched = pairMatches(false);
                if (lastMatched)
                    m_group.members.append(m_candidate);
            }
            // A group stands when one of its files lies in the IFCD.
            if (groupInIfcd())
                return;
            m_view.clearGrid();
            m_group.clear();
            m_found = false;
        }
        LoadReference();
        if (m_reference.RTAG != QLatin1String(" "))
            moveUntagged(forward);
        if (atEnd(forward)) {
            m_view.endReached();
            return;
        }
        LoadReference();
        moveUntagged(forward);
        if (atEnd(forward)) {
            m_view.endReached();
            m_view.clearGrid();
            return;
        }
        LoadCandidate();
        m_found = pairMatches(false);
    }
}

void Walker::findPatternGroup(bool forward, int gridSize)
{
    startPatternSearch();
    m_view.clearGrid();
    m_group.clear();
    for (;;) {
        if (!takePatternReference(forward))
            return;
        BrowseSet &set = m_patterns->set();
        m_group.members = {m_reference};
        while (!m_stopRequested && m_group.count() - 1 < gridSize - 1 && !set.eof()) {
            if (m_view.cancelled())
                return;
            const std::optional<bool> match = testPatternCandidate();
            if (!match)
                continue;
            if (*match)
                m_group.members.append(m_candidate);
            NextPatternCandidate();
        }
        if (m_group.count() > 1 || !set.eof()) {
            m_found = m_group.count() > 1;
            return;
        }
        m_group.clear();
        moveUntagged(forward);
        if (atEnd(forward)) {
            m_view.endReached();
            return;
        }
        LoadReference();
        m_requery = true;
    }
}

// ---- Skip and count ----

void Walker::SkipToNextAlpha()
{
    const char *refusal = nullptr;
    switch (m_options.mode) {
    case Mode::Size: refusal = "SIZE"; break;
    case Mode::Checksum: refusal = "CHECKSUM"; break;
    case Mode::AverageRgb: refusal = "Avg RGB"; break;
    case Mode::QuadRgb: refusal = "Quadrant RGB"; break;
    case Mode::Pattern: refusal = "PATTERN"; break;
    default: break;
    }
    if (refusal) {
        m_view.information(QStringLiteral("Cannot skip to next major alpha in ")
                           + QLatin1String(refusal)
                           + QStringLiteral(" mode (browse sequence not in name order)."));
        return;
    }
    if (m_browse->eof()) {
        m_view.endReached();
        return;
    }
    reread();
    m_view.lockButtons();
    m_view.clearPanes();
    LoadReference();
    if (m_reference.RTAG != QLatin1String(" "))
        NextUntagged();
    if (m_browse->eof()) {
        m_view.endReached();
        m_view.unlockButtons();
        return;
    }
    LoadCandidate();
    // The letter is the first of WHOLEBASE in all three name modes.
    while (m_candidate.WHOLEBASE.left(1) == m_reference.WHOLEBASE.left(1)) {
        NextUntagged();
        if (m_browse->eof()) {
            m_view.endReached();
            m_view.unlockButtons();
            return;
        }
        LoadCandidate();
    }
    m_view.pressNext();
    m_view.unlockButtons();
}

double Walker::CountRecordsLeft()
{
    reread();
    const double from = m_browse->recnum();
    double counted = 0;
    m_browse->moveLast();
    while (!m_browse->bof() && m_browse->recnum() != from) {
        counted += 1;
        m_view.countProgress(counted);
        m_browse->movePrevious();
    }
    return counted;
}
