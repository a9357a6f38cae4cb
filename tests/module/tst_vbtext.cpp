// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "vbtext.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(VbText, General)
{
    const struct { double value; const char *text; } rows[] = {
        {0, "0"}, {-0.0, "0"}, {12, "12"}, {-3, "-3"}, {2114000, "2114000"}, {100, "100"},
        {0.5, "0.5"}, {-0.5, "-0.5"}, {1234.5, "1234.5"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
        {0.0001, "0.0001"}, {0.00001, "1E-05"}, {-1.5e-5, "-1.5E-05"},
        {1e14, "100000000000000"}, {999999999999999, "999999999999999"}, {1e15, "1E+15"},
        {1.5e20, "1.5E+20"}, {-1.5e20, "-1.5E+20"}, {1e100, "1E+100"}, {1e-300, "1E-300"},
        {123456789012345678.0, "1.23456789012346E+17"},
        // Rounding to 15 digits can carry into a new digit and so into the other form.
        {999999999999999.9, "1E+15"}, {99999.99999999999, "100000"},
        {0.000099999999999999999, "0.0001"}, {9.999999999999999e-5, "0.0001"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(VbText::general(row.value), QLatin1String(row.text)) << row.text;
}

TEST(VbText, Print)
{
    const struct { double value; const char *text; } rows[] = {
        {0, " 0"}, {12, " 12"}, {-3, "-3"}, {0.5, " .5"}, {-0.5, "-.5"}, {0.0001, " .0001"},
        {-0.25, "-.25"}, {1.5, " 1.5"}, {2114000, " 2114000"}, {1e15, " 1E+15"},
        {1e-5, " 1E-05"}, {-2.5e-7, "-2.5E-07"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(VbText::print(row.value), QLatin1String(row.text)) << row.text;
}

TEST(VbText, LeadingNumber)
{
    const struct { const char *text; double value; } rows[] = {
        {"", 0}, {"LIST", 0}, {"12abc", 12}, {"-7 FILES", -7}, {"+5", 5}, {"--5", 0},
        {"1 2 3", 123}, {"\t 4\n2", 42}, {"1\r2", 1}, {" 3 . 5", 3.5}, {".5", 0.5},
        {"-.5", -0.5}, {".", 0}, {"-", 0}, {"1.2.3", 1.2}, {"1,234", 1},
        {"1.5E3", 1500}, {"1.5e-2", 0.015}, {"2D2", 200}, {"2d+2", 200}, {"1E", 1},
        {"1E+", 1}, {"12e3x", 12000}, {"1 E 2", 100}, {"1E400", 0},
        {"\xd9\xa3", 0}, // a digit outside ASCII is no digit here
        {"&H1F", 31}, {"&h1f", 31}, {" & H 1F", 31}, {"&O17", 15}, {"&o18", 1}, {"&HG", 0},
        {"&X1", 0}, {"&H", 0},
        // Hex and octal read as 16-bit, then 32-bit integers, as the literals do.
        {"&H7FFF", 32767}, {"&H8000", -32768}, {"&HFFFF", -1}, {"&HFFFF&", 65535},
        {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&H100000000", 0}, {"&O177777", -1},
    };
    for (const auto &row : rows)
        EXPECT_EQ(VbText::leadingNumber(QString::fromUtf8(row.text)), row.value) << row.text;
}

// Rounding halves to even; a value out of range gives 0.
TEST(VbText, ToInt16And32)
{
    const struct { double value; qint16 int16; qint32 int32; } rows[] = {
        {2.5, 2, 2}, {3.5, 4, 4}, {-2.5, -2, -2}, {-3.5, -4, -4}, {0.4999, 0, 0}, {-0.6, -1, -1},
        {32767.4, 32767, 32767}, {32767.5, 0, 32768}, {-32768.5, -32768, -32768}, {-32769, 0, -32769},
        {2147483646.5, 0, 2147483646}, {2147483647.5, 0, 0}, {-2147483648.5, 0, -2147483647 - 1},
        {-2147483649.0, 0, 0}, {1e20, 0, 0}, {nan, 0, 0}, {inf, 0, 0}, {-inf, 0, 0},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(VbText::toInt16(row.value), row.int16) << row.value;
        EXPECT_EQ(VbText::toInt32(row.value), row.int32) << row.value;
    }
}

} // namespace
