// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "recordset.h"

#include "catalogue.h"

#include <QSet>

RecordSet::RecordSet(Catalogue *catalogue, QVector<qint64> rowIds)
    : m_catalogue(catalogue), m_rows(std::move(rowIds)), m_pos(0)
{}

void RecordSet::moveFirst()
{
    m_pos = 0;
}

void RecordSet::moveLast()
{
    m_pos = m_rows.isEmpty() ? 0 : count() - 1;
}

void RecordSet::moveNext()
{
    if (m_pos < count())
        ++m_pos;
}

void RecordSet::movePrevious()
{
    if (m_pos >= 0)
        --m_pos;
}

bool RecordSet::eof() const
{
    return m_rows.isEmpty() || m_pos >= count();
}

bool RecordSet::bof() const
{
    return m_rows.isEmpty() || m_pos < 0;
}

bool RecordSet::findFirst(const QString &where, const QVariantList &values)
{
    // One query for every row that satisfies the clause, then the set is walked in its own
    // order: the first row of the set wins, not the first row of the table.
    const std::optional<QVector<qint64>> matching = m_catalogue->rowIds(where, QString(), values);
    if (!matching || matching->isEmpty())
        return false;
    const QSet<qint64> hits(matching->cbegin(), matching->cend());
    for (int i = 0; i < count(); ++i) {
        if (hits.contains(m_rows.at(i))) {
            m_pos = i;
            return true;
        }
    }
    return false;
}

std::optional<qint64> RecordSet::rowId() const
{
    if (bof() || eof())
        return std::nullopt;
    return m_rows.at(m_pos);
}

std::optional<FilesRecord> RecordSet::record() const
{
    const std::optional<qint64> id = rowId();
    return id ? m_catalogue->read(*id) : std::nullopt;
}

QVariant RecordSet::field(const QString &name) const
{
    const std::optional<qint64> id = rowId();
    return id ? m_catalogue->field(*id, name) : QVariant();
}

bool RecordSet::setField(const QString &name, const QVariant &value)
{
    const std::optional<qint64> id = rowId();
    return id && m_catalogue->setField(*id, name, value);
}

bool RecordSet::update(const FilesRecord &record)
{
    const std::optional<qint64> id = rowId();
    return id && m_catalogue->update(*id, record);
}

std::optional<qint64> RecordSet::addNew(const FilesRecord &record)
{
    const std::optional<qint64> id = m_catalogue->insert(record);
    if (id) {
        m_rows.append(*id);
        m_pos = count() - 1;
    }
    return id;
}
