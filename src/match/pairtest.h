// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "matchoptions.h"
#include "matchrecord.h"

#include <QString>

#include <functional>

// The decision whether two catalogue rows are duplicates under the chosen mode and options.
// Every walker (pair review, snapshot, pre-match cycle, report) asks these functions; they keep
// no state and read nothing but their arguments.
namespace PairTest {

// Whether the two files' contents are equal (CHECKSUM mode with soft matching): volume tag and
// full path of each file. The program's is Checksum::CompareFiles.
using ContentCompare = std::function<bool(const QString &volume1, const QString &path1,
                                          const QString &volume2, const QString &path2)>;
ContentCompare defaultContentCompare();

// True when no IFCD is set, or when either directory text lies in it: the IFCD directory
// itself, or with tree mode also any directory below it. Texts are compared trimmed and
// upper-cased.
bool IfcdAllows(const QString &ifcd, bool treeMode, const QString &first, const QString &second);

// The one-sided "starts with" of soft name matching: the candidate's value matches the
// reference's value followed by "*" under the wildcard comparison, so "?", "#" and bracket lists
// in the reference act as wildcards. An invalid pattern never matches.
bool StartsWith(const QString &candidate, const QString &reference);

// Component c ('R', 'G' or 'B') at slot k of a colour text: the number in the 3 characters that
// start 1 + 4k characters after the first occurrence of c (counting from the start of the text
// when c does not occur); what does not read as a number counts as 0.
double ColourValue(const QString &text, QChar component, int slot);

// The colour test over 1 slot (average) or 4 slots (quadrants), without the extension
// condition and without the empty-RGB rule.
bool ColourTest(const QString &reference, const QString &candidate, int slotCount, int tolerance);

// Step 1 of the pair test: the mode's criterion (plain or, with soft matching, soft).
// PATTERN: the pattern test (distance within the tolerance, RECNUMs differ); the PXLNUM
// window belongs to the candidate query.
bool Criterion(const MatchOptions &options, const MatchRecord &reference,
               const MatchRecord &candidate);

// The exclusive filter: with chkEXCLUSIVE, the two directory texts must be equal exactly.
bool ExclusiveAllows(const MatchOptions &options, const MatchRecord &reference,
                     const MatchRecord &candidate);

// The whole pair test: criterion, IFCD filter (all modes but PATTERN; left out when applyIfcd
// is false, as group searches do), exclusive filter, and in CHECKSUM mode with soft matching the
// confirmation by content.
bool Matches(const MatchOptions &options, const MatchRecord &reference,
             const MatchRecord &candidate, const ContentCompare &compare, bool applyIfcd = true);

} // namespace PairTest
