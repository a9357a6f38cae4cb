// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "catalogue.h"
#include "identitykey.h"
#include "recordset.h"
#include "temphome.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QSqlQuery>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <functional>
#include <string>

namespace {

FilesRecord makeRow(const QString &diskName, const QString &path = QStringLiteral("/p/"))
{
    FilesRecord r;
    r.DRIVEVOLUME = QStringLiteral("[PHOTOS]");
    r.PATH = path;
    r.DISKNAME = diskName;
    r.WHOLENAME = diskName.toUpper();
    r.EXTENSION = QStringLiteral(".") + QFileInfo(diskName).suffix().toUpper();
    r.NAME = r.WHOLENAME.left(r.WHOLENAME.size() - 4);
    r.SIZE = 1000;
    r.DATE = QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9));
    r.STAG = IdentityKey::normal(diskName, 1000, r.DATE);
    r.REF = r.STAG;
    r.ACCESSED = 202401;
    return r;
}

// A catalogue made from a fresh template in a fresh program directory.
class CatalogueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(home.file(QStringLiteral("data")));
        ASSERT_TRUE(Catalogue::createTemplate(templatePath()));
        ASSERT_TRUE(Catalogue::createFromTemplate(templatePath(), cataloguePath()));
        ASSERT_TRUE(cat.open(cataloguePath())) << cat.lastError().toStdString();
    }
    QString templatePath() const { return home.file(QStringLiteral("vexa.mdb")); }
    QString cataloguePath() const { return home.file(QStringLiteral("data/Photos.mdb")); }

    qint64 add(const FilesRecord &r)
    {
        const std::optional<qint64> id = cat.insert(r);
        EXPECT_TRUE(id.has_value()) << cat.lastError().toStdString();
        return id.value_or(-1);
    }
    QStringList diskNames(RecordSet *set)
    {
        QStringList names;
        for (set->moveFirst(); !set->eof(); set->moveNext())
            names << set->field(QStringLiteral("DISKNAME")).toString();
        return names;
    }

    TempHome home;
    Catalogue cat;
};

// The template is one rollback-journal file with the ref index; a closed catalogue leaves no
// log beside it; neither file is ever written over, and a damaged template is reported.
TEST_F(CatalogueTest, TemplateAndCatalogueStandAloneAndAreNeverOverwritten)
{
    const QByteArray templ = home.read(QStringLiteral("vexa.mdb"));
    ASSERT_GT(templ.size(), 20);
    EXPECT_EQ(templ.left(16), QByteArray("SQLite format 3\0", 16));
    EXPECT_EQ(int(templ.at(18)), 1) << "template must not be in WAL mode";
    EXPECT_TRUE(queryRows(templatePath(), "SELECT name FROM sqlite_master WHERE type = 'index'")
                    .contains("ref"));
    add(makeRow(QStringLiteral("a.jpg")));
    cat.close();
    EXPECT_FALSE(QFileInfo::exists(cataloguePath() + "-wal"));
    EXPECT_FALSE(QFileInfo::exists(cataloguePath() + "-shm"));
    const QByteArray catalogue = home.read(QStringLiteral("data/Photos.mdb"));

    QString error;
    EXPECT_FALSE(Catalogue::createTemplate(templatePath(), &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(templatePath())));
    EXPECT_TRUE(Catalogue::ensureTemplate(templatePath()));
    EXPECT_TRUE(Catalogue::createFromTemplate(templatePath(), cataloguePath()));
    EXPECT_EQ(home.read(QStringLiteral("vexa.mdb")), templ);
    EXPECT_EQ(home.read(QStringLiteral("data/Photos.mdb")), catalogue);
    ASSERT_TRUE(cat.open(cataloguePath())) << cat.lastError().toStdString();
    EXPECT_EQ(cat.rowCount(), 1);

    // A template damaged on disk is reported, kept as it is, and not copied.
    home.write(QStringLiteral("vexa.mdb"), "not a database");
    EXPECT_FALSE(Catalogue::ensureTemplate(templatePath(), &error));
    EXPECT_EQ(home.read(QStringLiteral("vexa.mdb")), QByteArray("not a database"));
    EXPECT_FALSE(Catalogue::createFromTemplate(templatePath(), home.file("data/New.mdb"), &error));
    EXPECT_FALSE(home.exists(QStringLiteral("data/New.mdb")));

    // A missing template is made again.
    QFile::remove(templatePath());
    EXPECT_TRUE(Catalogue::ensureTemplate(templatePath()));
    EXPECT_TRUE(Catalogue::isCatalogue(templatePath()));
}

TEST(CatalogueOpen, RejectsWhatIsNotACatalogueAndLeavesItAlone)
{
    TempHome home;
    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    home.write("random.mdb", random);
    home.write("text.mdb", "FILES\r\nthis is a note, not a catalogue\r\n");
    home.write("empty.mdb", QByteArray());
    queryRows(home.file("other.mdb"), "CREATE TABLE PHOTOS (NAME TEXT)");
    queryRows(home.file("partial.mdb"), "CREATE TABLE files (NAME TEXT, PATH TEXT)");

    const struct { const char *file, *message; } cases[] = {
        {"missing.mdb", "does not exist"},
        {"random.mdb", "is not a Vexa! catalogue database."},
        {"text.mdb", "is not a Vexa! catalogue database."},
        {"empty.mdb", "is not a Vexa! catalogue database."},
        {"other.mdb", "is not a Vexa! catalogue database."},
        {"partial.mdb", "has no field RECNUM"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = home.file(c.file);
        const QByteArray before = home.read(c.file);
        Catalogue cat;
        EXPECT_FALSE(cat.open(path));
        EXPECT_TRUE(cat.lastError().contains(QDir::toNativeSeparators(path)) &&
                    cat.lastError().contains(c.message))
            << cat.lastError().toStdString();
        EXPECT_FALSE(Catalogue::isCatalogue(path));
        EXPECT_EQ(home.read(c.file), before);
        EXPECT_EQ(home.exists(c.file), QByteArray(c.file) != "missing.mdb");
        EXPECT_FALSE(home.exists(QString(c.file) + "-wal"));
    }
}

TEST_F(CatalogueTest, BulkStatementsTouchOnlyTheirRows)
{
    const struct { const char *name, *active, *rtag; double recnum, accessed; } rows[] = {
        {"a.jpg", " ", "D", 1, 202301},
        {"b.jpg", "X", " ", 2, 202306},
        {"c.jpg", "X", "d", 2, 202307},
        {"d.jpg", "*", " ", 0, 202305},
        {"e.jpg", " ", " ", 0, 202308}, // cleared but for its REF
    };
    // Each remaining row as "name=value", with a slash between the values of several fields.
    const struct
    {
        const char *what;
        std::function<bool(Catalogue &)> run;
        const char *fields;
        QStringList expected;
    } cases[] = {
        {"D1",
         [](Catalogue &c) { return c.deleteTagged(); },
         "RTAG",
         {"b.jpg= ", "c.jpg=d", "d.jpg= ", "e.jpg= "}},
        {"D2",
         [](Catalogue &c) { return c.deleteAccessedBefore(202306); },
         "ACCESSED",
         {"b.jpg=202306", "c.jpg=202307", "e.jpg=202308"}},
        {"D1 and D2",
         [](Catalogue &c) { return c.deleteTaggedAndAccessedBefore(202306); },
         "RTAG,ACCESSED",
         {"b.jpg= /202306", "c.jpg=d/202307", "e.jpg= /202308"}},
        {"U1",
         [](Catalogue &c) { return c.resetMarks(); },
         "ACTIVE,RECNUM,RTAG,REF",
         {"a.jpg= /0/ /A.JPG", "b.jpg= /0/ /B.JPG", "c.jpg= /0/ /C.JPG", "d.jpg= /0/ /D.JPG",
          "e.jpg= /0/ /E.JPG"}},
        {"U2",
         [](Catalogue &c) { return c.markMatched(2); },
         "ACTIVE",
         {"a.jpg= ", "b.jpg=*", "c.jpg=*", "d.jpg=*", "e.jpg= "}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QSqlQuery(cat.database()).exec(QStringLiteral("DELETE FROM FILES"));
        for (const auto &r : rows) {
            FilesRecord rec = makeRow(QLatin1String(r.name));
            rec.ACTIVE = QLatin1String(r.active);
            rec.RTAG = QLatin1String(r.rtag);
            rec.RECNUM = r.recnum;
            rec.ACCESSED = r.accessed;
            rec.STAG = rec.WHOLENAME;
            rec.REF = QString();
            add(rec);
        }
        ASSERT_TRUE(c.run(cat)) << cat.lastError().toStdString();
        std::unique_ptr<RecordSet> all = cat.selectAll();
        QStringList got;
        for (; !all->eof(); all->moveNext()) {
            QStringList values;
            for (const QString &field : QString(c.fields).split(','))
                values << all->field(field).toString();
            got << all->field("DISKNAME").toString() + "=" + values.join('/');
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(CatalogueTest, SelectsBindAwkwardNamesLiterally)
{
    const QString quoted = QStringLiteral("/p/it's 100%_done/");
    FilesRecord r = makeRow(QStringLiteral("o'brien \"50%\".jpg"), quoted);
    add(r);
    add(makeRow(QStringLiteral("x.jpg"), quoted));
    FilesRecord marked = makeRow(QStringLiteral("y.jpg"), quoted);
    marked.ACTIVE = "X";
    add(marked);
    add(makeRow(QStringLiteral("z.png"), quoted));
    add(makeRow(QStringLiteral("w.jpg"), QStringLiteral("/p/it's 100xxdone/")));
    FilesRecord numbered = makeRow(QStringLiteral("o'brien \"50%\".jpg"));
    numbered.RECNUM = 7;
    add(numbered);
    add(makeRow(QStringLiteral("o'brien \"50x\".jpg")));

    const struct
    {
        const char *what;
        std::function<std::unique_ptr<RecordSet>()> query;
        QStringList expected;
    } cases[] = {
        {"S2 directory and type, not X",
         [&] { return cat.selectForReactivation("[PHOTOS]", quoted, ".JPG"); },
         {"o'brien \"50%\".jpg", "x.jpg"}},
        {"S2 % is no wildcard",
         [&] { return cat.selectForReactivation("[PHOTOS]", "/p/it's %/", ".JPG"); },
         {}},
        {"S3",
         [&] { return cat.selectByRecnumAndName(7, "O'BRIEN \"50%\".JPG"); },
         {"o'brien \"50%\".jpg"}},
        {"S3 other number",
         [&] { return cat.selectByRecnumAndName(0, "O'BRIEN \"50%\".JPG"); },
         {"o'brien \"50%\".jpg"}},
        {"select with order",
         [&] { return cat.select("PATH = ?", "order by EXTENSION desc", {quoted}); },
         {"z.png", "o'brien \"50%\".jpg", "x.jpg", "y.jpg"}},
        {"S1",
         [&] { return cat.selectAll(); },
         {"o'brien \"50%\".jpg", "x.jpg", "y.jpg", "z.png", "w.jpg", "o'brien \"50%\".jpg",
          "o'brien \"50x\".jpg"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<RecordSet> set = c.query();
        ASSERT_TRUE(set) << cat.lastError().toStdString();
        EXPECT_EQ(diskNames(set.get()), c.expected);
    }
    EXPECT_FALSE(cat.select("NOSUCHFIELD = ?", QString(), {1}));
    EXPECT_FALSE(cat.lastError().isEmpty());
}

// Names and paths are kept whole however long they are; only the one-letter flags are cut.
TEST_F(CatalogueTest, RecordRoundTripsAndOnlyFlagsAreCut)
{
    FilesRecord r =
        makeRow(QStringLiteral("Photo 1.jpg"), QStringLiteral("/") + QString(4000, 'p') + "/");
    r.CHECKSUM = QString(255, QLatin1Char('c'));
    r.X = 32767;
    r.Y = -32768;
    r.XYRATIO = 1.5;
    r.PXLNUM = 100;
    r.ACTIVE = QStringLiteral("X*");
    const qint64 id = add(r);

    const std::optional<FilesRecord> back = cat.read(id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->CHECKSUM, r.CHECKSUM);
    EXPECT_EQ(back->ACTIVE, QStringLiteral("X"));
    EXPECT_EQ(QPointF(back->X, back->Y), QPointF(32767, -32768));
    EXPECT_EQ(back->XYRATIO, 1.5);
    EXPECT_EQ(back->STAG, r.STAG);
    EXPECT_EQ(back->PATH, r.PATH);
    EXPECT_EQ(back->DATE, r.DATE);
    QSqlQuery raw(cat.database());
    ASSERT_TRUE(raw.exec(QStringLiteral("SELECT DATE FROM FILES")) && raw.next());
    EXPECT_EQ(raw.value(0).toString(), QStringLiteral("2024-02-29 13:05:09"));
    EXPECT_FALSE(cat.update(id + 1, r));
    EXPECT_FALSE(cat.read(id + 1));
    r.SIZE = 5;
    EXPECT_TRUE(cat.update(id, r));
    EXPECT_EQ(cat.read(id)->SIZE, 5);
}

// The pre-scan's table hands out the rows under one key lowest first, each once, whether the
// key comes as the catalogue's UTF-8 bytes or as text; only the whole key finds a row.
TEST(RefTable, RowsSharingAKeyAreTakenInOrderOnce)
{
    RefTable table;
    const QString summer = QStringLiteral("\u00c9T\u00c9.JPG 10 2024-07-01 12:00:00");
    table.add(QStringLiteral("A"), 1);
    table.add(QByteArrayView("B"), 2);
    table.add(QByteArrayView("A"), 3);
    const QByteArray summerBytes = summer.toUtf8();
    table.add(QByteArrayView(summerBytes), 4);
    table.add(QStringLiteral("A"), 5);
    // Enough keys to outgrow the table more than once.
    for (int i = 0; i < 5000; ++i)
        table.add(QStringLiteral("K%1").arg(i), 100 + i);
    const struct
    {
        QString ref;
        std::optional<qint64> expected;
    } takes[] = {{"A", 1},        {"A", 3},         {"B", 2},       {"AB", {}},    {"", {}},
                 {"a", {}},       {summer, 4},      {summer, {}},   {"A", 5},      {"A", {}},
                 {"B", {}},       {"K4999", 5099},  {"K0", 100},    {"K", {}},     {"K49999", {}}};
    for (const auto &t : takes)
        EXPECT_EQ(table.take(t.ref), t.expected) << t.ref.toStdString();
    EXPECT_EQ(table.size(), 4998);
}

// A catalogue is trusted without walking its pages only while it is exactly as a clean close
// left it: any write to the file, even one that puts its times back, a log left by a crash,
// a connection still open (the record goes at open), or damage met through another connection
// makes the next open check it again.
TEST_F(CatalogueTest, PagesAreCheckedAgainUnlessUntouchedSinceACleanClose)
{
    const QString longPath = "/" + QString(200, 'p') + "/";
    ASSERT_TRUE(cat.transaction([&] {
        for (int i = 0; i < 400; ++i)
            add(makeRow(QString("pic%1.jpg").arg(i), longPath));
        return true;
    }));
    cat.close();
    const QByteArray sound = home.read("data/Photos.mdb");
    // Zeros over a page of rows, the file's times put back as they were.
    auto zerosInPlace = [](const QString &path) {
        const QString page = queryRows(path, "SELECT pageno FROM dbstat WHERE name = 'FILES' AND "
                                             "pagetype = 'leaf' LIMIT 1 OFFSET 5")
                                 .value(0);
        ASSERT_FALSE(page.isEmpty());
        struct stat before;
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.seek((page.toLongLong() - 1) * 4096));
            ASSERT_EQ(f.write(QByteArray(4096, '\0')), 4096);
        }
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    Catalogue other;
    const struct
    {
        const char *what;
        std::function<void(const QString &)> touch;
        bool opens, checked;
    } cases[] = {
        {"untouched", [](const QString &) {}, true, false},
        {"rewritten with its own bytes",
         [](const QString &path) { ASSERT_TRUE(writeFile(path, readFile(path))); }, true, true},
        {"a log beside it",
         [](const QString &path) { ASSERT_TRUE(writeFile(path + "-wal", QByteArray())); }, true,
         true},
        {"still open elsewhere", [&](const QString &path) { ASSERT_TRUE(other.open(path)); }, true,
         true},
        {"zeros in the middle, its time put back", zerosInPlace, false, true},
        {"found damaged through another connection",
         [&](const QString &path) {
             Catalogue first;
             ASSERT_TRUE(first.open(path) && other.open(path));
             zerosInPlace(path);
             first.forEachRow("DISKNAME", QString(), QString(), {},
                              [](qint64, const QVariantList &) { return true; });
             ASSERT_TRUE(first.isDamaged());
             first.close();
             other.close(); // the last connection, which met no damage itself
             EXPECT_FALSE(QFileInfo::exists(Catalogue::checkedRecord(path)));
         },
         false, true},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        other.close();
        const QString path = home.file(QString("data/Case%1.mdb").arg(++n));
        ASSERT_TRUE(writeFile(path, sound));
        ASSERT_TRUE(cat.open(path));
        cat.close();
        ASSERT_TRUE(QFileInfo::exists(Catalogue::checkedRecord(path)));
        c.touch(path);
        const QByteArray bytes = readFile(path);
        EXPECT_EQ(cat.open(path), c.opens) << cat.lastError().toStdString();
        EXPECT_EQ(cat.wasChecked(), c.checked);
        EXPECT_EQ(Catalogue::isCatalogue(path), c.opens);
        if (!c.opens) {
            EXPECT_TRUE(cat.lastError().contains("is damaged")) << cat.lastError().toStdString();
            EXPECT_EQ(readFile(path), bytes);
        }
        cat.close();
    }
}

TEST_F(CatalogueTest, TransactionsCommitOnlyWhenAllWorkSucceeds)
{
    EXPECT_FALSE(cat.transaction([&] { return add(makeRow("a.jpg")) > 0 && false; }));
    EXPECT_EQ(cat.rowCount(), 0);
    EXPECT_FALSE(cat.transaction([&] {
        add(makeRow("a.jpg"));
        cat.transaction([] { return false; });
        return true;
    }));
    EXPECT_EQ(cat.rowCount(), 0);
    EXPECT_TRUE(cat.transaction(
        [&] { return cat.transaction([&] { return add(makeRow("a.jpg")) > 0; }); }));
    EXPECT_EQ(cat.rowCount(), 1);
}

TEST_F(CatalogueTest, CompactsIntoANewFileOnly)
{
    add(makeRow(QStringLiteral("a.jpg")));
    add(makeRow(QStringLiteral("it's.jpg")));
    home.write("data/taken.mdb", "keep");
    EXPECT_FALSE(cat.compactInto(home.file("data/taken.mdb")));
    EXPECT_EQ(home.read("data/taken.mdb"), QByteArray("keep"));

    const QString target = home.file("data/it's new.mdb");
    ASSERT_TRUE(cat.compactInto(target)) << cat.lastError().toStdString();
    Catalogue copy;
    ASSERT_TRUE(copy.open(target)) << copy.lastError().toStdString();
    EXPECT_EQ(diskNames(copy.selectAll().get()), QStringList({"a.jpg", "it's.jpg"}));
}

TEST(IdentityKey, BothFormsCutAndUpperCase)
{
    const QDateTime when(QDate(2023, 7, 4), QTime(9, 8, 7));
    const QString longPath = QStringLiteral("/") + QString(250, QLatin1Char('d')) + "/";
    const struct { QString key, expected;
    } cases[] = {
        {IdentityKey::normal("Cat ä.jpg", 123456, when), "CAT Ä.JPG 123456 2023-07-04 09:08:07"},
        {IdentityKey::normal("x.jpg", 0, when.toUTC()), "X.JPG 0 2023-07-04 09:08:07"},
        {IdentityKey::byLocation("[photos]", "/Pics/", "x.jpg", 5, when),
         "[PHOT/PICS/X.JPG 5 2023-07-04 09:08:07"},
        {IdentityKey::byLocation("[A]", "/a/", "b.jpg", 1, when),
         "[A]/A/B.JPG 1 2023-07-04 09:08:07"},
        {IdentityKey::byLocation("[PHOTOS]", longPath, "tail.jpg", 42, when),
         "[PHOT" + (longPath + "tail.jpg 42 2023-07-04 09:08:07").right(200).toUpper()},
        {IdentityKey::make(false, "[V]", "/p/", "n.gif", 3, when), "N.GIF 3 2023-07-04 09:08:07"},
        {IdentityKey::make(true, "[V]", "/p/", "n.gif", 3, when),
         "[V]/P/N.GIF 3 2023-07-04 09:08:07"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.key, c.expected);
    EXPECT_EQ(IdentityKey::byLocation("[PHOTOS]", longPath, "tail.jpg", 42, when).size(), 205);
}

// The pre-scan makes keys from a file's seconds since the epoch; they must equal the keys made
// from the same moment as a date-time, in winter, in summer and around the year's turns.
TEST(IdentityKey, SecondsGiveTheSameKeyAsDateTimes)
{
    const QByteArray oldZone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    for (const char *zone : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
        qputenv("TZ", zone);
        ::tzset();
        for (qint64 seconds :
             {qint64(0), qint64(1688461687), qint64(1703980799), qint64(1711846800),
              qint64(1729990799), qint64(4102444800), qint64(-86400)}) {
            const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
            SCOPED_TRACE(std::string(zone) + " " + std::to_string(seconds));
            EXPECT_EQ(IdentityKey::dateText(seconds), IdentityKey::dateText(local));
            EXPECT_EQ(IdentityKey::make(false, "[V]", "/p/", "n.gif", 7, seconds),
                      IdentityKey::make(false, "[V]", "/p/", "n.gif", 7, local));
            EXPECT_EQ(IdentityKey::make(true, "[V]", "/p/", "n.gif", 7, seconds),
                      IdentityKey::make(true, "[V]", "/p/", "n.gif", 7, local));
        }
    }
    if (hadZone)
        qputenv("TZ", oldZone);
    else
        qunsetenv("TZ");
    ::tzset();
}

class RecordSetTest : public CatalogueTest
{
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        // Row ids 1..5; RECNUM runs the other way so that an ordered set differs from rowid
        // order. Rows 2 and 4 are marked "X".
        for (int i = 1; i <= 5; ++i) {
            FilesRecord r;
            r.DISKNAME = QStringLiteral("f%1.jpg").arg(i);
            r.RECNUM = 6 - i;
            r.ACTIVE = i % 2 == 0 ? QStringLiteral("X") : QStringLiteral(" ");
            ASSERT_EQ(cat.insert(r), i);
        }
    }
    QString current(const RecordSet &set) { return set.record().value_or(FilesRecord()).DISKNAME; }
};

TEST_F(RecordSetTest, EmptySetIsAtBofAndEof)
{
    std::unique_ptr<RecordSet> set = cat.select("ACTIVE = ?", QString(), {"none"});
    ASSERT_TRUE(set);
    const std::function<void(RecordSet &)> moves[] = {
        [](RecordSet &) {}, [](RecordSet &s) { s.moveFirst(); }, [](RecordSet &s) { s.moveLast(); },
        [](RecordSet &s) { s.moveNext(); }, [](RecordSet &s) { s.movePrevious(); },
    };
    for (const auto &move : moves) {
        move(*set);
        EXPECT_TRUE(set->bof());
        EXPECT_TRUE(set->eof());
        EXPECT_FALSE(set->rowId());
        EXPECT_FALSE(set->record());
    }
}

TEST_F(RecordSetTest, WalksForwardToEofAndBackToBof)
{
    std::unique_ptr<RecordSet> set = cat.select(QString(), "RECNUM");
    ASSERT_TRUE(set);
    EXPECT_FALSE(set->bof()); // a new set stands on its first row
    QStringList forward;
    for (; !set->eof(); set->moveNext())
        forward << current(*set);
    EXPECT_EQ(forward, QStringList({"f5.jpg", "f4.jpg", "f3.jpg", "f2.jpg", "f1.jpg"}));
    set->moveNext();
    EXPECT_EQ(set->position(), 5);
    set->movePrevious();
    EXPECT_EQ(current(*set), QStringLiteral("f1.jpg"));

    QStringList backward;
    for (set->moveLast(); !set->bof(); set->movePrevious())
        backward << current(*set);
    EXPECT_EQ(backward.size(), 5);
    EXPECT_EQ(backward.first(), QStringLiteral("f1.jpg"));
    EXPECT_EQ(set->position(), -1);
    set->moveNext();
    EXPECT_EQ(current(*set), QStringLiteral("f5.jpg"));
}

TEST_F(RecordSetTest, RowsAreReadLiveAcrossSets)
{
    std::unique_ptr<RecordSet> reader = cat.selectAll();
    std::unique_ptr<RecordSet> tagger = cat.select("ACTIVE = ?", QString(), {"X"});
    ASSERT_TRUE(reader && tagger);
    reader->moveNext(); // f2
    ASSERT_EQ(tagger->rowId(), reader->rowId());
    FilesRecord tagged = *tagger->record();
    tagged.RTAG = QStringLiteral("D");
    ASSERT_TRUE(tagger->update(tagged));
    EXPECT_EQ(reader->record()->RTAG, QStringLiteral("D"));

    ASSERT_TRUE(cat.deleteTagged());
    EXPECT_EQ(reader->rowId(), 2);
    EXPECT_FALSE(reader->record());
    EXPECT_FALSE(tagger->update(FilesRecord()));
    reader->moveNext();
    EXPECT_EQ(current(*reader), QStringLiteral("f3.jpg"));
}

} // namespace
