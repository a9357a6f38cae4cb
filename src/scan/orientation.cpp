// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "orientation.h"

namespace Orientation {
namespace {

Table makeTable()
{
    Table t{};
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            const int k = 10 * a + b + 1;
            auto &row = t[std::size_t(k - 1)];
            row[Unchanged] = k;
            row[QuarterClockwise] = 10 * b + (9 - a) + 1;
            row[HalfTurn] = 101 - k;
            row[QuarterAnticlockwise] = 10 * (9 - b) + a + 1;
            row[MirrorLeftRight] = 10 * (9 - a) + b + 1;
            row[MirrorTopBottom] = 10 * a + (9 - b) + 1;
        }
    }
    return t;
}

// Filled before main() as well, so that a comparison made before start-up has run (a test, a
// tool) still finds the table.
Table s_table = makeTable();

} // namespace

void BuildOrientationTable()
{
    s_table = makeTable();
}

const Table &table()
{
    return s_table;
}

} // namespace Orientation
