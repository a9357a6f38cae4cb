// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// The program's number <-> text conversions. Every file Vexa! writes (settings, lists, tag
// files, catalogue keys) uses these two forms, so they live in one place.
namespace VbText {

// General conversion: no blank before a non-negative number ("12", "-3", "0.5", "1E+15").
QString general(double value);

// Print form: a blank stands in the sign position of a non-negative number (" 12", "-3",
// " .5"); a fraction below one has no leading zero.
QString print(double value);

// Lenient parse of the leading number of a text: blanks, tabs and line feeds anywhere are
// skipped, an optional sign, digits, a decimal point and an exponent (E or D) are taken; the
// first other character ends the number. "&H" and "&O" prefixes read hex and octal. A text
// with no leading number reads as 0.
double leadingNumber(const QString &text);

// Rounds half to even, as the integer conversions do. Out of range reads as 0: a damaged
// settings file must never stop the program.
qint16 toInt16(double value);
qint32 toInt32(double value);

// Rounds half to even to a whole number (no range check).
double roundHalfEven(double value);

} // namespace VbText
