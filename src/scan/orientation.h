// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <array>
#include <cstddef>

// Where each cell of the 10 x 10 pattern grid moves when a picture is turned or mirrored, so
// that patterns can be compared whatever way up the picture was saved.
namespace Orientation {

enum Column { Unchanged = 0, QuarterClockwise = 1, HalfTurn = 2, QuarterAnticlockwise = 3,
              MirrorLeftRight = 4, MirrorTopBottom = 5 };
constexpr int Columns = 6;

// Row k - 1 holds, for grid cell k = 10a + b + 1 (a the column from the left, b the row from
// the bottom, k 1-based), the cell number k moves to under each of the six orientations.
using Table = std::array<std::array<int, Columns>, 100>;

// Fills the table; run once at start-up.
void BuildOrientationTable();
const Table &table();

} // namespace Orientation
