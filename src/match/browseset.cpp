// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "browseset.h"

#include "catalogue.h"
#include "matchoptions.h"

namespace {

// Rows read at a time. A walk reads each block once; the last two blocks stay, so a walk that
// turns back finds its rows still there.
constexpr int BlockRows = 256;

} // namespace

BrowseSet::BrowseSet(Catalogue &catalogue, QVector<qint64> rowIds)
    : m_catalogue(catalogue), m_rows(std::move(rowIds))
{}

std::unique_ptr<BrowseSet> BrowseSet::open(Catalogue &catalogue, const MatchOptions &options,
                                           QString *error)
{
    return select(catalogue, options.browseWhere(), options.browseOrder(), options.browseValues(),
                  error);
}

std::unique_ptr<BrowseSet> BrowseSet::select(Catalogue &catalogue, const QString &where,
                                             const QString &orderBy, const QVariantList &values,
                                             QString *error)
{
    std::optional<QVector<qint64>> rows = catalogue.rowIds(where, orderBy, values);
    if (!rows) {
        if (error)
            *error = catalogue.lastError();
        return nullptr;
    }
    return std::make_unique<BrowseSet>(catalogue, std::move(*rows));
}

bool BrowseSet::findFirstRecnum(double recnum)
{
    // The rows holding the number come from the index on RECNUM; the first of them in the
    // set's own order wins.
    const std::optional<QVector<qint64>> hits =
        m_catalogue.rowIds(QStringLiteral("RECNUM = ?"), QString(), {recnum});
    if (!hits || hits->isEmpty())
        return false;
    for (int i = 0; i < count(); ++i) {
        if (hits->contains(m_rows.at(i))) {
            m_pos = i;
            return true;
        }
    }
    return false;
}

std::optional<qint64> BrowseSet::rowId() const
{
    if (bof() || eof())
        return std::nullopt;
    return m_rows.at(m_pos);
}

const MatchRecord *BrowseSet::load(int position)
{
    const qint64 id = m_rows.at(position);
    auto it = m_cache.constFind(id);
    if (it != m_cache.constEnd())
        return &it.value();

    // Read the block around the position in the direction the walk last went, so that a walk
    // in either direction reads each row once.
    const bool backward = m_lastBlockStart >= 0 && position < m_lastBlockStart;
    const int first = backward ? qMax(0, position - BlockRows + 1) : position;
    const int last = qMin(count(), first + BlockRows);
    if (m_cache.size() > 2 * BlockRows)
        m_cache.clear();
    m_lastBlockStart = first;
    const QVector<qint64> ids = m_rows.mid(first, last - first);
    m_catalogue.readRows(ids, [this](qint64 rowId, FilesRecord &&row) {
        m_cache.insert(rowId, MatchRecord::fromRow(rowId, row));
    });
    it = m_cache.constFind(id);
    return it == m_cache.constEnd() ? nullptr : &it.value();
}

MatchRecord BrowseSet::record()
{
    if (bof() || eof())
        return MatchRecord();
    const MatchRecord *r = load(m_pos);
    return r ? *r : MatchRecord();
}

QString BrowseSet::rtag()
{
    if (bof() || eof())
        return QString();
    const MatchRecord *r = load(m_pos);
    return r ? r->RTAG : QString();
}

double BrowseSet::recnum()
{
    if (bof() || eof())
        return 0;
    const MatchRecord *r = load(m_pos);
    return r ? r->RECNUM : 0;
}
