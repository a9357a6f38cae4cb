// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "browseset.h"
#include "matchoptions.h"

#include <QString>

#include <memory>

class Catalogue;
class PatternIndex;
enum class PatternSource;

// The pattern candidate set of a PATTERN search: for each reference, the rows with the
// candidate mark, another RECNUM and a PXLNUM within the tolerance of the reference's, in
// RECNUM order. Asked of the catalogue, it holds all of them; served from the pattern index,
// it holds only those whose pattern lies within the tolerance, which are the only ones the
// pattern test can pass, so a search meets the same matches in the same order.
class PatternCandidates
{
public:
    PatternCandidates(Catalogue &catalogue, const MatchOptions &options, PatternSource source);
    ~PatternCandidates();

    bool open();
    QString error() const { return m_error; }

    // The set as its window loaded it: every browsed row in RECNUM order. Used until the
    // first query (the pre-match cycle's first reference).
    void initial(const MatchRecord &reference, qint16 tolerance);
    // The candidate query for a reference.
    void query(const MatchRecord &reference, qint16 tolerance);
    bool isQueried() const { return bool(m_set); }
    BrowseSet &set() { return *m_set; }

    // The pre-match cycle marked these rows: later queries leave them out.
    void rowsMarked(const QVector<double> &recnums);

private:
    std::unique_ptr<BrowseSet> fromIndex(const MatchRecord &reference, bool window);
    class LookAhead;

    Catalogue &m_catalogue;
    MatchOptions m_options;
    PatternSource m_source;
    QString m_error;
    std::unique_ptr<PatternIndex> m_index;
    std::unique_ptr<BrowseSet> m_set;
    std::unique_ptr<LookAhead> m_lookAhead;
};
