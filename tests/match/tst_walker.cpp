// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "matchfixture.h"
#include "walker.h"

#include <gtest/gtest.h>

namespace {

using Mode = MatchOptions::Mode;

class WalkerTest : public ::testing::Test
{
protected:
    // Opens a walker on the rows added so far, standing on the first row.
    Walker &walk(MatchOptions options, PatternSource source = PatternSource::Index)
    {
        walker = std::make_unique<Walker>(db.catalogue(), options, view,
                                          PairTest::defaultContentCompare(), source);
        view.walker = walker.get();
        EXPECT_TRUE(walker->open()) << walker->error().toStdString();
        walker->positionAt(0);
        return *walker;
    }
    QStringList forwardToEnd(Walker &w)
    {
        view.shown.clear();
        for (int i = 0; i < 100 && !view.shown.contains(QStringLiteral("end")); ++i)
            w.FindNextPair();
        return view.shown;
    }
    static MatchOptions mode(Mode m)
    {
        MatchOptions o;
        o.mode = m;
        return o;
    }

    CatalogueFixture db;
    // Writes down what the walker shows; Stop is pressed during comparison number stopAt.
    struct View : RecordingView
    {
        int stopAt = 0, comparisons = 0;
        void comparing(double, double) override
        {
            if (++comparisons == stopAt)
                walker->requestStop();
        }
    } view;
    std::unique_ptr<Walker> walker;
};

// A row of a picture whose pattern has darkCells dark cells in a run from offset.
Row patterned(const QString &name, int darkCells, int offset = 0, const QString &path = "/pics/")
{
    Row row{name, path};
    row.pxlray = pattern(darkCells, offset);
    return row;
}

TEST_F(WalkerTest, EachModeWalksItsOwnOrder)
{
    // Every mode over one set of rows: which neighbours meet depends on the browse order.
    const QString grey = QStringLiteral("R100 G100 B100");
    db.add({{"IMG1.JPG", "/pics/", 10, "X", grey, pattern(10)},
            {"img2.jpg", "/pics/", 20, "Y", "R101 G100 B100", pattern(12)},
            {"IMG1.GIF", "/pics/", 10, "X", grey, pattern(50)},
            {"photo.jpg", "/pics/", 10, "X", "R120 G100 B100", pattern(11)},
            {"IMG1.JPG", "/x/", 20, "Y", " ", pattern(50, 1)}});
    const struct
    {
        Mode mode;
        bool ignore;
        int tolerance;
        QStringList pairs;
    } cases[] = {
        {Mode::Name, false, 0, {"IMG1.JPG-/x/IMG1.JPG"}},
        {Mode::Name, true, 0, {"IMG1.JPG-IMG1.GIF", "IMG1.GIF-/x/IMG1.JPG"}},
        // Only neighbours meet: the two JPEGs of 10 bytes have the GIF between them.
        {Mode::Size, false, 0, {"img2.jpg-/x/IMG1.JPG"}},
        {Mode::NameSize, false, 0, {}},
        {Mode::Numbered, false, 0, {"IMG1.JPG-img2.jpg", "img2.jpg-/x/IMG1.JPG"}},
        {Mode::Checksum,
         false,
         0,
         {"IMG1.JPG-IMG1.GIF", "IMG1.GIF-photo.jpg", "img2.jpg-/x/IMG1.JPG"}},
        {Mode::AverageRgb, false, 1, {}},
        {Mode::AverageRgb, true, 1, {"IMG1.JPG-IMG1.GIF", "IMG1.GIF-img2.jpg"}},
        {Mode::Pattern,
         false,
         2,
         {"IMG1.JPG-img2.jpg", "IMG1.JPG-photo.jpg", "img2.jpg-IMG1.JPG", "img2.jpg-photo.jpg",
          "IMG1.GIF-/x/IMG1.JPG", "photo.jpg-IMG1.JPG", "photo.jpg-img2.jpg",
          "/x/IMG1.JPG-IMG1.GIF"}},
    };
    for (const auto &c : cases) {
        MatchOptions o = mode(c.mode);
        o.ignoreType = c.ignore;
        o.tolerance = qint16(c.tolerance);
        QStringList expected = c.pairs;
        expected << QStringLiteral("end");
        EXPECT_EQ(forwardToEnd(walk(o)), expected) << int(c.mode) << c.ignore;
    }
}

TEST_F(WalkerTest, DeletedRowsChangeWhatIsComparedNext)
{
    QVector<Row> rows;
    for (int i = 1; i <= 6; ++i)
        rows << Row{QStringLiteral("A.JPG"), QStringLiteral("/%1/").arg(i)};
    const QVector<qint64> ids = db.add(rows);
    Walker &w = walk(mode(Mode::Name));
    const auto tag = [&](MatchRecord &shown, int row) {
        db.tag(ids[row]);
        shown.RTAG = QStringLiteral("D");
    };
    w.FindNextPair();
    tag(w.candidate(), 1); // the candidate goes: the reference meets the row after it
    w.FindNextPair();
    tag(w.reference(), 0); // the reference goes: its candidate becomes the reference
    w.FindNextPair();
    tag(w.reference(), 2); // both go: the next row leads
    tag(w.candidate(), 3);
    w.FindNextPair();
    w.FindNextPair();
    EXPECT_EQ(view.shown, QStringList({"/1/A.JPG-/2/A.JPG", "/1/A.JPG-/3/A.JPG",
                                       "/3/A.JPG-/4/A.JPG", "/5/A.JPG-/6/A.JPG", "end"}));
}

// Neighbours in a run are paired, never the first with the third; going back, the later row is
// the reference.
TEST_F(WalkerTest, PreviousMirrorsNext)
{
    db.add({{"A.JPG", "/1/"}, {"A.JPG", "/2/"}, {"A.JPG", "/3/"}, {"B.JPG"}});
    Walker &w = walk(mode(Mode::Name));
    w.FindNextPair();
    w.FindNextPair();
    w.FindPreviousPair();
    w.FindPreviousPair();
    w.FindPreviousPair();
    w.FindNextPair();
    EXPECT_EQ(view.shown, QStringList({"/1/A.JPG-/2/A.JPG", "/2/A.JPG-/3/A.JPG",
                                       "/2/A.JPG-/1/A.JPG", "end", "end", "/1/A.JPG-/2/A.JPG"}));
}

TEST_F(WalkerTest, GroupsFillTheGridThenGoOnFromTheirLastMember)
{
    QVector<Row> rows;
    for (int i = 1; i <= 40; ++i)
        rows << Row{"SAME.JPG", QStringLiteral("/%1/").arg(i, 2, 10, QLatin1Char('0'))};
    rows << Row{QStringLiteral("ZZ.JPG")};
    db.add(rows);
    Walker &w = walk(mode(Mode::Name));
    w.FindNextGroup(28);
    ASSERT_EQ(w.group().count(), 28);
    EXPECT_EQ(w.group().members.first().PATH, QStringLiteral("/01/"));
    EXPECT_EQ(w.group().members.last().PATH, QStringLiteral("/28/"));
    w.FindNextGroup(28);
    ASSERT_EQ(w.group().count(), 13);
    EXPECT_EQ(w.group().members.first().PATH, QStringLiteral("/28/"));
    EXPECT_EQ(w.group().members.last().PATH, QStringLiteral("/40/"));
    w.FindNextGroup(28);
    EXPECT_EQ(view.shown, QStringList({"end"}));
    // And back again.
    w.FindPreviousGroup(28);
    EXPECT_EQ(w.group().members.first().PATH, QStringLiteral("/40/"));
}

TEST_F(WalkerTest, GroupRules)
{
    db.add({{"A.JPG", "/1/"},
            {"A.JPG", "/2/"},
            {"B.JPG", "/in/"},
            {"B.JPG", "/1/"},
            {"C.JPG", "/1/"},
            {"C.JPG", "/1/"}});
    MatchOptions exclusive = mode(Mode::Name);
    exclusive.exclusive = true;
    Walker &w = walk(exclusive);
    w.FindNextGroup(24); // A and B lie in two folders each: only the Cs form a group
    EXPECT_EQ(view.group(), QStringLiteral("/1/C.JPG /1/C.JPG"));

    MatchOptions ifcd = mode(Mode::Name);
    ifcd.ifcd = QStringLiteral("[] /in/");
    Walker &w2 = walk(ifcd);
    w2.FindNextGroup(24); // only the Bs have a member in the IFCD
    EXPECT_EQ(view.group(), QStringLiteral("/in/B.JPG /1/B.JPG"));
    w2.FindNextGroup(24);
    EXPECT_EQ(view.shown, QStringList({"end"}));
}

TEST_F(WalkerTest, SkipToNextAlpha)
{
    db.add({{"CAT1.JPG"}, {"CAT2.JPG"}, {"CAT3.JPG"}, {"DOG1.JPG"}, {"DOG2.JPG"}});
    Walker &w = walk(mode(Mode::Numbered));
    w.SkipToNextAlpha();
    EXPECT_EQ(view.shown, QStringList({"DOG1.JPG-DOG2.JPG"}));

    const std::pair<Mode, const char *> refusals[] = {
        {Mode::Size, "SIZE"}, {Mode::Checksum, "CHECKSUM"}, {Mode::AverageRgb, "Avg RGB"},
        {Mode::QuadRgb, "Quadrant RGB"}, {Mode::Pattern, "PATTERN"}};
    const QString refusal = QStringLiteral("Cannot skip to next major alpha in %1 mode (browse "
                                           "sequence not in name order).");
    for (const auto &r : refusals) {
        view.shown.clear();
        walk(mode(r.first)).SkipToNextAlpha();
        EXPECT_EQ(view.shown, QStringList(refusal.arg(QLatin1String(r.second))));
    }
}

TEST_F(WalkerTest, RecordsLeftAndTheResumeRow)
{
    const QVector<qint64> ids = db.add({{"A.JPG"}, {"B.JPG"}, {"C.JPG"}, {"D.JPG"}});
    db.tag(ids[3]); // tagged rows count too
    Walker &w = walk(mode(Mode::Name));
    w.browse().moveNext();
    EXPECT_EQ(w.CountRecordsLeft(), 2);
    EXPECT_EQ(w.browse().recnum(), 2); // back where it started
    w.browse().moveLast();
    EXPECT_EQ(w.CountRecordsLeft(), 0);
    // A search resumes at the row it names, or at the first when that row is gone.
    w.positionAt(3);
    EXPECT_EQ(w.browse().recnum(), 3);
    w.positionAt(99);
    EXPECT_EQ(w.browse().recnum(), 1);
}

class PatternWalkerTest : public WalkerTest, public ::testing::WithParamInterface<PatternSource>
{};

TEST_P(PatternWalkerTest, CandidatesInRecnumOrderEachPairFromBothSides)
{
    const QVector<qint64> ids =
        db.add({patterned("A.JPG", 20), patterned("B.JPG", 21), patterned("C.JPG", 60),
                patterned("D.JPG", 22), patterned("E.JPG", 24)});
    MatchOptions o = mode(Mode::Pattern);
    o.tolerance = 2;
    Walker &w = walk(o, GetParam());
    w.FindNextPair();
    w.FindNextPair();
    // The candidate D is deleted before the next search: it is passed over from now on.
    db.tag(ids[3]);
    w.candidate().RTAG = QStringLiteral("D");
    for (int i = 0; i < 4; ++i)
        w.FindNextPair();
    EXPECT_EQ(view.shown,
              QStringList({"A.JPG-B.JPG", "A.JPG-D.JPG", "B.JPG-A.JPG", "end", "end", "end"}));
}

TEST_P(PatternWalkerTest, StopShowsThePairInHandAndGoesOnFromThere)
{
    db.add({patterned("A.JPG", 20), patterned("B.JPG", 20, 50), patterned("C.JPG", 20)});
    view.stopAt = 1;
    Walker &w = walk(mode(Mode::Pattern), GetParam());
    w.FindNextPair();
    w.FindNextPair();
    if (GetParam() == PatternSource::Query) {
        // Stop during the first comparison (A with B, no match): A-B is shown, and the next
        // search goes on with C.
        EXPECT_EQ(view.shown, QStringList({"A.JPG-B.JPG", "A.JPG-C.JPG"}));
    } else {
        // The index offers only C, which matches: Stop then shows that pair.
        EXPECT_EQ(view.shown.first(), QStringLiteral("A.JPG-C.JPG"));
    }
}

TEST_P(PatternWalkerTest, ReferencesOutsideTheIfcdArePassedOver)
{
    db.add({patterned("A.JPG", 20, 0, "/x/"), patterned("B.JPG", 20, 0, "/in/"),
            patterned("C.JPG", 20, 0, "/x/")});
    MatchOptions o = mode(Mode::Pattern);
    o.ifcd = QStringLiteral("[] /in/");
    EXPECT_EQ(forwardToEnd(walk(o, GetParam())),
              QStringList({"/in/B.JPG-/x/A.JPG", "/in/B.JPG-/x/C.JPG", "end"}));
}

TEST_P(PatternWalkerTest, GroupsSpreadOverSeveralGrids)
{
    QVector<Row> rows;
    for (int i = 0; i < 30; ++i)
        rows << patterned(QStringLiteral("P%1.JPG").arg(i), 30);
    db.add(rows);
    Walker &w = walk(mode(Mode::Pattern), GetParam());
    w.FindNextGroup(24);
    EXPECT_EQ(w.group().count(), 24);
    w.FindNextGroup(24);
    EXPECT_EQ(w.group().count(), 7); // the reference and its last six candidates
    EXPECT_EQ(w.group().members.first().DISKNAME, QStringLiteral("P0.JPG"));
    EXPECT_EQ(w.group().members.last().DISKNAME, QStringLiteral("P29.JPG"));
    w.FindNextGroup(24);
    EXPECT_EQ(w.group().members.first().DISKNAME, QStringLiteral("P1.JPG"));
}

INSTANTIATE_TEST_SUITE_P(Sources, PatternWalkerTest,
                         ::testing::Values(PatternSource::Query, PatternSource::Index));

} // namespace
