// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "patternindex.h"

#include "orientation.h"
#include "patternsig.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int Cells = 100;
// Above this tolerance the blocks get so short that most patterns share one; comparing every
// pattern is then quicker.
constexpr int MaxBlockTolerance = 15;
// Blocks with keys of at most this many bits find their bucket by the key itself.
constexpr int DirectKeyBits = 22;

bool cellSet(const PatternIndex::Code &c, int k)
{
    return k < 64 ? (c.lo >> k) & 1u : (c.hi >> (k - 64)) & 1u;
}

void setCell(PatternIndex::Code &c, int k)
{
    if (k < 64)
        c.lo |= std::uint64_t(1) << k;
    else
        c.hi |= std::uint64_t(1) << (k - 64);
}

// Texts whose distance to anything is 999: too short, or the too-small text.
bool neverComparable(const QString &pxlray)
{
    return pxlray.size() < 3 || pxlray == Pattern::tooSmallText();
}

int popcount(const PatternIndex::Code &a, const PatternIndex::Code &b)
{
    return __builtin_popcountll(a.lo ^ b.lo) + __builtin_popcountll(a.hi ^ b.hi);
}

} // namespace

PatternIndex::PatternIndex(int tolerance, bool softMatch) : m_tolerance(tolerance), m_soft(softMatch)
{
    // The comparison counts cells k where P[k] differs from Q[moved(k)]. Moving the
    // reference's cells the same way instead gives the same count: a reference turned so that
    // its cell k lands on moved(k) is compared with the candidate as it stands.
    if (m_soft) {
        Orientation::BuildOrientationTable();
        const Orientation::Table &table = Orientation::table();
        for (int o = 0; o < Orientation::Columns; ++o) {
            std::array<int, 100> moved{};
            for (int k = 0; k < Cells; ++k)
                moved[std::size_t(k)] = table[std::size_t(k)][std::size_t(o)] - 1;
            m_orientations.push_back(moved);
        }
    } else {
        std::array<int, 100> same{};
        std::iota(same.begin(), same.end(), 0);
        m_orientations.push_back(same);
    }
    m_useBlocks = tolerance >= 0 && tolerance <= MaxBlockTolerance;
    // At least two blocks, so each key fits in 64 bits.
    m_blockCount = m_useBlocks ? std::max(tolerance + 1, 2) : 0;
}

bool PatternIndex::encode(const QString &pxlray, Code *code)
{
    if (pxlray.size() != Cells)
        return false;
    Code c;
    const QChar *p = pxlray.constData();
    for (int k = 0; k < Cells; ++k) {
        if (p[k] == QLatin1Char('*'))
            setCell(c, k);
        else if (p[k] != QLatin1Char(' '))
            return false;
    }
    *code = c;
    return true;
}

QString PatternIndex::decode(const Code &code)
{
    QString text(Cells, QLatin1Char(' '));
    for (int k = 0; k < Cells; ++k) {
        if (cellSet(code, k))
            text[k] = QLatin1Char('*');
    }
    return text;
}

void PatternIndex::add(qint64 rowId, double recnum, const QString &pxlray, qint16 pxlnum, bool marked)
{
    const int i = int(m_entries.size());
    m_entries.push_back(Entry{rowId, recnum, pxlnum});
    m_markedAtAdd.push_back(marked);
    m_entryOfRow.emplace_back(rowId, i);
    m_otherSlot.push_back(-1);
    Code code;
    if (encode(pxlray, &code)) {
        m_codes.push_back(code);
        m_kinds.push_back(Kind::Code);
        return;
    }
    m_codes.push_back(Code{});
    // Texts that can never be compared give the distance 999, which no tolerance below it
    // reaches; every other text is compared the plain way.
    if (neverComparable(pxlray) && m_tolerance < Pattern::NotComparable) {
        m_kinds.push_back(Kind::NeverMatches);
    } else {
        m_kinds.push_back(Kind::Other);
        m_otherSlot.back() = int(m_others.size());
        m_others.push_back(i);
        m_otherTexts.append(pxlray);
    }
}

std::uint64_t PatternIndex::blockKey(const Code &code, int block) const
{
    // Cells are dealt round-robin, so each block samples the whole picture.
    std::uint64_t key = 0;
    int bit = 0;
    for (int k = block; k < Cells; k += m_blockCount, ++bit) {
        if (cellSet(code, k))
            key |= std::uint64_t(1) << bit;
    }
    return key;
}

void PatternIndex::build()
{
    std::sort(m_entryOfRow.begin(), m_entryOfRow.end());
    m_marked = std::make_unique<std::atomic<bool>[]>(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_marked[i].store(m_markedAtAdd[i], std::memory_order_relaxed);
    m_markedAtAdd = std::vector<bool>();

    // The groups of entries with one code, each group's entries in the order added.
    std::vector<int> byCode;
    for (int i = 0; i < size(); ++i) {
        if (m_kinds[std::size_t(i)] == Kind::Code)
            byCode.push_back(i);
    }
    std::stable_sort(byCode.begin(), byCode.end(), [this](int a, int b) {
        const Code &x = m_codes[std::size_t(a)], &y = m_codes[std::size_t(b)];
        return x.hi != y.hi ? x.hi < y.hi : x.lo < y.lo;
    });
    m_groupOf.assign(m_entries.size(), -1);
    m_groupStart.clear();
    m_groupEntries = byCode;
    std::vector<int> leaders; // the first entry of each group
    for (std::size_t k = 0; k < byCode.size(); ++k) {
        const int i = byCode[k];
        if (k == 0 || !(m_codes[std::size_t(i)] == m_codes[std::size_t(byCode[k - 1])])) {
            m_groupStart.push_back(int(k));
            leaders.push_back(i);
        }
        m_groupOf[std::size_t(i)] = int(m_groupStart.size()) - 1;
    }
    m_groupStart.push_back(int(byCode.size()));
    m_groupUnmarked = std::make_unique<std::atomic<int>[]>(leaders.size());
    for (std::size_t g = 0; g < leaders.size(); ++g) {
        int unmarked = 0;
        for (int k = m_groupStart[g]; k < m_groupStart[g + 1]; ++k)
            unmarked += isMarked(m_groupEntries[std::size_t(k)]) ? 0 : 1;
        m_groupUnmarked[g].store(unmarked, std::memory_order_relaxed);
    }

    if (!m_useBlocks)
        return;
    m_keyBits = (Cells + m_blockCount - 1) / m_blockCount;
    const bool direct = m_keyBits <= DirectKeyBits;
    m_blocks.assign(std::size_t(m_blockCount), Block());
    std::vector<std::pair<std::uint64_t, int>> pairs;
    for (int b = 0; b < m_blockCount; ++b) {
        pairs.clear();
        for (std::size_t g = 0; g < leaders.size(); ++g)
            pairs.emplace_back(blockKey(m_codes[std::size_t(leaders[g])], b), int(g));
        std::sort(pairs.begin(), pairs.end());
        Block &block = m_blocks[std::size_t(b)];
        block.members.reserve(pairs.size());
        for (const auto &p : pairs)
            block.members.push_back(Member{m_codes[std::size_t(leaders[std::size_t(p.second)])], p.second});
        if (direct) {
            block.start.assign((std::size_t(1) << m_keyBits) + 1, 0);
            for (const auto &p : pairs)
                ++block.start[std::size_t(p.first) + 1];
            for (std::size_t k = 1; k < block.start.size(); ++k)
                block.start[k] += block.start[k - 1];
        } else {
            block.keys.reserve(pairs.size());
            for (const auto &p : pairs)
                block.keys.push_back(p.first);
        }
    }
}

int PatternIndex::entryOfRow(qint64 rowId) const
{
    const auto it = std::lower_bound(m_entryOfRow.begin(), m_entryOfRow.end(),
                                     std::make_pair(rowId, -1));
    return it != m_entryOfRow.end() && it->first == rowId ? it->second : -1;
}

std::vector<int> PatternIndex::withinEntry(int i, bool unmarkedOnly) const
{
    std::vector<int> out;
    switch (m_kinds[std::size_t(i)]) {
    case Kind::Code:
        nearCode(m_codes[std::size_t(i)], unmarkedOnly, out);
        break;
    case Kind::Other:
        return within(m_otherTexts[m_otherSlot[std::size_t(i)]], unmarkedOnly);
    case Kind::NeverMatches:
        break;
    }
    return out;
}

void PatternIndex::setMarked(double recnum)
{
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), recnum,
                               [](const Entry &e, double n) { return e.recnum < n; });
    for (; it != m_entries.end() && it->recnum == recnum; ++it) {
        const std::size_t i = std::size_t(it - m_entries.begin());
        if (m_marked[i].exchange(true, std::memory_order_relaxed))
            continue;
        if (m_groupOf[i] >= 0)
            m_groupUnmarked[std::size_t(m_groupOf[i])].fetch_sub(1, std::memory_order_relaxed);
    }
}

void PatternIndex::scan(const QString &pxlray, bool unmarkedOnly, std::vector<int> &out) const
{
    // The plain comparison against every pattern, for references that are not a plain
    // 100-cell pattern and for tolerances too large for the blocks.
    for (int i = 0; i < size(); ++i) {
        const Kind kind = m_kinds[std::size_t(i)];
        if (kind == Kind::NeverMatches || (unmarkedOnly && isMarked(i)))
            continue;
        const QString text = kind == Kind::Code ? decode(m_codes[std::size_t(i)])
                                                : m_otherTexts[m_otherSlot[std::size_t(i)]];
        if (PatternDistance(pxlray, text, m_soft) <= m_tolerance)
            out.push_back(i);
    }
}

// The comparisons run on the processor's population count where it has one.
#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target_clones("popcnt", "default")))
#endif
void PatternIndex::lookUp(const Code &t, int block, bool unmarkedOnly,
                          std::vector<std::uint32_t> &seen, std::uint32_t stamp,
                          std::vector<int> &groups) const
{
    const Block &b = m_blocks[std::size_t(block)];
    const std::uint64_t key = blockKey(t, block);
    std::size_t first, last;
    if (!b.start.empty()) {
        first = b.start[std::size_t(key)];
        last = b.start[std::size_t(key) + 1];
    } else {
        const auto range = std::equal_range(b.keys.begin(), b.keys.end(), key);
        first = std::size_t(range.first - b.keys.begin());
        last = std::size_t(range.second - b.keys.begin());
    }
    const int tolerance = m_tolerance;
    for (std::size_t m = first; m < last; ++m) {
        const Member &member = b.members[m];
        if (popcount(t, member.code) > tolerance)
            continue;
        // A code near the reference under several orientations, or found through several
        // blocks, is listed once.
        std::uint32_t &mark = seen[std::size_t(member.group)];
        if (mark == stamp)
            continue;
        mark = stamp;
        if (!unmarkedOnly || m_groupUnmarked[std::size_t(member.group)].load(std::memory_order_relaxed) > 0)
            groups.push_back(member.group);
    }
}

void PatternIndex::nearCode(const Code &reference, bool unmarkedOnly, std::vector<int> &out) const
{
    // The reference turned each way, compared with the candidates as they stand.
    std::array<Code, 8> turned;
    const std::size_t turns = m_orientations.size();
    for (std::size_t o = 0; o < turns; ++o) {
        const auto &moved = m_orientations[o];
        Code t;
        for (int k = 0; k < Cells; ++k) {
            if (cellSet(reference, k))
                setCell(t, moved[std::size_t(k)]);
        }
        turned[o] = t;
    }

    if (!m_useBlocks) {
        for (int i = 0; i < size(); ++i) {
            if (m_kinds[std::size_t(i)] != Kind::Code || (unmarkedOnly && isMarked(i)))
                continue;
            for (std::size_t o = 0; o < turns; ++o) {
                if (popcount(turned[o], m_codes[std::size_t(i)]) <= m_tolerance) {
                    out.push_back(i);
                    break;
                }
            }
        }
    } else {
        // Each thread keeps a stamp per group: a group is listed when its stamp is not this
        // look-up's, which spares sorting the same group found many times.
        thread_local std::vector<std::uint32_t> seen;
        thread_local std::uint32_t stamp = 0;
        thread_local std::vector<int> groups;
        const std::size_t groupCount = m_groupStart.size() - 1;
        if (seen.size() < groupCount)
            seen.resize(groupCount, 0);
        if (++stamp == 0) {
            std::fill(seen.begin(), seen.end(), 0);
            stamp = 1;
        }
        groups.clear();
        for (std::size_t o = 0; o < turns; ++o) {
            for (int b = 0; b < m_blockCount; ++b)
                lookUp(turned[o], b, unmarkedOnly, seen, stamp, groups);
        }
        for (int g : groups) {
            for (int k = m_groupStart[std::size_t(g)]; k < m_groupStart[std::size_t(g) + 1]; ++k) {
                const int i = m_groupEntries[std::size_t(k)];
                if (!unmarkedOnly || !isMarked(i))
                    out.push_back(i);
            }
        }
    }
    if (!m_others.empty())
        others(decode(reference), unmarkedOnly, out);
    std::sort(out.begin(), out.end());
}

// Patterns in another form are compared the plain way.
void PatternIndex::others(const QString &pxlray, bool unmarkedOnly, std::vector<int> &out) const
{
    for (int n = 0; n < int(m_others.size()); ++n) {
        const int i = m_others[std::size_t(n)];
        if (!(unmarkedOnly && isMarked(i)) && PatternDistance(pxlray, m_otherTexts[n], m_soft) <= m_tolerance)
            out.push_back(i);
    }
}

std::vector<int> PatternIndex::within(const QString &pxlray, bool unmarkedOnly) const
{
    std::vector<int> out;
    Code reference;
    if (encode(pxlray, &reference)) {
        nearCode(reference, unmarkedOnly, out);
    } else if (!neverComparable(pxlray) || m_tolerance >= Pattern::NotComparable) {
        scan(pxlray, unmarkedOnly, out);
        std::sort(out.begin(), out.end());
    }
    return out;
}
