// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "matchrecord.h"

#include <QHash>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <memory>
#include <optional>

class Catalogue;
struct MatchOptions;

// The rows a search walks, in the browse order of its mode: the row ids are fixed when the
// query runs; the fields are read from the catalogue when a row is loaded, a block of rows
// at a time, so a walk over a million rows reads them about as fast as the query itself.
// Rows changed through another path (a file deleted, moved or renamed from the review) are
// read afresh after refresh().
class BrowseSet
{
public:
    BrowseSet(Catalogue &catalogue, QVector<qint64> rowIds);

    // The browse query of the options; nothing (and error set) when it fails.
    static std::unique_ptr<BrowseSet> open(Catalogue &catalogue, const MatchOptions &options,
                                           QString *error = nullptr);
    // Any query on FILES, with bound values (the pattern candidate sets of the design).
    static std::unique_ptr<BrowseSet> select(Catalogue &catalogue, const QString &where,
                                             const QString &orderBy, const QVariantList &values,
                                             QString *error = nullptr);

    int count() const { return int(m_rows.size()); }
    int position() const { return m_pos; } // -1 before the first row, count() after the last
    bool eof() const { return m_rows.isEmpty() || m_pos >= count(); }
    bool bof() const { return m_rows.isEmpty() || m_pos < 0; }
    void moveFirst() { m_pos = 0; }
    void moveLast() { m_pos = m_rows.isEmpty() ? 0 : count() - 1; }
    void moveNext()
    {
        if (m_pos < count())
            ++m_pos;
    }
    void movePrevious()
    {
        if (m_pos >= 0)
            --m_pos;
    }
    // Moves to the first row of the set whose RECNUM is recnum; false, not moving, when none.
    bool findFirstRecnum(double recnum);

    std::optional<qint64> rowId() const;
    // The current row as a match record; an empty record at BOF/EOF or when the row is gone.
    MatchRecord record();
    // The current row's RTAG (" " or "D"); empty at BOF/EOF.
    QString rtag();
    double recnum();

    // Forgets the fields read so far, so the next loads see changes made elsewhere.
    void refresh() { m_cache.clear(); }

private:
    const MatchRecord *load(int position);

    Catalogue &m_catalogue;
    QVector<qint64> m_rows;
    int m_pos = 0;
    int m_lastBlockStart = -1;
    QHash<qint64, MatchRecord> m_cache; // by row id, the blocks read last
};
