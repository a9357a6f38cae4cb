// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// Finds, among many pattern signatures, every one within a distance of a given pattern: the
// distance the pattern comparison counts (cells that differ, with soft matching the fewest
// over the six orientations). Patterns of 100 cells are kept as 100-bit codes; when two codes
// differ in at most t cells and the cells are dealt into t + 1 blocks, at least one block is
// the same in both, so looking up each block of the pattern finds every code near it without
// comparing against all of them. Patterns in any other form are compared the plain way.
class PatternIndex
{
public:
    struct Code
    {
        std::uint64_t lo = 0; // cells 1 to 64
        std::uint64_t hi = 0; // cells 65 to 100
        bool operator==(const Code &o) const { return lo == o.lo && hi == o.hi; }
    };
    struct Entry
    {
        qint64 rowId = 0;
        double recnum = 0;
        qint16 pxlnum = 0;
    };

    PatternIndex(int tolerance, bool softMatch);

    // Adds a row; rows come in the order the candidates are visited (RECNUM, then row id).
    void add(qint64 rowId, double recnum, const QString &pxlray, qint16 pxlnum, bool marked);
    // Readies the look-ups once every row is added.
    void build();

    int size() const { return int(m_entries.size()); }
    const Entry &entry(int i) const { return m_entries[std::size_t(i)]; }
    // Whether the row of entry i carries the mark "*". Marks only ever go on, so an entry seen
    // marked by one thread stays marked for every other.
    bool isMarked(int i) const { return m_marked[std::size_t(i)].load(std::memory_order_relaxed); }
    // Marks the entries with this RECNUM as marked "*" (the pre-match cycle's U2).
    void setMarked(double recnum);

    // The entries, in the order they were added, whose pattern lies within the tolerance of
    // the reference's pattern text; with unmarkedOnly, only those not marked "*". Safe to call
    // from several threads at once, and while entries are being marked.
    std::vector<int> within(const QString &pxlray, bool unmarkedOnly = false) const;
    // The same for the pattern of entry i.
    std::vector<int> withinEntry(int i, bool unmarkedOnly = false) const;
    // The entry of a row, or -1.
    int entryOfRow(qint64 rowId) const;

    // A 100-cell text of "*" and " " as a code; false for any other text.
    static bool encode(const QString &pxlray, Code *code);
    static QString decode(const Code &code);

private:
    enum class Kind : quint8 { Code, NeverMatches, Other };
    // The codes of one block's buckets, bucket after bucket, so that a look-up reads its
    // bucket's codes in one sweep. Short keys index their buckets directly; long keys (low
    // tolerances) are found by binary search.
#pragma pack(push, 4)
    struct Member
    {
        Code code;
        int group; // the entries with this code: m_groupEntries[m_groupStart[group], ...)
    };
#pragma pack(pop)
    struct Block
    {
        std::vector<Member> members;
        std::vector<std::uint32_t> start;  // direct: bucket k is members[start[k], start[k + 1])
        std::vector<std::uint64_t> keys;   // by search: the key of each member
    };

    std::uint64_t blockKey(const Code &code, int block) const;
    void scan(const QString &pxlray, bool unmarkedOnly, std::vector<int> &out) const;
    void nearCode(const Code &reference, bool unmarkedOnly, std::vector<int> &out) const;
    void lookUp(const Code &turned, int block, bool unmarkedOnly, std::vector<std::uint32_t> &seen,
                std::uint32_t stamp, std::vector<int> &groups) const;
    void others(const QString &pxlray, bool unmarkedOnly, std::vector<int> &out) const;

    int m_tolerance;
    bool m_soft;
    int m_blockCount = 0;
    bool m_useBlocks = false;
    std::vector<Entry> m_entries;
    std::vector<bool> m_markedAtAdd;                 // until build()
    std::unique_ptr<std::atomic<bool>[]> m_marked;   // from build() on
    std::vector<Code> m_codes;
    std::vector<Kind> m_kinds;
    std::vector<int> m_others;        // entries whose text is not a plain 100-cell pattern
    QVector<QString> m_otherTexts;    // their texts, in the order of m_others
    std::vector<int> m_otherSlot;     // per entry: its place in m_others, or -1
    std::vector<std::pair<qint64, int>> m_entryOfRow; // by row id, for look-ups
    std::vector<Block> m_blocks;
    // Entries with the same code form one group, so that a code shared by thousands of
    // pictures (plain skies, blank scans) is compared once. Each group keeps a count of its
    // entries not marked, so that a group the pre-match cycle has marked whole is passed over.
    std::vector<int> m_groupOf;        // per entry of kind Code
    std::vector<int> m_groupStart;     // per group, and one past the last
    std::vector<int> m_groupEntries;   // the entries of each group, in the order added
    std::unique_ptr<std::atomic<int>[]> m_groupUnmarked;
    // Each orientation as where cell k goes, for turning a reference's code.
    std::vector<std::array<int, 100>> m_orientations;
    int m_keyBits = 0; // the longest block key
};
