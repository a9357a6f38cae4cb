// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "orientation.h"

#include <gtest/gtest.h>

#include <set>

using namespace Orientation;

namespace {

int moved(int cell, Column c)
{
    return table()[size_t(cell - 1)][c];
}

} // namespace

TEST(OrientationTable, EveryColumnIsAPermutationOfTheGrid)
{
    BuildOrientationTable();
    for (int c = 0; c < Columns; ++c) {
        std::set<int> seen;
        for (int k = 1; k <= 100; ++k)
            seen.insert(moved(k, Column(c)));
        EXPECT_EQ(seen.size(), 100u) << "column " << c;
        EXPECT_EQ(*seen.begin(), 1);
        EXPECT_EQ(*seen.rbegin(), 100);
    }
}

TEST(OrientationTable, TurnsAndMirrorsComposeAsOnScreen)
{
    BuildOrientationTable();
    for (int k = 1; k <= 100; ++k) {
        const int q = moved(k, QuarterClockwise);
        EXPECT_EQ(moved(q, QuarterAnticlockwise), k);
        EXPECT_EQ(moved(q, QuarterClockwise), moved(k, HalfTurn));
        EXPECT_EQ(moved(moved(k, MirrorLeftRight), MirrorLeftRight), k);
        EXPECT_EQ(moved(moved(k, MirrorLeftRight), MirrorTopBottom), moved(k, HalfTurn));
        EXPECT_EQ(moved(k, Unchanged), k);
    }
}

TEST(OrientationTable, CornersMoveWhereAPictureTurnedClockwiseShowsThem)
{
    BuildOrientationTable();
    // Cell 1 is the bottom-left corner (column 0, row 0), cell 10 the top-left corner.
    struct Case { int cell; Column column; int expected; };
    const Case cases[] = {
        {1, QuarterClockwise, 10},   // bottom-left goes to top-left
        {10, QuarterClockwise, 100}, // top-left goes to top-right
        {1, QuarterAnticlockwise, 91},
        {1, MirrorLeftRight, 91},
        {1, MirrorTopBottom, 10},
        {1, HalfTurn, 100},
        {45, HalfTurn, 56},
    };
    for (const Case &c : cases)
        EXPECT_EQ(moved(c.cell, c.column), c.expected) << c.cell << " col " << c.column;
}
