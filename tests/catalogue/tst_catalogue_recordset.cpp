// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "catalogue.h"
#include "recordset.h"
#include "temphome.h"

#include <gtest/gtest.h>

namespace {

class RecordSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = home.file(QStringLiteral("Photos.mdb"));
        ASSERT_TRUE(Catalogue::createTemplate(path));
        ASSERT_TRUE(cat.open(path)) << cat.lastError().toStdString();
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
    QString current(const RecordSet &set) { return set.field("DISKNAME").toString(); }

    TempHome home;
    Catalogue cat;
};

TEST_F(RecordSetTest, EmptySetIsAtBofAndEof)
{
    std::unique_ptr<RecordSet> set = cat.select("ACTIVE = ?", QString(), {"none"});
    ASSERT_TRUE(set);
    const std::function<void(RecordSet &)> moves[] = {
        [](RecordSet &) {},
        [](RecordSet &s) { s.moveFirst(); },
        [](RecordSet &s) { s.moveLast(); },
        [](RecordSet &s) { s.moveNext(); },
        [](RecordSet &s) { s.movePrevious(); },
    };
    for (const auto &move : moves) {
        move(*set);
        EXPECT_TRUE(set->bof());
        EXPECT_TRUE(set->eof());
        EXPECT_FALSE(set->rowId());
        EXPECT_FALSE(set->record());
        EXPECT_FALSE(set->setField("RTAG", "D"));
        EXPECT_FALSE(set->findFirst("RECNUM > ?", {0}));
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

TEST_F(RecordSetTest, FindFirstFollowsSetOrder)
{
    std::unique_ptr<RecordSet> set = cat.select(QString(), "RECNUM");
    set->moveLast();
    const struct
    {
        const char *where;
        QVariantList values;
        bool found;
        const char *expected; // current row afterwards
    } cases[] = {
        {"ACTIVE = ?", {"X"}, true, "f4.jpg"},
        {"DISKNAME IN (?, ?)", {"f1.jpg", "f3.jpg"}, true, "f3.jpg"},
        {"ACTIVE = ?", {"*"}, false, "f3.jpg"},
        {"RECNUM < ?", {3}, true, "f5.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(set->findFirst(QLatin1String(c.where), c.values), c.found);
        EXPECT_EQ(current(*set), QLatin1String(c.expected));
    }
}

TEST_F(RecordSetTest, FieldsAreReadLiveAcrossSets)
{
    std::unique_ptr<RecordSet> reader = cat.selectAll();
    std::unique_ptr<RecordSet> tagger = cat.select("ACTIVE = ?", QString(), {"X"});
    ASSERT_TRUE(reader && tagger);
    reader->moveNext(); // f2
    ASSERT_EQ(tagger->rowId(), reader->rowId());

    ASSERT_TRUE(tagger->setField("rtag", "D"));
    EXPECT_EQ(reader->field("RTAG").toString(), QStringLiteral("D"));
    EXPECT_EQ(reader->record()->RTAG, QStringLiteral("D"));

    ASSERT_TRUE(cat.deleteTagged());
    EXPECT_EQ(reader->rowId(), 2);
    EXPECT_FALSE(reader->record());
    EXPECT_FALSE(reader->field("DISKNAME").isValid());
    EXPECT_FALSE(reader->setField("RTAG", " "));
    EXPECT_FALSE(tagger->update(FilesRecord()));
    reader->moveNext();
    EXPECT_EQ(current(*reader), QStringLiteral("f3.jpg"));
}

TEST_F(RecordSetTest, AddNewAppendsAndBecomesCurrent)
{
    std::unique_ptr<RecordSet> set = cat.select("ACTIVE = ?", QString(), {"X"});
    std::unique_ptr<RecordSet> other = cat.selectAll();
    FilesRecord r;
    r.DISKNAME = QStringLiteral("new.jpg");
    const std::optional<qint64> id = set->addNew(r);
    ASSERT_TRUE(id);
    EXPECT_EQ(set->count(), 3);
    EXPECT_EQ(set->rowId(), id);
    EXPECT_EQ(current(*set), QStringLiteral("new.jpg"));
    set->moveNext();
    EXPECT_TRUE(set->eof());
    EXPECT_EQ(other->count(), 5);
    EXPECT_EQ(cat.rowCount(), 6);
}

} // namespace
