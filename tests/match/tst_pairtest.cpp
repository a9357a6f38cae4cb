// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "matchfixture.h"
#include "pairtest.h"

#include <gtest/gtest.h>

namespace {

using Mode = MatchOptions::Mode;

MatchRecord record(const Row &row, double recnum = 1)
{
    return MatchRecord::fromRow(qint64(recnum), filesRow(row, recnum));
}

// The picture turned a quarter clockwise: the cells of column a, row b move to column b,
// row 9 - a.
QString quarterTurn(const QString &p)
{
    QString q(100, QLatin1Char(' '));
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            q[10 * b + (9 - a)] = p[10 * a + b];
    return q;
}

struct PairCase
{
    const char *what;
    Mode mode;
    bool soft, ignore;
    Row ref, cand;
    bool match;
    int tolerance = 0;
    bool exclusive = false;
    const char *ifcd = "";
    bool tree = false;
};

class PairTestTable : public ::testing::TestWithParam<PairCase>
{};

TEST_P(PairTestTable, DecidesAsDesigned)
{
    const PairCase &c = GetParam();
    MatchOptions o;
    o.mode = c.mode;
    o.softMatch = c.soft;
    o.ignoreType = c.ignore;
    o.exclusive = c.exclusive;
    o.ifcd = QString::fromUtf8(c.ifcd);
    o.treeModeIfcd = c.tree;
    o.tolerance = qint16(c.tolerance);
    // Identical contents are only claimed for files of one name.
    auto sameContent = [](const QString &, const QString &a, const QString &, const QString &b) {
        return a.section(QLatin1Char('/'), -1) == b.section(QLatin1Char('/'), -1);
    };
    EXPECT_EQ(PairTest::Matches(o, record(c.ref, 1), record(c.cand, 2), sameContent), c.match)
        << c.what;
}

const QString Grey = QStringLiteral("R100 G100 B100");
const QString Q1 = QStringLiteral("R100 100 100 100 G100 100 100 100 B100 100 100 100");
const QString Q2 = QStringLiteral("R100 100 100 100 G100 100 100 100 B100 100 120 100");

INSTANTIATE_TEST_SUITE_P(
    Modes, PairTestTable,
    ::testing::Values(
        PairCase{"name equal", Mode::Name, false, false, {"CAT.JPG"}, {"cat.jpg", "/b/"}, true},
        PairCase{"name, other type", Mode::Name, false, false, {"CAT.JPG"}, {"CAT.GIF"}, false},
        PairCase{"name ignoring type", Mode::Name, false, true, {"CAT.JPG"}, {"CAT.GIF"}, true},
        PairCase{"soft: reference is the prefix", Mode::Name, true, true, {"CAT.JPG"}, {"CATALOG.GIF"}, true},
        PairCase{"soft is one-sided", Mode::Name, true, true, {"CATALOG.JPG"}, {"CAT.JPG"}, false},
        PairCase{"soft needs the type", Mode::Name, true, false, {"CAT.JPG"}, {"CATALOG.GIF"}, false},
        PairCase{"soft with the type", Mode::Name, true, false, {"CAT.JPG"}, {"CATALOG.JPG"}, true},
        PairCase{"# stands for a digit", Mode::Name, true, false, {"IMG#1.JPG"}, {"IMG51.JPG"}, true},
        PairCase{"an unclosed [ never matches", Mode::Name, true, true, {"IMG[1.JPG"}, {"IMG[12.JPG"}, false},
        PairCase{"size equal", Mode::Size, false, false, {"A.JPG", "/", 500}, {"B.JPG", "/", 500}, true},
        PairCase{"size, other type", Mode::Size, false, true, {"A.JPG", "/", 500}, {"B.GIF", "/", 500}, false},
        PairCase{"name and size", Mode::NameSize, false, false, {"A.JPG", "/", 5}, {"A.JPG", "/x/", 6}, false},
        PairCase{"soft name and size", Mode::NameSize, true, true, {"A.JPG", "/", 5}, {"AB.GIF", "/", 5}, true},
        PairCase{"numbered", Mode::Numbered, false, false, {"Holiday 01.JPG"}, {"holiday-7.jpg"}, true},
        PairCase{"numbered, other type", Mode::Numbered, false, false, {"HOL1.JPG"}, {"HOL2.GIF"}, false},
        PairCase{"numbered soft", Mode::Numbered, true, false, {"HOL1.JPG"}, {"HOLIDAY2.JPG"}, true},
        PairCase{"checksum equal", Mode::Checksum, false, false, {"A.JPG", "/", 1, "X"}, {"B.JPG", "/", 1, "X"}, true},
        PairCase{"checksum confirmed", Mode::Checksum, true, false, {"A.JPG", "/a/", 1, "X"}, {"A.JPG", "/b/", 1, "X"}, true},
        PairCase{"checksum refuted by content", Mode::Checksum, true, false, {"A.JPG", "/", 1, "X"}, {"B.JPG", "/", 1, "X"}, false},
        PairCase{"rgb within 5", Mode::AverageRgb, false, false, {"A.JPG", "/", 1, " ", Grey}, {"B.JPG", "/", 1, " ", "R105 G095 B100"}, true, 5},
        PairCase{"rgb 6 away", Mode::AverageRgb, false, false, {"A.JPG", "/", 1, " ", Grey}, {"B.JPG", "/", 1, " ", "R106 G100 B100"}, false, 5},
        PairCase{"rgb, other type", Mode::AverageRgb, false, false, {"A.JPG", "/", 1, " ", Grey}, {"B.GIF", "/", 1, " ", Grey}, false, 5},
        PairCase{"reference rgb not computed", Mode::AverageRgb, false, false, {"A.JPG", "/", 1, " ", " "}, {"B.JPG", "/", 1, " ", " "}, false, 99},
        PairCase{"quadrants alike", Mode::QuadRgb, false, false, {"A.JPG", "/", 1, " ", Grey, " ", "X", " ", Q1}, {"B.JPG", "/", 1, " ", Grey, " ", "X", " ", Q1}, true, 5},
        PairCase{"one quadrant's blue 20 away", Mode::QuadRgb, false, false, {"A.JPG", "/", 1, " ", Grey, " ", "X", " ", Q1}, {"B.JPG", "/", 1, " ", Grey, " ", "X", " ", Q2}, false, 5},
        PairCase{"candidate rgb empty reads as 0", Mode::AverageRgb, false, false, {"A.JPG", "/", 1, " ", "R001 G001 B001"}, {"B.JPG", "/", 1, " ", ""}, true, 1},
        PairCase{"exclusive: two folders", Mode::Name, false, false, {"A.JPG", "/a/"}, {"A.JPG", "/b/"}, false, 0, true},
        PairCase{"exclusive: one folder", Mode::Name, false, false, {"A.JPG", "/a/"}, {"A.JPG", "/a/"}, true, 0, true},
        PairCase{"ifcd: one file in it", Mode::Name, false, false, {"A.JPG", "/in/"}, {"A.JPG", "/x/"}, true, 0, false, "[] /IN/"},
        PairCase{"ifcd: both below it", Mode::Name, false, false, {"A.JPG", "/in/sub/"}, {"A.JPG", "/in/sub/"}, false, 0, false, "[] /in/"},
        PairCase{"ifcd tree: both below it", Mode::Name, false, false, {"A.JPG", "/in/sub/"}, {"A.JPG", "/in/sub/"}, true, 0, false, "[] /in/", true},
        PairCase{"ifcd tree: a sibling", Mode::Name, false, false, {"A.JPG", "/inbox/"}, {"A.JPG", "/inbox/"}, false, 0, false, "[] /in/", true},
        PairCase{"pattern within 3", Mode::Pattern, false, false, {"A.JPG", "/", 1, " ", " ", pattern(40)}, {"B.JPG", "/", 1, " ", " ", pattern(43)}, true, 3},
        PairCase{"pattern 4 apart", Mode::Pattern, false, false, {"A.JPG", "/", 1, " ", " ", pattern(40)}, {"B.JPG", "/", 1, " ", " ", pattern(44)}, false, 3},
        PairCase{"pattern turned, plain", Mode::Pattern, false, false, {"A.JPG", "/", 1, " ", " ", pattern(30, 3)}, {"B.JPG", "/", 1, " ", " ", quarterTurn(pattern(30, 3))}, false, 3},
        PairCase{"pattern turned, soft", Mode::Pattern, true, false, {"A.JPG", "/", 1, " ", " ", pattern(30, 3)}, {"B.JPG", "/", 1, " ", " ", quarterTurn(pattern(30, 3))}, true, 3},
        PairCase{"pattern too small", Mode::Pattern, false, false, {"A.JPG", "/", 1, " ", " ", "Image too small..."}, {"B.JPG", "/", 1, " ", " ", "Image too small..."}, false, 99},
        PairCase{"pattern ignores the ifcd", Mode::Pattern, false, false, {"A.JPG", "/x/", 1, " ", " ", pattern(9)}, {"B.JPG", "/y/", 1, " ", " ", pattern(9)}, true, 0, false, "[] /in/"}));

TEST(PairTest, ColourValuesFollowTheLetters)
{
    const struct
    {
        const char *text;
        char component;
        int slot;
        double value;
    } cases[] = {
        {"R128 G064 B032", 'G', 0, 64},
        {"R001 002 003 004 G005 006 007 008 B009 010 011 012", 'B', 3, 12},
        {"R001 002 003 004 G005 006 007 008 B009 010 011 012", 'G', 1, 6},
        {"128 G064", 'R', 0, 128}, // no R: read from the start
        {"R1.5 G0", 'R', 0, 1.5},
        {"RABC", 'R', 0, 0},
        {"R12", 'R', 0, 12},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(PairTest::ColourValue(text, QLatin1Char(c.component), c.slot), c.value) << c.text;
    }
}

TEST(PairTest, ToleranceRoundsHalvesToEven)
{
    const struct
    {
        const char *text;
        int tolerance;
    } cases[] = {{"7.5", 8}, {"6.5", 6}, {"", 0}, {"5", 5}, {" 12abc", 12}, {"abc", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(MatchOptions::toleranceOf(QString::fromUtf8(c.text)), c.tolerance) << c.text;
}

TEST(PairTest, BrowseOrderByModeAndOptions)
{
    const struct
    {
        Mode mode;
        bool ignore, exclusive;
        const char *order;
    } cases[] = {
        {Mode::Name, false, false, "WHOLENAME"},
        {Mode::Name, true, true, "PATH, NAME"},
        {Mode::NameSize, false, false, "WHOLENAME, SIZE"},
        {Mode::NameSize, true, false, "NAME, SIZE"},
        {Mode::Numbered, true, false, "BASENAME"},
        {Mode::Numbered, false, true, "PATH, WHOLEBASE"},
        {Mode::QuadRgb, false, false, "QRGB"},
        {Mode::Pattern, false, true, "RECNUM"},
    };
    for (const auto &c : cases) {
        MatchOptions o;
        o.mode = c.mode;
        o.ignoreType = c.ignore;
        o.exclusive = c.exclusive;
        EXPECT_EQ(o.browseOrder(), QString::fromUtf8(c.order));
    }
}

} // namespace
