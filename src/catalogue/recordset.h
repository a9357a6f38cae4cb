// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "filesrecord.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include <optional>

class Catalogue;

// An ordered list of rows of FILES, fixed when its query ran. Fields are read from the
// database when asked for, so a change made through another record set is seen at once.
// A new set stands on its first row; an empty set is at BOF and EOF at once.
class RecordSet
{
public:
    RecordSet(Catalogue *catalogue, QVector<qint64> rowIds);

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }

    void moveFirst();
    void moveLast();
    void moveNext();     // past the last row: EOF
    void movePrevious(); // before the first row: BOF
    bool eof() const;
    bool bof() const;
    int position() const { return m_pos; } // -1 before the first row, count() after the last

    // Moves to the first row of the set (from the start) that also satisfies the where clause;
    // false (and the position unchanged) when there is none.
    bool findFirst(const QString &where, const QVariantList &values = {});

    // The current row's id; nothing at BOF/EOF.
    std::optional<qint64> rowId() const;
    // The current row's contents; nothing at BOF/EOF or when the row was deleted meanwhile.
    std::optional<FilesRecord> record() const;
    QVariant field(const QString &name) const;
    bool setField(const QString &name, const QVariant &value);
    bool update(const FilesRecord &record);
    // Adds a row to the table and to the end of this set, and makes it current.
    std::optional<qint64> addNew(const FilesRecord &record);

private:
    Catalogue *m_catalogue;
    QVector<qint64> m_rows;
    int m_pos = -1;
};
