// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "filesrecord.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QHash>
#include <QVariantList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class RecordSet;

// The pre-scan's look-up table for one run: the row ids of every row with a non-empty REF, by
// REF. Taking an id from it stands for clearing that row's REF, so each row is found once.
// Keys are kept as their UTF-8 bytes in one block, found by a hash of those bytes and compared
// whole only where the hash agrees: a search looks up every file of the list here. Files are
// mostly met in the order their rows were made, so the key after the last one taken is tried
// first, without hashing.
class RefTable
{
public:
    void reserve(qsizetype rows);
    // Rows are added in rising row id order.
    void add(QByteArrayView utf8Ref, qint64 rowId);
    void add(const QString &ref, qint64 rowId);
    // The lowest row id left under ref, taken out of the table; nothing when none is left.
    std::optional<qint64> take(QByteArrayView utf8Ref);
    std::optional<qint64> take(const QString &ref);
    // Rows left.
    qsizetype size() const { return m_left; }

private:
    struct Key
    {
        size_t hash;
        qsizetype offset, length; // of its bytes in m_bytes
        qint32 first, last;       // its rows left, lowest first, linked through m_next
    };
    qint32 find(QByteArrayView utf8Ref, size_t hash) const; // index into m_keys, or -1
    bool holds(const Key &key, QByteArrayView utf8Ref) const;
    void grow();
    QByteArrayView utf8(const QString &ref);

    QByteArray m_bytes;           // every key's bytes, one after the other
    std::vector<Key> m_keys;
    std::vector<qint32> m_slots;  // open addressing over m_keys, -1 where free
    std::vector<qint64> m_rowIds; // one per row added
    std::vector<qint32> m_next;   // the next row under the same key, -1 after the last
    qsizetype m_left = 0;
    qint32 m_lastKey = -1;        // the key taken last
    QByteArray m_scratch;         // a QString key in UTF-8
};

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
    // is missing, is not a database, lacks the table FILES, is damaged (every page is checked)
    // or cannot be written; the file is never changed then. The pages are not walked again
    // when the file is exactly as a clean close left it (see checkedRecord).
    bool open(const QString &path);
    // Whether the last open walked every page.
    bool wasChecked() const { return m_checked; }
    // The small file beside a catalogue that a clean close writes: what the file system says
    // of the catalogue file (device, file number, length, change times) just after the close.
    // Opening removes it before anything is written.
    static QString checkedRecord(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const;
    QString lastError() const;
    QSqlDatabase database() const;

    // Writes an empty catalogue (table FILES and index ref) to path, which must not exist.
    // The file is made in rollback-journal mode, so it is one file that can be copied.
    static bool createTemplate(const QString &path, QString *error = nullptr);
    // Creates the template at templatePath when it is missing. A file already there is kept:
    // true when it is a catalogue, an error when it is anything else.
    static bool ensureTemplate(const QString &templatePath, QString *error = nullptr);
    // Copies the template to cataloguePath when that is missing (true at once when it exists).
    // Fails when the template is missing or is not a catalogue. Never overwrites a file.
    static bool createFromTemplate(const QString &templatePath, const QString &cataloguePath,
                                   QString *error = nullptr);
    // True when the file is a catalogue this program can open (a database with FILES and all
    // its fields, undamaged, that can be written). The file is not changed.
    static bool isCatalogue(const QString &path, QString *error = nullptr);
    // Why the catalogue file cannot be written (read-only file, log or folder); empty when it
    // can. Checked before the database engine touches the file.
    static QString writeProblem(const QString &path);
    // Renames a damaged catalogue to the first free name of path + ".damaged", ".damaged2" ...
    // with its log beside it, and returns that name (empty on failure, with *error set).
    static QString setAside(const QString &path, QString *error = nullptr);

    // Failed statements since the catalogue was opened, and the SQLite result code of the last.
    int failures() const { return m_failures; }
    int lastErrorCode() const { return m_errorCode; }
    // True once SQLite has reported the file as damaged; nothing is written to it after that.
    bool isDamaged() const { return m_damaged; }

    // The fields of FILES in table order, and the table's own spelling of a field name given
    // in any case (empty when there is no such field).
    static const QStringList &fieldNames();
    static QString canonicalField(const QString &name);

    // D1: removes the rows of files deleted from a review.
    bool deleteTagged();
    // D2: removes the rows not seen since before cutoff (YYYYMM).
    bool deleteAccessedBefore(int cutoff);
    // D1 and D2 in one pass over the table, which each of them reads whole.
    bool deleteTaggedAndAccessedBefore(int cutoff);
    // U1: clears every row's marks and copies STAG into REF.
    bool resetMarks();
    // U2: marks the rows with this RECNUM as having a match.
    bool markMatched(double recnum);

    // S1: every row.
    std::unique_ptr<RecordSet> selectAll();
    // S2: the rows of one directory and type not yet marked "X" in this pre-scan.
    std::unique_ptr<RecordSet> selectForReactivation(const QString &driveVolume,
                                                     const QString &path, const QString &extension);
    // S3: the row with this RECNUM and whole name.
    std::unique_ptr<RecordSet> selectByRecnumAndName(double recnum, const QString &wholeName);
    // Any other select: a where clause (may be empty) and an order clause (may be empty, or
    // start with "order by"), with ? placeholders bound from values. Both clauses are program
    // text, never user data. Rows that tie on the order stay in row-id order.
    // The selects return nullptr (and set lastError) when the query fails. A record set
    // must not outlive its catalogue.
    std::unique_ptr<RecordSet> select(const QString &where, const QString &orderBy = QString(),
                                      const QVariantList &values = {});
    // The row ids such a select finds, or nothing when the query fails.
    std::optional<QVector<qint64>> rowIds(const QString &where, const QString &orderBy = QString(),
                                          const QVariantList &values = {}) const;

    // Reads many rows by row id at once (the matching engine loads the browse order a block
    // at a time): fn gets each row found, in no particular order. Ids of rows that do not
    // exist are passed over.
    bool readRows(const QVector<qint64> &rowIds,
                  const std::function<void(qint64 rowId, FilesRecord &&row)> &fn) const;

    // Streams the row id and the named fields (a comma-separated list of field names, program
    // text) of the rows a select finds, in its order, without keeping them: fn gets the row id
    // and the field values in the order named, and returns false to stop early.
    bool forEachRow(const QString &fields, const QString &where, const QString &orderBy,
                    const QVariantList &values,
                    const std::function<bool(qint64 rowId, const QVariantList &fields)> &fn) const;

    // U2 for many rows at once: marks the rows with these RECNUMs as having a match, in one
    // transaction.
    bool markMatched(const QVector<double> &recnums);

    // Seek "=" on the index ref: the row id of one row whose REF equals key (exactly, case
    // included), the lowest such row id when there are several.
    std::optional<qint64> seekRef(const QString &key);

    // The pre-scan sets the indexes ref and recnum aside while it changes every row's REF and
    // RECNUM twice, and restores them at its end. Opening a catalogue restores them too, after
    // a crash.
    bool setIndexesAside();
    bool restoreIndexes();

    // The highest RECNUM of any row (0 for none).
    double highestRecnum() const;
    // Puts the rows numbered above recnum back as the start of a pre-scan leaves them: not
    // marked, RECNUM 0, REF = STAG.
    bool unmarkAfter(double recnum);

    // The pre-scan's look-up table: every row with a non-empty REF.
    RefTable refTable() const;
    // The signature fields of a row (CHECKSUM, X, Y, XYRATIO, RGB, QRGB, SOFTRGB, SOFTQRGB,
    // PXLRAY, PXLNUM); the other fields of the result are left at their defaults.
    std::optional<FilesRecord> readSignatures(qint64 rowId) const;
    // Writes what a pre-scan changes on a row it finds again: RECNUM, REF, ACTIVE, ACCESSED,
    // DRIVEVOLUME, PATH, DISKNAME and STAG, and with signatures also the signature fields.
    bool markSeen(qint64 rowId, const FilesRecord &record, bool withSignatures);

    // markSeen for many rows of one directory at once, without new signatures: each row gets
    // its RECNUM, REF '', ACTIVE 'X' and ACCESSED, and its location, name on disk and key.
    // A stretch of rows whose ids and numbers both rise by one, as a directory listed in the
    // same order as before gives, is checked and marked by one statement each when its rows
    // are still where they were and hold the same names, as they mostly are.
    struct SeenRow
    {
        qint64 rowId;
        double recnum;
        QString diskName;
        QString stag;
    };
    bool markSeenMany(const QVector<SeenRow> &rows, const QString &driveVolume,
                      const QString &path, double accessed);

    // Row access by row id. Texts are kept whole except ACTIVE and RTAG, cut to 1 character;
    // DATE is kept as local "yyyy-MM-dd hh:mm:ss" text. read() and
    // field() give nothing for a row that does not exist; update() and setField() fail then.
    // Field names are matched without regard to case; an unknown name fails.
    std::optional<FilesRecord> read(qint64 rowId) const;
    std::optional<qint64> insert(const FilesRecord &record);
    bool update(qint64 rowId, const FilesRecord &record);
    bool setField(qint64 rowId, const QString &field, const QVariant &value);
    QVariant field(qint64 rowId, const QString &field) const;
    qint64 rowCount() const;

    // Sizes the page cache of this connection for walks over a large catalogue (a search
    // reads every row, in an order other than the file's).
    void useLargeCache();

    // Runs fn inside one transaction; commits when fn returns true, rolls back otherwise.
    // A transaction started inside fn joins the outer one; if it fails the whole is rolled
    // back. Returns true when the work was committed.
    bool transaction(const std::function<bool()> &fn);

    // Copies the open catalogue into a compacted file at targetPath (which must not exist).
    bool compactInto(const QString &targetPath);

private:
    struct Statements;

    bool exec(const QString &sql, const QVariantList &values = {});
    std::unique_ptr<RecordSet> makeSet(const QString &where, const QString &orderBy,
                                       const QVariantList &values);
    bool fail(const QString &what, const QString &detail, int code = 0) const;
    // True (with the failure counted) when nothing may be written: no catalogue is open, or
    // it is damaged.
    bool refuseWrite() const;

    QString m_connection;
    QString m_path;
    mutable QString m_error;
    std::unique_ptr<Statements> m_statements; // prepared once per open catalogue
    mutable int m_failures = 0;
    mutable int m_errorCode = 0;
    mutable bool m_damaged = false;
    bool m_checked = false;
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
};
