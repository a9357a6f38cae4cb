// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "patterncandidates.h"

#include "catalogue.h"
#include "patternindex.h"
#include "walker.h"

PatternCandidates::PatternCandidates(Catalogue &catalogue, const MatchOptions &options,
                                     PatternSource source)
    : m_catalogue(catalogue), m_options(options), m_source(source)
{}

PatternCandidates::~PatternCandidates() = default;

bool PatternCandidates::open()
{
    if (m_source != PatternSource::Index)
        return true;
    m_index = std::make_unique<PatternIndex>(m_options.tolerance, m_options.softMatch);
    const bool read = m_catalogue.forEachRow(
        QStringLiteral("RECNUM, PXLRAY, PXLNUM, ACTIVE"), m_options.browseWhere(),
        QStringLiteral("RECNUM"), m_options.browseValues(),
        [this](qint64 rowId, const QVariantList &f) {
            m_index->add(rowId, f[0].toDouble(), f[1].toString(), qint16(f[2].toInt()),
                         f[3].toString() == QLatin1String("*"));
            return true;
        });
    if (!read) {
        m_error = m_catalogue.lastError();
        return false;
    }
    m_index->build();
    return true;
}

std::unique_ptr<BrowseSet> PatternCandidates::fromIndex(const MatchRecord &reference, bool window)
{
    // In the pre-match cycle rows marked "*" are no longer candidates once the set is asked
    // for again; a review's rows all carry its own mark.
    const bool unmarkedOnly = window && m_options.preMatchCycle;
    const int low = reference.PXLNUM - m_options.tolerance;
    const int high = reference.PXLNUM + m_options.tolerance;
    QVector<qint64> rows;
    for (int i : m_index->within(reference.PXLRAY)) {
        const PatternIndex::Entry &e = m_index->entry(i);
        if (window && (e.recnum == reference.RECNUM || e.pxlnum < low || e.pxlnum > high))
            continue;
        if (unmarkedOnly && e.marked)
            continue;
        rows.append(e.rowId);
    }
    return std::make_unique<BrowseSet>(m_catalogue, std::move(rows));
}

void PatternCandidates::initial(const MatchRecord &reference, qint16 tolerance)
{
    Q_UNUSED(tolerance)
    if (m_source == PatternSource::Index) {
        m_set = fromIndex(reference, false);
    } else {
        m_set = BrowseSet::select(m_catalogue, m_options.browseWhere(), QStringLiteral("RECNUM"),
                                  m_options.browseValues(), &m_error);
    }
    if (!m_set)
        m_set = std::make_unique<BrowseSet>(m_catalogue, QVector<qint64>());
}

void PatternCandidates::query(const MatchRecord &reference, qint16 tolerance)
{
    if (m_source == PatternSource::Index) {
        m_set = fromIndex(reference, true);
        return;
    }
    const QString mark = m_options.preMatchCycle ? QStringLiteral("X") : m_options.activeMark;
    m_set = BrowseSet::select(
        m_catalogue,
        QStringLiteral("ACTIVE = ? AND RECNUM <> ? AND PXLNUM >= ? AND PXLNUM <= ?"),
        QStringLiteral("RECNUM"),
        {mark, reference.RECNUM, int(reference.PXLNUM) - tolerance,
         int(reference.PXLNUM) + tolerance},
        &m_error);
    if (!m_set)
        m_set = std::make_unique<BrowseSet>(m_catalogue, QVector<qint64>());
}

void PatternCandidates::rowsMarked(const QVector<double> &recnums)
{
    if (!m_index)
        return;
    for (double n : recnums)
        m_index->setMarked(n);
}
