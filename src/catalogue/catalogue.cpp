// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "catalogue.h"

#include "identitykey.h"
#include "recordset.h"
#include "safefile.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlDriver>

#include <sqlite3.h>

#include <cstdio>
#include <QSqlRecord>
#include <QTemporaryFile>

#include <array>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcCatalogue, "vexa.catalogue")

const QString Driver = QStringLiteral("QSQLITE");
// Names and paths are kept whole, however long: a path cut short would name another folder.
constexpr int Unlimited = 0;

// The index ref holds only the rows with a key to look up: after a pre-scan nearly every REF
// is empty, and an index of empty texts would cost its whole size to build for nothing.
QString refIndexSql()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ref ON FILES (REF) WHERE REF <> ''");
}

enum class Kind { Real, Small, Text, Date };

// One field of FILES: its name, how it is stored and where it lives in a FilesRecord.
struct Column
{
    const char *name;
    Kind kind;
    int width; // characters, for texts
    double FilesRecord::*real;
    qint16 FilesRecord::*small;
    QString FilesRecord::*text;
    QDateTime FilesRecord::*date;
};

constexpr Column real(const char *name, double FilesRecord::*m)
{
    return {name, Kind::Real, 0, m, nullptr, nullptr, nullptr};
}
constexpr Column small(const char *name, qint16 FilesRecord::*m)
{
    return {name, Kind::Small, 0, nullptr, m, nullptr, nullptr};
}
constexpr Column text(const char *name, QString FilesRecord::*m, int width = Unlimited)
{
    return {name, Kind::Text, width, nullptr, nullptr, m, nullptr};
}
constexpr Column date(const char *name, QDateTime FilesRecord::*m)
{
    return {name, Kind::Date, 0, nullptr, nullptr, nullptr, m};
}

// The table in column order. The schema, the statements and the record mapping all come
// from this list, so they cannot drift apart.
const std::array<Column, 27> Columns = {{
    real("RECNUM", &FilesRecord::RECNUM),
    text("DRIVEVOLUME", &FilesRecord::DRIVEVOLUME),
    text("PATH", &FilesRecord::PATH),
    text("NAME", &FilesRecord::NAME),
    text("REFNAME", &FilesRecord::REFNAME),
    text("BASENAME", &FilesRecord::BASENAME),
    text("WHOLEBASE", &FilesRecord::WHOLEBASE),
    text("WHOLENAME", &FilesRecord::WHOLENAME),
    text("DISKNAME", &FilesRecord::DISKNAME),
    text("EXTENSION", &FilesRecord::EXTENSION),
    real("SIZE", &FilesRecord::SIZE),
    date("DATE", &FilesRecord::DATE),
    text("CHECKSUM", &FilesRecord::CHECKSUM),
    small("X", &FilesRecord::X),
    small("Y", &FilesRecord::Y),
    real("XYRATIO", &FilesRecord::XYRATIO),
    text("RGB", &FilesRecord::RGB),
    text("QRGB", &FilesRecord::QRGB),
    text("SOFTRGB", &FilesRecord::SOFTRGB),
    text("SOFTQRGB", &FilesRecord::SOFTQRGB),
    text("PXLRAY", &FilesRecord::PXLRAY),
    small("PXLNUM", &FilesRecord::PXLNUM),
    text("ACTIVE", &FilesRecord::ACTIVE, 1),
    text("RTAG", &FilesRecord::RTAG, 1),
    text("STAG", &FilesRecord::STAG),
    text("REF", &FilesRecord::REF),
    real("ACCESSED", &FilesRecord::ACCESSED),
}};

int columnIndex(const QString &name)
{
    for (int i = 0; i < int(Columns.size()); ++i) {
        if (name.compare(QLatin1String(Columns[i].name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString columnList()
{
    QStringList names;
    for (const Column &c : Columns)
        names << QLatin1String(c.name);
    return names.join(QStringLiteral(", "));
}

QString schemaSql()
{
    QStringList defs;
    for (const Column &c : Columns) {
        const QString name = QLatin1String(c.name);
        switch (c.kind) {
        case Kind::Real:
            defs << name + QStringLiteral(" REAL NOT NULL DEFAULT 0");
            break;
        case Kind::Small:
            defs << name + QStringLiteral(" SMALLINT NOT NULL DEFAULT 0");
            break;
        case Kind::Text:
            defs << name + (c.width == Unlimited ? QStringLiteral(" TEXT")
                                                 : QStringLiteral(" VARCHAR(%1)").arg(c.width))
                        + QStringLiteral(" NOT NULL DEFAULT ' '");
            break;
        case Kind::Date:
            defs << name + QStringLiteral(" TEXT");
            break;
        }
    }
    return QStringLiteral("CREATE TABLE FILES (%1)").arg(defs.join(QStringLiteral(", ")));
}

// A text as the field stores it: never NULL (a null QString would bind as NULL); a one-letter
// flag is cut to fit.
QString fitText(const QString &value, int width)
{
    if (width != Unlimited && value.size() > width) {
        qCWarning(lcCatalogue) << "text cut to" << width << "characters:" << value.left(40);
        return value.left(width);
    }
    return value.isNull() ? QStringLiteral("") : value;
}

// The value to bind for field c, converted from anything a caller may hand over. Fails only
// for a 16-bit field given a number out of range.
bool toStored(const Column &c, const QVariant &value, QVariant *stored)
{
    switch (c.kind) {
    case Kind::Real:
        *stored = value.toDouble();
        return true;
    case Kind::Small: {
        const double v = value.toDouble();
        if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
            return false;
        *stored = int(v);
        return true;
    }
    case Kind::Text:
        *stored = fitText(value.toString(), c.width);
        return true;
    case Kind::Date:
        if (value.metaType().id() == QMetaType::QDateTime) {
            const QDateTime when = value.toDateTime();
            *stored = when.isValid() ? QVariant(IdentityKey::dateText(when))
                                     : QVariant(QMetaType::fromType<QString>());
        } else {
            const QString t = value.toString();
            *stored = t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
        }
        return true;
    }
    return false;
}

// "yyyy-MM-dd hh:mm:ss" as local time. Read for every row a search loads, so the fixed form is
// taken apart by hand: the general date parser costs many times the rest of the row.
QDateTime dateFromText(const QString &t)
{
    const auto digits = [&t](int at, int count, int *out) {
        int v = 0;
        for (int i = at; i < at + count; ++i) {
            const int d = t[i].unicode() - '0';
            if (d < 0 || d > 9)
                return false;
            v = v * 10 + d;
        }
        *out = v;
        return true;
    };
    if (t.isEmpty())
        return QDateTime();
    int y, mo, d, h, mi, s;
    if (t.size() != 19 || t[4] != QLatin1Char('-') || t[7] != QLatin1Char('-')
        || t[10] != QLatin1Char(' ') || t[13] != QLatin1Char(':') || t[16] != QLatin1Char(':')
        || !digits(0, 4, &y) || !digits(5, 2, &mo) || !digits(8, 2, &d) || !digits(11, 2, &h)
        || !digits(14, 2, &mi) || !digits(17, 2, &s)) {
        return QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

// One field of a row straight from a statement's column into the record, as fromStored reads
// it: a walk reads every field of every row, and the general conversions cost more than the
// reading.
void readColumn(sqlite3_stmt *stmt, int i, const Column &c, FilesRecord *r)
{
    switch (c.kind) {
    case Kind::Real:
        r->*c.real = sqlite3_column_double(stmt, i);
        return;
    case Kind::Small:
        r->*c.small = qint16(sqlite3_column_int(stmt, i));
        return;
    case Kind::Text:
    case Kind::Date: {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        const QString value = text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)) : QString();
        if (c.kind == Kind::Date)
            r->*c.date = dateFromText(value);
        else
            r->*c.text = text ? value : QStringLiteral("");
        return;
    }
    }
}

QVariant fromStored(const Column &c, const QVariant &value)
{
    switch (c.kind) {
    case Kind::Real:
        return value.toDouble();
    case Kind::Small:
        return value.toInt();
    case Kind::Text:
        return value.isNull() ? QStringLiteral("") : value.toString();
    case Kind::Date:
        return dateFromText(value.toString());
    }
    return {};
}

QVariant recordValue(const FilesRecord &r, const Column &c)
{
    QVariant stored;
    switch (c.kind) {
    case Kind::Real:
        return r.*c.real;
    case Kind::Small:
        return int(r.*c.small);
    case Kind::Text:
        return fitText(r.*c.text, c.width);
    case Kind::Date:
        toStored(c, r.*c.date, &stored);
        return stored;
    }
    return stored;
}

void setRecordValue(FilesRecord *r, const Column &c, const QVariant &value)
{
    const QVariant v = fromStored(c, value);
    switch (c.kind) {
    case Kind::Real:
        r->*c.real = v.toDouble();
        break;
    case Kind::Small:
        r->*c.small = qint16(v.toInt());
        break;
    case Kind::Text:
        r->*c.text = v.toString();
        break;
    case Kind::Date:
        r->*c.date = v.toDateTime();
        break;
    }
}

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("vexa-catalogue-%1").arg(++counter);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString notCatalogue(const QString &path)
{
    return QStringLiteral("The catalogue %1 is not a Vexa! catalogue database.").arg(shown(path));
}

// The SQLite result code behind an error of the generic SQL layer (0 when there is none).
int sqlCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt();
}

// True when SQLite says the file is damaged: a corrupt page, or not a database at all.
bool isDamageReport(int code, const QString &detail)
{
    return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB
           || detail.contains(QLatin1String("malformed"), Qt::CaseInsensitive);
}

bool hasSqliteHeader(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Checks an open connection to path for the table FILES with every field; reads only.
// Returns the error sentence, empty when the catalogue is sound.
QString checkCatalogue(QSqlDatabase &db, const QString &path)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = ? AND "
                                  "name = ? COLLATE NOCASE"))) {
        return notCatalogue(path);
    }
    q.addBindValue(QStringLiteral("table"));
    q.addBindValue(QStringLiteral("FILES"));
    if (!q.exec()) {
        if (isDamageReport(sqlCode(q.lastError()), q.lastError().text()))
            return QStringLiteral("The catalogue %1 is damaged (the database reports: %2).")
                .arg(shown(path), q.lastError().text());
        return notCatalogue(path);
    }
    if (!q.next())
        return notCatalogue(path);
    const QString table = q.value(0).toString();
    q.finish();

    const QSqlRecord fields = db.record(table);
    for (const Column &c : Columns) {
        if (fields.indexOf(QLatin1String(c.name)) < 0) {
            return QStringLiteral("The catalogue %1 is not a Vexa! catalogue database: its "
                                  "table FILES has no field %2.")
                .arg(shown(path), QLatin1String(c.name));
        }
    }
    return QString();
}

// The catalogue test in one place, for isCatalogue and open: the file must exist and be a
// database (checked from its first bytes, so no other file is ever handed to SQLite) before a
// connection reads its table list.
QString validateFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The catalogue %1 does not exist.").arg(shown(path));
    if (!info.isFile() || !hasSqliteHeader(path))
        return notCatalogue(path);
    return QString();
}

// Walks every page of the database and checks its structure, reading only. A damaged file
// must be known before anything is written to it. Returns the error sentence, empty when the
// file is sound.
QString damageOf(QSqlDatabase &db, const QString &path)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QString detail;
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")) || !q.next()) {
        detail = q.lastError().text();
        if (!isDamageReport(q.lastError().nativeErrorCode().toInt(), detail))
            return QStringLiteral("The catalogue %1 could not be read: %2").arg(shown(path), detail);
    } else {
        detail = q.value(0).toString();
        if (detail == QLatin1String("ok"))
            return QString();
    }
    detail.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("The catalogue %1 is damaged (the database reports: %2).")
        .arg(shown(path), detail.trimmed());
}

// What the file system says of a file that changes whenever its content does: device, file
// number, length, and the times of the last change to its content and to the file itself (the
// second cannot be set back by any program). Empty where it cannot be read.
QByteArray fileStamp(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    return QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino))
           + ' ' + QByteArray::number(qint64(st.st_size)) + ' '
           + QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.'
           + QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' '
           + QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.'
           + QByteArray::number(qint64(st.st_ctim.tv_nsec));
#else
    Q_UNUSED(path);
    return QByteArray();
#endif
}

const QByteArray CheckedHeader = QByteArrayLiteral("Vexa! catalogue closed sound\n");

// Catalogues this run of the program found damaged, by path: a clean close through another
// connection to the same file must not vouch for it, nor may its record be trusted.
QMutex damagedMutex;
QSet<QString> damagedPaths;

void noteDamaged(const QString &path, bool damaged)
{
    const QMutexLocker lock(&damagedMutex);
    if (damaged)
        damagedPaths.insert(path);
    else
        damagedPaths.remove(path);
}

bool seenDamaged(const QString &path)
{
    const QMutexLocker lock(&damagedMutex);
    return damagedPaths.contains(path);
}

// True when the record written at the last clean close matches the catalogue as it is now, with
// no log beside it that opening would fold in: nothing has touched the file since it was last
// found sound and closed, and walking its pages again would find what it found then.
bool unchangedSinceCheck(const QString &path)
{
    if (seenDamaged(path) || QFileInfo::exists(path + QStringLiteral("-wal")))
        return false;
    QFile record(Catalogue::checkedRecord(path));
    if (!record.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stamp = fileStamp(path);
    return !stamp.isEmpty() && record.read(4096) == CheckedHeader + stamp + '\n';
}

// Why a catalogue cannot be written, checked before the database engine opens it: a file it
// opens read-only gets side files it can never write again, which keep the catalogue failing
// after its permissions are put right. Empty when nothing is in the way.
} // namespace

QString Catalogue::writeProblem(const QString &path)
{
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!file.isWritable())
        return QStringLiteral("The catalogue %1 is read-only: it cannot be written.").arg(shown(path));
    if (!QFileInfo(folder).isWritable()) {
        return QStringLiteral("The folder %1 that holds the catalogue cannot be written, so the "
                              "catalogue %2 cannot be changed.")
            .arg(shown(folder), shown(path));
    }
    // A shared-memory index left read-only by an earlier run holds nothing the log does not:
    // it is made afresh. A read-only log holds changes and is reported.
    const QFileInfo shm(path + QStringLiteral("-shm"));
    if (shm.exists() && !shm.isWritable())
        QFile::remove(shm.filePath());
    const QFileInfo wal(path + QStringLiteral("-wal"));
    if (wal.exists() && !wal.isWritable())
        return QStringLiteral("The catalogue log %1 is read-only: it cannot be written.").arg(shown(wal.filePath()));
    return QString();
}

namespace {

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    qCWarning(lcCatalogue).noquote() << text;
    return false;
}

// Runs one statement on a connection used by the static helpers.
bool execOn(QSqlDatabase &db, const QString &sql, QString *detail, int *code = nullptr)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *detail = q.lastError().text();
    if (code)
        *code = q.lastError().nativeErrorCode().toInt();
    return false;
}

// Whether a text equals a UTF-8 value read from the database. Plain ASCII, as most names
// are, is compared where it lies: the marks of a repeated search check every name.
bool sameText(const QString &text, QByteArrayView utf8)
{
    if (text.size() == utf8.size()) {
        const QChar *chars = text.constData();
        qsizetype i = 0;
        for (; i < utf8.size() && uchar(utf8[i]) < 0x80; ++i) {
            if (chars[i].unicode() != char16_t(utf8[i]))
                return false;
        }
        if (i == utf8.size())
            return true;
    }
    return text == QString::fromUtf8(utf8);
}

QString stripOrderBy(const QString &orderBy)
{
    QString o = orderBy.trimmed();
    static const QString keyword = QStringLiteral("order by");
    if (o.startsWith(keyword, Qt::CaseInsensitive))
        o = o.mid(keyword.size()).trimmed();
    return o;
}

} // namespace

// Prepared statements kept for the life of one open connection: a pre-scan reads, seeks and
// writes once per file, and preparing each time would dominate the work.
namespace {

// The connection's own SQLite handle. The pre-scan writes a row per file; going through the
// generic SQL layer costs more per statement than the database itself, so its statements
// use the handle directly, on the same connection and inside the same transactions.
sqlite3 *rawHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

class RawStatement
{
public:
    RawStatement() = default;
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;
    ~RawStatement()
    {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
    }
    bool isPrepared() const { return m_stmt != nullptr; }
    bool prepare(sqlite3 *db, const QString &sql)
    {
        if (m_stmt)
            return true;
        m_db = db;
        return db && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr) == SQLITE_OK;
    }
    void bind(int index, const QVariant &v)
    {
        switch (v.typeId()) {
        case QMetaType::Double:
            sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        default:
            if (v.isNull()) {
                sqlite3_bind_null(m_stmt, index);
            } else {
                const QByteArray utf8 = v.toString().toUtf8();
                sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
        }
    }
    void bindInt64(int index, qint64 v) { sqlite3_bind_int64(m_stmt, index, v); }
    // Runs the statement to its first row (SQLITE_ROW) or its end (SQLITE_DONE).
    int step() { return sqlite3_step(m_stmt); }
    void reset() { sqlite3_reset(m_stmt); }
    QVariant column(int i) const
    {
        switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_stmt, i)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, i));
        case SQLITE_NULL:
            return QVariant();
        default:
            return QVariant(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                sqlite3_column_bytes(m_stmt, i)));
        }
    }
    qint64 int64(int i) const { return sqlite3_column_int64(m_stmt, i); }
    QByteArrayView bytes(int i) const
    {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return QByteArrayView(text, sqlite3_column_bytes(m_stmt, i));
    }
    QString text(int i) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
    }
    int changes() const { return sqlite3_changes(m_db); }
    sqlite3_stmt *handle() const { return m_stmt; }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }
    int code() const { return m_db ? sqlite3_errcode(m_db) : SQLITE_ERROR; }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

struct Catalogue::Statements
{
    explicit Statements(const QSqlDatabase &db)
        : seekRef(db), read(db), insert(db), update(db), exists(db), count(db),
          handle(rawHandle(db))
    {}

    QSqlQuery seekRef;
    QSqlQuery read;
    QSqlQuery insert;
    QSqlQuery update;
    QSqlQuery exists;
    QSqlQuery count;
    RawStatement readSignatures;
    RawStatement markSeen;
    RawStatement markSeenSignatures;
    RawStatement moveSeen;
    RawStatement rawInsert;
    RawStatement namesInStretch;
    RawStatement markStretch;
    RawStatement readBlock;
    RawStatement markRecnum;
    sqlite3 *handle = nullptr;
    QHash<int, QSqlQuery> getField; // by column index
    QHash<int, QSqlQuery> setField;
};

Catalogue::Catalogue() = default;

Catalogue::~Catalogue()
{
    close();
}

const QStringList &Catalogue::fieldNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Column &c : Columns)
            list << QLatin1String(c.name);
        return list;
    }();
    return names;
}

QString Catalogue::canonicalField(const QString &name)
{
    const int i = columnIndex(name.trimmed());
    return i < 0 ? QString() : QString::fromLatin1(Columns[i].name);
}

bool Catalogue::fail(const QString &what, const QString &detail, int code) const
{
    ++m_failures;
    m_errorCode = code & 0xff;
    if (isDamageReport(code, detail) && !m_damaged) {
        // From here on nothing is written to the file: writing on damaged pages can only
        // spread the damage.
        m_damaged = true;
        noteDamaged(m_path, true);
        m_error = QStringLiteral("The catalogue %1 is damaged (the database reports: %2).")
                      .arg(shown(m_path), detail);
    } else {
        m_error = QStringLiteral("The catalogue %1 could not be %2: %3").arg(shown(m_path), what, detail);
    }
    qCWarning(lcCatalogue).noquote() << m_error;
    return false;
}

bool Catalogue::refuseWrite() const
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return true;
    }
    if (m_damaged) {
        ++m_failures;
        qCWarning(lcCatalogue).noquote() << "not written, it is damaged:" << m_path;
        return true;
    }
    return false;
}

bool Catalogue::open(const QString &path)
{
    close();
    m_error.clear();
    if (!QSqlDatabase::isDriverAvailable(Driver)) {
        m_error = QStringLiteral("The SQLite database driver is missing, so the catalogue %1 "
                                 "cannot be opened.")
                      .arg(shown(path));
        return false;
    }
    m_damaged = false;
    m_failures = 0;
    m_errorCode = 0;
    m_error = validateFile(path);
    if (m_error.isEmpty())
        m_error = writeProblem(path);
    if (!m_error.isEmpty()) {
        qCWarning(lcCatalogue).noquote() << m_error;
        return false;
    }

    // A catalogue left sound at a clean close and not touched since needs no walk over every
    // page. The record goes before anything can be written: it is made again only by a clean
    // close of a catalogue that nothing found damaged.
    const bool unchanged = unchangedSinceCheck(path);
    QFile::remove(checkedRecord(path));
    m_checked = !unchanged;

    const QString connection = nextConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver, connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            m_error = notCatalogue(path);
        } else {
            m_error = checkCatalogue(db, path);
            if (m_error.isEmpty() && m_checked)
                m_error = damageOf(db, path);
            m_damaged = m_error.contains(QLatin1String(" is damaged ("));
            if (m_damaged)
                noteDamaged(path, true);
            ok = m_error.isEmpty();
            if (ok) {
                // Only a sound catalogue is changed: write-ahead logging for fast pre-scans
                // (the log is folded back into the file on close), and the indexes that
                // keep the per-directory and per-number look-ups from reading the whole table.
                QSqlQuery q(db);
                if (q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && q.next() &&
                    q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
                    qCInfo(lcCatalogue) << "write-ahead logging unavailable for" << path;
                }
                q.finish();
                QString detail;
                ok = execOn(db, QStringLiteral("PRAGMA synchronous=NORMAL"), &detail) &&
                     execOn(db,
                            QStringLiteral("CREATE INDEX IF NOT EXISTS location ON FILES "
                                           "(DRIVEVOLUME, PATH, EXTENSION)"),
                            &detail) &&
                     execOn(db,
                            QStringLiteral("CREATE INDEX IF NOT EXISTS recnum ON FILES (RECNUM)"),
                            &detail) &&
                     // A pre-scan stopped by a crash may have left its catalogue without ref.
                     execOn(db, refIndexSql(), &detail);
                if (!ok) {
                    m_error = QStringLiteral("The catalogue %1 could not be prepared for use: %2")
                                  .arg(shown(path), detail);
                }
            }
            if (!ok)
                db.close();
        }
    }
    if (!ok) {
        QSqlDatabase::removeDatabase(connection);
        qCWarning(lcCatalogue).noquote() << m_error;
        return false;
    }
    m_connection = connection;
    m_path = path;
    m_statements = std::make_unique<Statements>(database());
    return true;
}

void Catalogue::close()
{
    if (m_connection.isEmpty())
        return;
    m_statements.reset(); // every query on the connection must be gone before it is removed
    bool closed = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) {
            db.close();
            closed = !db.isOpen();
        }
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_transactionDepth = 0;
    m_transactionFailed = false;
    // The last connection folds the log into the file and removes it; the file is then all
    // there is, as sound as it was found, and the next open can trust it while it stays so.
    // Not a flushed write: a record lost in a power cut only costs the next open its check.
    if (closed && !m_damaged && !seenDamaged(m_path)
        && !QFileInfo::exists(m_path + QStringLiteral("-wal"))) {
        const QByteArray stamp = fileStamp(m_path);
        if (!stamp.isEmpty())
            SafeFile::writeWhole(checkedRecord(m_path), CheckedHeader + stamp + '\n', nullptr,
                                 SafeFile::Sync::Deferred);
    }
}

QString Catalogue::checkedRecord(const QString &path)
{
    return path + QStringLiteral("-checked");
}

bool Catalogue::isOpen() const
{
    return !m_connection.isEmpty();
}

QString Catalogue::path() const
{
    return m_path;
}

QString Catalogue::lastError() const
{
    return m_error;
}

QSqlDatabase Catalogue::database() const
{
    return m_connection.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_connection, false);
}

bool Catalogue::createTemplate(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        return setError(error, QStringLiteral("The template catalogue %1 already exists and is "
                                              "left as it is.")
                                   .arg(shown(path)));
    }
    if (!QSqlDatabase::isDriverAvailable(Driver)) {
        return setError(error, QStringLiteral("The SQLite database driver is missing, so the "
                                              "template catalogue %1 cannot be made.")
                                   .arg(shown(path)));
    }
    // Built under a temporary name beside the target, then renamed: a failure never leaves a
    // half-made template, and the rename refuses to replace a file that appeared meanwhile.
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        return setError(error, QStringLiteral("The template catalogue %1 could not be made: %2")
                                   .arg(shown(path), temp.errorString()));
    }
    const QString tempPath = temp.fileName();
    temp.close();

    const QString connection = nextConnectionName();
    QString detail;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver, connection);
        db.setDatabaseName(tempPath);
        if (!db.open()) {
            detail = db.lastError().text();
        } else {
            ok = execOn(db, QStringLiteral("PRAGMA journal_mode=DELETE"), &detail) &&
                 execOn(db, schemaSql(), &detail) &&
                 execOn(db, refIndexSql(), &detail);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) {
        return setError(error, QStringLiteral("The template catalogue %1 could not be made: %2")
                                   .arg(shown(path), detail));
    }
    if (!temp.rename(path)) {
        return setError(error, QStringLiteral("The template catalogue %1 could not be made: %2")
                                   .arg(shown(path), temp.errorString()));
    }
    temp.setAutoRemove(false);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    return true;
}

bool Catalogue::ensureTemplate(const QString &templatePath, QString *error)
{
    if (!QFileInfo::exists(templatePath))
        return createTemplate(templatePath, error);
    QString why;
    if (isCatalogue(templatePath, &why))
        return true;
    return setError(error, QStringLiteral("The template catalogue %1 is not a Vexa! catalogue "
                                          "database; it is left as it is.")
                               .arg(shown(templatePath)));
}

bool Catalogue::createFromTemplate(const QString &templatePath, const QString &cataloguePath,
                                   QString *error)
{
    if (QFileInfo::exists(cataloguePath))
        return true;
    QString why;
    if (!isCatalogue(templatePath, &why)) {
        return setError(error, QStringLiteral("The catalogue %1 cannot be made from the "
                                              "template: %2")
                                   .arg(shown(cataloguePath), why));
    }
    // Copied whole and checked, so a full disk never leaves half a catalogue behind.
    QFile source(templatePath);
    QString why2;
    if (!source.open(QIODevice::ReadOnly) || !SafeFile::writeWhole(cataloguePath, source.readAll(), &why2)) {
        return setError(error, QStringLiteral("The template catalogue %1 could not be copied "
                                              "to %2. %3")
                                   .arg(shown(templatePath), shown(cataloguePath), why2)
                                   .trimmed());
    }
    QFile::setPermissions(cataloguePath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                             QFile::ReadOther);
    return true;
}

bool Catalogue::isCatalogue(const QString &path, QString *error)
{
    QString why = validateFile(path);
    if (why.isEmpty())
        why = writeProblem(path);
    if (why.isEmpty() && !QSqlDatabase::isDriverAvailable(Driver))
        why = QStringLiteral("The SQLite database driver is missing.");
    if (why.isEmpty()) {
        const QString connection = nextConnectionName();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(Driver, connection);
            db.setDatabaseName(path);
            if (db.open()) {
                why = checkCatalogue(db, path);
                if (why.isEmpty() && !unchangedSinceCheck(path)) {
                    why = damageOf(db, path);
                    if (why.contains(QLatin1String(" is damaged (")))
                        noteDamaged(path, true);
                }
                db.close();
            } else {
                why = notCatalogue(path);
            }
        }
        QSqlDatabase::removeDatabase(connection);
    }
    if (error)
        *error = why;
    return why.isEmpty();
}

bool Catalogue::exec(const QString &sql, const QVariantList &values)
{
    if (refuseWrite())
        return false;
    QSqlQuery q(database());
    if (!q.prepare(sql))
        return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
    return true;
}

bool Catalogue::deleteTagged()
{
    return exec(QStringLiteral("DELETE FROM FILES WHERE RTAG = ?"), {QStringLiteral("D")});
}

bool Catalogue::deleteAccessedBefore(int cutoff)
{
    return exec(QStringLiteral("DELETE FROM FILES WHERE ACCESSED < ?"), {cutoff});
}

bool Catalogue::deleteTaggedAndAccessedBefore(int cutoff)
{
    return exec(QStringLiteral("DELETE FROM FILES WHERE RTAG = ? OR ACCESSED < ?"),
                {QStringLiteral("D"), cutoff});
}

bool Catalogue::resetMarks()
{
    // Rows that already hold these values (rows no search has found since they were last
    // cleared) are passed over: rewriting them would change nothing but cost a page write each.
    const QString blank = QStringLiteral(" ");
    return exec(QStringLiteral("UPDATE FILES SET ACTIVE = ?, RECNUM = ?, RTAG = ?, REF = STAG "
                               "WHERE ACTIVE IS NOT ? OR RECNUM IS NOT ? OR RTAG IS NOT ? "
                               "OR REF IS NOT STAG"),
                {blank, 0.0, blank, blank, 0.0, blank});
}

bool Catalogue::markMatched(double recnum)
{
    return exec(QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?"),
                {QStringLiteral("*"), recnum});
}

std::unique_ptr<RecordSet> Catalogue::selectAll()
{
    return makeSet(QString(), QString(), {});
}

std::unique_ptr<RecordSet> Catalogue::selectForReactivation(const QString &driveVolume,
                                                            const QString &path,
                                                            const QString &extension)
{
    return makeSet(QStringLiteral("DRIVEVOLUME = ? AND PATH = ? AND EXTENSION = ? AND ACTIVE <> ?"),
                   QString(), {driveVolume, path, extension, QStringLiteral("X")});
}

std::unique_ptr<RecordSet> Catalogue::selectByRecnumAndName(double recnum, const QString &wholeName)
{
    return makeSet(QStringLiteral("RECNUM = ? AND WHOLENAME = ?"), QString(), {recnum, wholeName});
}

std::unique_ptr<RecordSet> Catalogue::select(const QString &where, const QString &orderBy,
                                             const QVariantList &values)
{
    return makeSet(where, orderBy, values);
}

std::unique_ptr<RecordSet> Catalogue::makeSet(const QString &where, const QString &orderBy,
                                              const QVariantList &values)
{
    const std::optional<QVector<qint64>> rows = rowIds(where, orderBy, values);
    if (!rows)
        return nullptr;
    return std::make_unique<RecordSet>(this, *rows);
}

std::optional<QVector<qint64>> Catalogue::rowIds(const QString &where, const QString &orderBy,
                                                 const QVariantList &values) const
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return std::nullopt;
    }
    QString sql = QStringLiteral("SELECT rowid FROM FILES");
    if (!where.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    const QString order = stripOrderBy(orderBy);
    sql += order.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                           : QStringLiteral(" ORDER BY ") + order + QStringLiteral(", rowid");

    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return std::nullopt;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return std::nullopt;
    }
    QVector<qint64> rows;
    while (q.next())
        rows.append(q.value(0).toLongLong());
    return rows;
}

std::optional<qint64> Catalogue::seekRef(const QString &key)
{
    if (!isOpen())
        return std::nullopt;
    QSqlQuery &q = m_statements->seekRef;
    if (q.lastQuery().isEmpty()) {
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT rowid FROM FILES WHERE REF = ? AND REF <> '' "
                                      "ORDER BY rowid LIMIT 1"))) {
            fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
            return std::nullopt;
        }
    }
    q.bindValue(0, fitText(key, Unlimited));
    if (!q.exec()) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return std::nullopt;
    }
    std::optional<qint64> found;
    if (q.next())
        found = q.value(0).toLongLong();
    q.finish();
    return found;
}

bool Catalogue::setIndexesAside()
{
    if (refuseWrite())
        return false;
    QSqlDatabase db = database();
    QString detail;
    int code = 0;
    if (!execOn(db, QStringLiteral("DROP INDEX IF EXISTS ref"), &detail, &code)
        || !execOn(db, QStringLiteral("DROP INDEX IF EXISTS recnum"), &detail, &code))
        return fail(QStringLiteral("changed"), detail, code);
    return true;
}

bool Catalogue::restoreIndexes()
{
    if (refuseWrite())
        return false;
    QSqlDatabase db = database();
    QString detail;
    int code = 0;
    if (!execOn(db, refIndexSql(), &detail, &code)
        || !execOn(db, QStringLiteral("CREATE INDEX IF NOT EXISTS recnum ON FILES (RECNUM)"), &detail, &code))
        return fail(QStringLiteral("changed"), detail, code);
    return true;
}

double Catalogue::highestRecnum() const
{
    if (!isOpen())
        return 0;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT max(RECNUM) FROM FILES")) || !q.next()) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return 0;
    }
    return q.value(0).toDouble();
}

bool Catalogue::unmarkAfter(double recnum)
{
    return exec(QStringLiteral("UPDATE FILES SET ACTIVE = ?, RECNUM = ?, REF = STAG WHERE RECNUM > ?"),
                {QStringLiteral(" "), 0.0, recnum});
}

QString Catalogue::setAside(const QString &path, QString *error)
{
    // The first free name: a catalogue set aside earlier is never replaced.
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-wal")); ++n)
        aside = path + QStringLiteral(".damaged%1").arg(n);
    if (!QFile::rename(path, aside)) {
        setError(error, QStringLiteral("The catalogue %1 could not be set aside as %2.")
                            .arg(shown(path), shown(aside)));
        return QString();
    }
    // Its log goes with it, under the name the database looks for beside the file; the
    // shared-memory index is rebuilt by whoever opens it.
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::rename(wal, aside + QStringLiteral("-wal")))
        QFile::remove(wal);
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(checkedRecord(path));
    noteDamaged(path, false); // the name is free for a new catalogue
    return aside;
}

void RefTable::reserve(qsizetype rows)
{
    m_keys.reserve(size_t(rows));
    m_rowIds.reserve(size_t(rows));
    m_next.reserve(size_t(rows));
    m_bytes.reserve(rows * 40);
    size_t capacity = 16;
    while (capacity < size_t(rows) * 2)
        capacity *= 2;
    if (capacity > m_slots.size()) {
        m_slots.assign(capacity, -1);
        for (qint32 i = 0; i < qint32(m_keys.size()); ++i) {
            size_t at = m_keys[size_t(i)].hash & (capacity - 1);
            while (m_slots[at] >= 0)
                at = (at + 1) & (capacity - 1);
            m_slots[at] = i;
        }
    }
}

bool RefTable::holds(const Key &key, QByteArrayView utf8Ref) const
{
    return key.length == utf8Ref.size()
           && QByteArrayView(m_bytes.constData() + key.offset, key.length) == utf8Ref;
}

void RefTable::grow()
{
    reserve(qsizetype(m_slots.size()));
}

qint32 RefTable::find(QByteArrayView utf8Ref, size_t hash) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const qint32 k = m_slots[at];
        if (k < 0)
            return -1;
        const Key &key = m_keys[size_t(k)];
        if (key.hash == hash && holds(key, utf8Ref))
            return k;
    }
}

void RefTable::add(QByteArrayView utf8Ref, qint64 rowId)
{
    const size_t hash = qHash(utf8Ref, QHashSeed::globalSeed());
    const qint32 row = qint32(m_rowIds.size());
    m_rowIds.push_back(rowId);
    m_next.push_back(-1);
    ++m_left;
    qint32 k = find(utf8Ref, hash);
    if (k >= 0) {
        Key &key = m_keys[size_t(k)];
        if (key.first < 0)
            key.first = row;
        else
            m_next[size_t(key.last)] = row;
        key.last = row;
        return;
    }
    if (m_keys.size() * 2 >= m_slots.size())
        grow();
    k = qint32(m_keys.size());
    m_keys.push_back({hash, m_bytes.size(), utf8Ref.size(), row, row});
    m_bytes.append(utf8Ref);
    const size_t mask = m_slots.size() - 1;
    size_t at = hash & mask;
    while (m_slots[at] >= 0)
        at = (at + 1) & mask;
    m_slots[at] = k;
}

std::optional<qint64> RefTable::take(QByteArrayView utf8Ref)
{
    qint32 k = m_lastKey + 1;
    if (k >= qint32(m_keys.size()) || !holds(m_keys[size_t(k)], utf8Ref)) {
        k = find(utf8Ref, qHash(utf8Ref, QHashSeed::globalSeed()));
        if (k < 0)
            return std::nullopt;
    }
    m_lastKey = k;
    Key &key = m_keys[size_t(k)];
    if (key.first < 0)
        return std::nullopt; // every row under this key has been found already
    const qint32 row = key.first;
    key.first = m_next[size_t(row)];
    --m_left;
    return m_rowIds[size_t(row)];
}

// The key's UTF-8 bytes; most keys are plain ASCII and are copied across without conversion.
QByteArrayView RefTable::utf8(const QString &ref)
{
    const qsizetype n = ref.size();
    const QChar *chars = ref.constData();
    m_scratch.resize(n);
    char *out = m_scratch.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= 0x80) {
            m_scratch = ref.toUtf8();
            return m_scratch;
        }
        out[i] = char(c);
    }
    return m_scratch;
}

void RefTable::add(const QString &ref, qint64 rowId)
{
    add(utf8(ref), rowId);
}

std::optional<qint64> RefTable::take(const QString &ref)
{
    return take(utf8(ref));
}

RefTable Catalogue::refTable() const
{
    RefTable table;
    if (!isOpen())
        return table;
    table.reserve(rowCount());
    // Read straight from SQLite: this walks every row of the catalogue at each search.
    RawStatement q;
    if (!q.prepare(m_statements->handle,
                   QStringLiteral("SELECT REF, rowid FROM FILES WHERE REF <> '' ORDER BY rowid"))) {
        fail(QStringLiteral("read"), q.error(), q.code());
        return table;
    }
    int rc;
    while ((rc = q.step()) == SQLITE_ROW)
        table.add(q.bytes(0), q.int64(1));
    if (rc != SQLITE_DONE)
        fail(QStringLiteral("read"), q.error(), q.code());
    return table;
}

namespace {
const char *const kSignatureColumns[] = {"CHECKSUM", "X",        "Y",        "XYRATIO", "RGB",
                                         "QRGB",     "SOFTRGB", "SOFTQRGB", "PXLRAY",  "PXLNUM"};
}

std::optional<FilesRecord> Catalogue::readSignatures(qint64 rowId) const
{
    if (!isOpen())
        return std::nullopt;
    RawStatement &q = m_statements->readSignatures;
    if (!q.isPrepared()) {
        QStringList names;
        for (const char *c : kSignatureColumns)
            names << QLatin1String(c);
        if (!q.prepare(m_statements->handle, QStringLiteral("SELECT %1 FROM FILES WHERE rowid = ?")
                                                 .arg(names.join(QStringLiteral(", "))))) {
            fail(QStringLiteral("read"), q.error(), q.code());
            return std::nullopt;
        }
    }
    q.bindInt64(1, rowId);
    std::optional<FilesRecord> record;
    const int rc = q.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(QStringLiteral("read"), q.error(), q.code());
    if (rc == SQLITE_ROW) {
        static const QVector<int> columns = [] {
            QVector<int> out;
            for (const char *c : kSignatureColumns)
                out << columnIndex(QLatin1String(c));
            return out;
        }();
        record.emplace();
        for (int i = 0; i < columns.size(); ++i)
            setRecordValue(&*record, Columns[size_t(columns[i])], q.column(i));
    }
    q.reset();
    return record;
}

bool Catalogue::markSeen(qint64 rowId, const FilesRecord &r, bool withSignatures)
{
    if (refuseWrite())
        return false;
    // Two statements: the marks (and new signatures) always change; the location and key
    // change only when a copy elsewhere takes the row over, and leaving them out of the first
    // statement spares the indexes on them in the common case of a file seen where it was.
    auto indexes = [](std::initializer_list<const char *> names) {
        QVector<int> out;
        for (const char *c : names)
            out << columnIndex(QLatin1String(c));
        return out;
    };
    static const QVector<int> markColumns = indexes({"RECNUM", "REF", "ACTIVE", "ACCESSED"});
    static const QVector<int> signatureColumns =
        indexes({"CHECKSUM", "X", "Y", "XYRATIO", "RGB", "QRGB", "SOFTRGB", "SOFTQRGB", "PXLRAY",
                 "PXLNUM"});
    static const QVector<int> placeColumns = indexes({"DRIVEVOLUME", "PATH", "DISKNAME", "STAG"});
    const QVector<int> columns = withSignatures ? markColumns + signatureColumns : markColumns;
    RawStatement &q = withSignatures ? m_statements->markSeenSignatures : m_statements->markSeen;
    if (!q.isPrepared()) {
        QStringList sets;
        for (int i : columns)
            sets << QLatin1String(Columns[size_t(i)].name) + QStringLiteral(" = ?");
        if (!q.prepare(m_statements->handle, QStringLiteral("UPDATE FILES SET %1 WHERE rowid = ?")
                                                 .arg(sets.join(QStringLiteral(", ")))))
            return fail(QStringLiteral("changed"), q.error(), q.code());
    }
    int k = 1;
    for (int i : columns)
        q.bind(k++, recordValue(r, Columns[size_t(i)]));
    q.bindInt64(k, rowId);
    const int rc = q.step();
    const int changed = q.changes();
    q.reset();
    if (rc != SQLITE_DONE)
        return fail(QStringLiteral("changed"), q.error(), q.code());
    if (changed != 1)
        return fail(QStringLiteral("changed"), QStringLiteral("row %1 does not exist").arg(rowId));

    RawStatement &moved = m_statements->moveSeen;
    if (!moved.prepare(m_statements->handle,
                       QStringLiteral("UPDATE FILES SET DRIVEVOLUME = ?1, PATH = ?2, DISKNAME = ?3, "
                                      "STAG = ?4 WHERE rowid = ?5 AND (DRIVEVOLUME IS NOT ?1 OR "
                                      "PATH IS NOT ?2 OR DISKNAME IS NOT ?3 OR STAG IS NOT ?4)")))
        return fail(QStringLiteral("changed"), moved.error(), moved.code());
    k = 1;
    for (int i : placeColumns)
        moved.bind(k++, recordValue(r, Columns[size_t(i)]));
    moved.bindInt64(k, rowId);
    const int rc2 = moved.step();
    moved.reset();
    if (rc2 != SQLITE_DONE)
        return fail(QStringLiteral("changed"), moved.error(), moved.code());
    return true;
}

bool Catalogue::markSeenMany(const QVector<SeenRow> &rows, const QString &driveVolume,
                             const QString &path, double accessed)
{
    if (rows.isEmpty())
        return true;
    if (refuseWrite())
        return false;
    // The unary pluses keep SQLite on the row id range instead of the location index, which
    // would read the whole directory and sort it for every stretch.
    RawStatement &names = m_statements->namesInStretch;
    if (!names.prepare(m_statements->handle,
                       QStringLiteral("SELECT DISKNAME FROM FILES WHERE rowid BETWEEN ?1 AND ?2 "
                                      "AND +DRIVEVOLUME = ?3 AND +PATH = ?4 ORDER BY rowid")))
        return fail(QStringLiteral("read"), names.error(), names.code());
    RawStatement &marks = m_statements->markStretch;
    if (!marks.prepare(m_statements->handle,
                       QStringLiteral("UPDATE FILES SET RECNUM = ?1 + (rowid - ?2), REF = '', "
                                      "ACTIVE = 'X', ACCESSED = ?3 WHERE rowid BETWEEN ?2 AND ?4")))
        return fail(QStringLiteral("changed"), marks.error(), marks.code());
    const QVariant volume = fitText(driveVolume, Unlimited);
    const QVariant where = fitText(path, Unlimited);

    for (int first = 0; first < rows.size();) {
        int last = first;
        while (last + 1 < rows.size() && rows[last + 1].rowId == rows[last].rowId + 1
               && rows[last + 1].recnum == rows[last].recnum + 1)
            ++last;

        // The stretch is in place when its rows are this directory's and hold these names.
        names.bindInt64(1, rows[first].rowId);
        names.bindInt64(2, rows[last].rowId);
        names.bind(3, volume);
        names.bind(4, where);
        int k = first;
        int rc;
        while ((rc = names.step()) == SQLITE_ROW && k <= last) {
            if (!sameText(rows[k].diskName, names.bytes(0)))
                break;
            ++k;
        }
        const bool inPlace = k == last + 1 && rc == SQLITE_DONE;
        names.reset();

        if (inPlace) {
            marks.bind(1, rows[first].recnum);
            marks.bindInt64(2, rows[first].rowId);
            marks.bind(3, accessed);
            marks.bindInt64(4, rows[last].rowId);
            rc = marks.step();
            const int changed = marks.changes();
            marks.reset();
            if (rc != SQLITE_DONE)
                return fail(QStringLiteral("changed"), marks.error(), marks.code());
            if (changed != last - first + 1)
                return fail(QStringLiteral("changed"), QStringLiteral("rows %1 to %2 do not all exist")
                                                           .arg(rows[first].rowId)
                                                           .arg(rows[last].rowId));
        } else {
            // Some row moved or was renamed: each gets its location written as well.
            for (int i = first; i <= last; ++i) {
                FilesRecord r;
                r.RECNUM = rows[i].recnum;
                r.REF = QString();
                r.ACTIVE = QStringLiteral("X");
                r.ACCESSED = accessed;
                r.DRIVEVOLUME = driveVolume;
                r.PATH = path;
                r.DISKNAME = rows[i].diskName;
                r.STAG = rows[i].stag;
                if (!markSeen(rows[i].rowId, r, false))
                    return false;
            }
        }
        first = last + 1;
    }
    return true;
}

std::optional<FilesRecord> Catalogue::read(qint64 rowId) const
{
    if (!isOpen())
        return std::nullopt;
    QSqlQuery &q = m_statements->read;
    if (q.lastQuery().isEmpty()) {
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT %1 FROM FILES WHERE rowid = ?").arg(columnList()))) {
            fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
            return std::nullopt;
        }
    }
    q.bindValue(0, rowId);
    if (!q.exec()) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return std::nullopt;
    }
    std::optional<FilesRecord> record;
    if (q.next()) {
        record.emplace();
        for (int i = 0; i < int(Columns.size()); ++i)
            setRecordValue(&*record, Columns[i], q.value(i));
    }
    q.finish();
    return record;
}

namespace {
constexpr int BlockRows = 256; // ids bound to one read of many rows
} // namespace

bool Catalogue::readRows(const QVector<qint64> &rowIds,
                         const std::function<void(qint64, FilesRecord &&)> &fn) const
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return false;
    }
    RawStatement &q = m_statements->readBlock;
    if (!q.isPrepared()) {
        QString sql = QStringLiteral("SELECT rowid, %1 FROM FILES WHERE rowid IN (").arg(columnList());
        for (int i = 0; i < BlockRows; ++i)
            sql += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
        sql += QLatin1Char(')');
        if (!q.prepare(m_statements->handle, sql))
            return fail(QStringLiteral("read"), q.error());
    }
    for (qsizetype first = 0; first < rowIds.size(); first += BlockRows) {
        for (int i = 0; i < BlockRows; ++i) {
            // Unused places hold an id no row has.
            const qsizetype at = first + i;
            q.bindInt64(i + 1, at < rowIds.size() ? rowIds[at] : std::numeric_limits<qint64>::min());
        }
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            FilesRecord record;
            for (int c = 0; c < int(Columns.size()); ++c)
                readColumn(q.handle(), c + 1, Columns[c], &record);
            fn(q.int64(0), std::move(record));
        }
        q.reset();
        if (rc != SQLITE_DONE)
            return fail(QStringLiteral("read"), q.error());
    }
    return true;
}

bool Catalogue::forEachRow(const QString &fields, const QString &where, const QString &orderBy,
                           const QVariantList &values,
                           const std::function<bool(qint64, const QVariantList &)> &fn) const
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return false;
    }
    const QStringList names = fields.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QVector<int> columns;
    for (const QString &name : names) {
        const int c = columnIndex(name.trimmed());
        if (c < 0)
            return fail(QStringLiteral("read"), QStringLiteral("no field %1").arg(name.trimmed()));
        columns.append(c);
    }
    QString sql = QStringLiteral("SELECT rowid");
    for (int c : columns)
        sql += QStringLiteral(", ") + QLatin1String(Columns[c].name);
    sql += QStringLiteral(" FROM FILES");
    if (!where.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    const QString order = stripOrderBy(orderBy);
    sql += order.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                           : QStringLiteral(" ORDER BY ") + order + QStringLiteral(", rowid");
    RawStatement q;
    if (!q.prepare(m_statements->handle, sql))
        return fail(QStringLiteral("read"), q.error());
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values[i]);
    QVariantList row;
    row.resize(columns.size());
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        for (int i = 0; i < columns.size(); ++i)
            row[i] = fromStored(Columns[columns[i]], q.column(i + 1));
        if (!fn(q.int64(0), row))
            return true;
    }
    if (rc != SQLITE_DONE)
        return fail(QStringLiteral("read"), q.error());
    return true;
}

bool Catalogue::markMatched(const QVector<double> &recnums)
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return false;
    }
    return transaction([&] {
        RawStatement &q = m_statements->markRecnum;
        if (!q.prepare(m_statements->handle,
                       QStringLiteral("UPDATE FILES SET ACTIVE = '*' WHERE RECNUM = ?")))
            return fail(QStringLiteral("changed"), q.error());
        for (double n : recnums) {
            sqlite3_bind_double(q.handle(), 1, n);
            const int rc = q.step();
            q.reset();
            if (rc != SQLITE_DONE)
                return fail(QStringLiteral("changed"), q.error());
        }
        return true;
    });
}

std::optional<qint64> Catalogue::insert(const FilesRecord &record)
{
    if (refuseWrite())
        return std::nullopt;
    RawStatement &q = m_statements->rawInsert;
    if (!q.isPrepared()) {
        QStringList marks;
        for (size_t i = 0; i < Columns.size(); ++i)
            marks << QStringLiteral("?");
        if (!q.prepare(m_statements->handle, QStringLiteral("INSERT INTO FILES (%1) VALUES (%2)")
                                                 .arg(columnList(), marks.join(QStringLiteral(", "))))) {
            fail(QStringLiteral("changed"), q.error(), q.code());
            return std::nullopt;
        }
    }
    for (int i = 0; i < int(Columns.size()); ++i)
        q.bind(i + 1, recordValue(record, Columns[size_t(i)]));
    const int rc = q.step();
    q.reset();
    if (rc != SQLITE_DONE) {
        fail(QStringLiteral("changed"), q.error(), q.code());
        return std::nullopt;
    }
    return qint64(sqlite3_last_insert_rowid(m_statements->handle));
}

bool Catalogue::update(qint64 rowId, const FilesRecord &record)
{
    if (refuseWrite())
        return false;
    QSqlQuery &q = m_statements->update;
    if (q.lastQuery().isEmpty()) {
        QStringList sets;
        for (const Column &c : Columns)
            sets << QLatin1String(c.name) + QStringLiteral(" = ?");
        if (!q.prepare(QStringLiteral("UPDATE FILES SET %1 WHERE rowid = ?")
                           .arg(sets.join(QStringLiteral(", "))))) {
            return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
        }
    }
    const int n = int(Columns.size());
    for (int i = 0; i < n; ++i)
        q.bindValue(i, recordValue(record, Columns[i]));
    q.bindValue(n, rowId);
    if (!q.exec())
        return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
    if (q.numRowsAffected() != 1)
        return fail(QStringLiteral("changed"), QStringLiteral("row %1 does not exist").arg(rowId));
    return true;
}

bool Catalogue::setField(qint64 rowId, const QString &field, const QVariant &value)
{
    if (refuseWrite())
        return false;
    const int i = columnIndex(field.trimmed());
    if (i < 0)
        return fail(QStringLiteral("changed"), QStringLiteral("it has no field %1").arg(field));
    QVariant stored;
    if (!toStored(Columns[i], value, &stored)) {
        return fail(QStringLiteral("changed"),
                    QStringLiteral("%1 does not fit the field %2").arg(value.toString(), field));
    }
    QSqlQuery &q = m_statements->setField[i];
    if (q.lastQuery().isEmpty()) {
        q = QSqlQuery(database());
        // The name comes from the table's own list, never from the caller's text.
        if (!q.prepare(QStringLiteral("UPDATE FILES SET %1 = ? WHERE rowid = ?")
                           .arg(QLatin1String(Columns[i].name)))) {
            return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
        }
    }
    q.bindValue(0, stored);
    q.bindValue(1, rowId);
    if (!q.exec())
        return fail(QStringLiteral("changed"), q.lastError().text(), sqlCode(q.lastError()));
    if (q.numRowsAffected() != 1)
        return fail(QStringLiteral("changed"), QStringLiteral("row %1 does not exist").arg(rowId));
    return true;
}

QVariant Catalogue::field(qint64 rowId, const QString &field) const
{
    if (!isOpen())
        return {};
    const int i = columnIndex(field.trimmed());
    if (i < 0) {
        fail(QStringLiteral("read"), QStringLiteral("it has no field %1").arg(field));
        return {};
    }
    QSqlQuery &q = m_statements->getField[i];
    if (q.lastQuery().isEmpty()) {
        q = QSqlQuery(database());
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT %1 FROM FILES WHERE rowid = ?")
                           .arg(QLatin1String(Columns[i].name)))) {
            fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
            return {};
        }
    }
    q.bindValue(0, rowId);
    if (!q.exec()) {
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
        return {};
    }
    QVariant value;
    if (q.next())
        value = fromStored(Columns[i], q.value(0));
    q.finish();
    return value;
}

qint64 Catalogue::rowCount() const
{
    if (!isOpen())
        return 0;
    QSqlQuery &q = m_statements->count;
    if (q.lastQuery().isEmpty()) {
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT count(*) FROM FILES"))) {
            fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
            return 0;
        }
    }
    qint64 n = 0;
    if (q.exec() && q.next())
        n = q.value(0).toLongLong();
    else
        fail(QStringLiteral("read"), q.lastError().text(), sqlCode(q.lastError()));
    q.finish();
    return n;
}

void Catalogue::useLargeCache()
{
    if (!isOpen())
        return;
    // The pages a walk reads once are left to the system's file cache; the rows it reads
    // again come from this page cache. No memory map, so that a walk over a catalogue of a
    // million rows keeps its memory small.
    QSqlQuery q(database());
    q.exec(QStringLiteral("PRAGMA cache_size=-32768"));
}

bool Catalogue::transaction(const std::function<bool()> &fn)
{
    if (refuseWrite())
        return false;
    if (m_transactionDepth > 0) {
        // Joins the transaction already running; its failure dooms the outer one.
        ++m_transactionDepth;
        const bool ok = fn();
        --m_transactionDepth;
        if (!ok)
            m_transactionFailed = true;
        return ok;
    }

    QSqlDatabase db = database();
    if (!db.transaction())
        return fail(QStringLiteral("changed"), db.lastError().text(), sqlCode(db.lastError()));
    // Rolls back on every way out that did not commit.
    struct Guard
    {
        QSqlDatabase &db;
        bool done = false;
        ~Guard()
        {
            if (!done)
                db.rollback();
        }
    } guard{db};

    m_transactionDepth = 1;
    m_transactionFailed = false;
    const bool ok = fn() && !m_transactionFailed;
    m_transactionDepth = 0;
    m_transactionFailed = false;
    if (!ok)
        return false;
    guard.done = true;
    if (!db.commit()) {
        fail(QStringLiteral("changed"), db.lastError().text(), sqlCode(db.lastError()));
        db.rollback();
        return false;
    }
    return true;
}

bool Catalogue::compactInto(const QString &targetPath)
{
    if (!isOpen()) {
        m_error = QStringLiteral("No catalogue is open.");
        return false;
    }
    if (QFileInfo::exists(targetPath)) {
        m_error = QStringLiteral("The catalogue %1 cannot be compacted into %2: that file "
                                 "already exists.")
                      .arg(shown(m_path), shown(targetPath));
        return false;
    }
    return exec(QStringLiteral("VACUUM INTO ?"), {targetPath});
}
