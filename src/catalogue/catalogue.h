// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "filesrecord.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

class RecordSet;

// An open catalogue database: the table FILES, its index ref, and the only statements by
// which the program changes it in bulk. Every value reaches SQL as a bound parameter.
class Catalogue
{
public:
    Catalogue();
    ~Catalogue();
    Catalogue(const Catalogue &) = delete;
    Catalogue &operator=(const Catalogue &) = delete;

    // Opens an existing catalogue file. Fails (with a message naming the file) when the file
    // is missing, is not a database, or lacks the table FILES; the file is never changed then.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const;
    QString lastError() const;
    QSqlDatabase database() const;

    // Writes an empty catalogue (table FILES and index ref) to path, which must not exist.
    static bool createTemplate(const QString &path, QString *error = nullptr);
    // Makes sure the template exists at templatePath, then copies it to cataloguePath when
    // that is missing. Never overwrites an existing file.
    static bool ensureTemplate(const QString &templatePath, QString *error = nullptr);
    static bool createFromTemplate(const QString &templatePath, const QString &cataloguePath,
                                   QString *error = nullptr);
    // True when the file is a catalogue this program can open (a database with FILES).
    static bool isCatalogue(const QString &path);

    // D1: removes the rows of files deleted from a review.
    bool deleteTagged();
    // D2: removes the rows not seen since before cutoff (YYYYMM).
    bool deleteAccessedBefore(int cutoff);
    // U1: clears every row's marks and copies STAG into REF.
    bool resetMarks();
    // U2: marks the rows with this RECNUM as having a match.
    bool markMatched(double recnum);

    // S1: every row.
    std::unique_ptr<RecordSet> selectAll();
    // S2: the rows of one directory and type not yet marked "X" in this pre-scan.
    std::unique_ptr<RecordSet> selectForReactivation(const QString &driveVolume,
                                                     const QString &path,
                                                     const QString &extension);
    // S3: the row with this RECNUM and whole name.
    std::unique_ptr<RecordSet> selectByRecnumAndName(double recnum, const QString &wholeName);
    // Any other select: a where clause (may be empty) and an order clause (may be empty),
    // with ? placeholders bound from values.
    std::unique_ptr<RecordSet> select(const QString &where, const QString &orderBy = QString(),
                                      const QVariantList &values = {});

    // Seek "=" on the index ref: the row id of one row whose REF equals key.
    std::optional<qint64> seekRef(const QString &key);

    // Row access by row id.
    std::optional<FilesRecord> read(qint64 rowId) const;
    std::optional<qint64> insert(const FilesRecord &record);
    bool update(qint64 rowId, const FilesRecord &record);
    bool setField(qint64 rowId, const QString &field, const QVariant &value);
    QVariant field(qint64 rowId, const QString &field) const;
    qint64 rowCount() const;

    // Runs fn inside one transaction; commits when fn returns true, rolls back otherwise.
    bool transaction(const std::function<bool()> &fn);

    // Copies the open catalogue into a compacted file at targetPath (which must not exist).
    bool compactInto(const QString &targetPath);

private:
    bool exec(const QString &sql, const QVariantList &values = {});

    QString m_connection;
    QString m_path;
    mutable QString m_error;
};
