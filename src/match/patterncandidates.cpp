// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "patterncandidates.h"

#include "catalogue.h"
#include "patternindex.h"
#include "walker.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// Looks up the patterns near the next references on a second thread while the walk reads,
// compares and marks rows on its own: a walk goes through the references in the index's own
// order, so the entries after the current reference are the next ones asked for.
class PatternCandidates::LookAhead
{
public:
    // With unmarkedOnly, rows marked "*" are left out: a row marked by the time it is looked
    // at stays marked.
    LookAhead(const PatternIndex &index, bool unmarkedOnly)
        : m_index(index), m_unmarkedOnly(unmarkedOnly), m_thread([this] { work(); })
    {}
    ~LookAhead()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    std::vector<int> take(int entry)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wanted = entry;
        m_ready.erase(m_ready.begin(), m_ready.lower_bound(entry));
        if (entry < m_cursor && (m_ready.count(entry) || m_busy == entry)) {
            m_changed.wait(lock, [&] { return m_ready.count(entry) > 0; });
            std::vector<int> found = std::move(m_ready[entry]);
            m_ready.erase(entry);
            m_changed.notify_all();
            return found;
        }
        // The walk went elsewhere (backward, or past what was read ahead): start again after
        // this reference, and look this one up here.
        ++m_generation;
        m_ready.clear();
        m_cursor = entry + 1;
        m_changed.notify_all();
        lock.unlock();
        return m_index.withinEntry(entry, m_unmarkedOnly);
    }

private:
    static constexpr int Window = 64;

    void work()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] {
                return m_stop || (m_wanted >= 0 && m_cursor <= m_wanted + Window && m_cursor < m_index.size());
            });
            if (m_stop)
                return;
            const int entry = m_cursor++;
            const quint64 generation = m_generation;
            m_busy = entry;
            lock.unlock();
            std::vector<int> found = m_index.withinEntry(entry, m_unmarkedOnly);
            lock.lock();
            m_busy = -1;
            if (generation == m_generation && entry >= m_wanted)
                m_ready[entry] = std::move(found);
            m_changed.notify_all();
        }
    }

    const PatternIndex &m_index;
    const bool m_unmarkedOnly;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::vector<int>> m_ready;
    int m_wanted = -1;
    int m_cursor = 0;
    int m_busy = -1;
    quint64 m_generation = 0;
    bool m_stop = false;
    std::thread m_thread; // last: starts once the rest is ready
};

PatternCandidates::PatternCandidates(Catalogue &catalogue, const MatchOptions &options,
                                     PatternSource source)
    : m_catalogue(catalogue), m_options(options), m_source(source)
{}

PatternCandidates::~PatternCandidates()
{
    m_lookAhead.reset(); // before the index it reads
}

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
    if (std::thread::hardware_concurrency() > 1)
        m_lookAhead = std::make_unique<LookAhead>(*m_index, m_options.preMatchCycle);
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
    const int entry = m_index->entryOfRow(reference.rowId);
    // The look-ahead serves the queries of a walk; the window's first set is asked for once.
    const std::vector<int> near = entry < 0          ? m_index->within(reference.PXLRAY, unmarkedOnly)
                                  : window && m_lookAhead ? m_lookAhead->take(entry)
                                                     : m_index->withinEntry(entry, unmarkedOnly);
    for (int i : near) {
        const PatternIndex::Entry &e = m_index->entry(i);
        if (window && (e.recnum == reference.RECNUM || e.pxlnum < low || e.pxlnum > high))
            continue;
        if (unmarkedOnly && m_index->isMarked(i))
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
