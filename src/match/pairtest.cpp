// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "pairtest.h"

#include "checksum.h"
#include "patternsig.h"
#include "vbtext.h"
#include "wildcard.h"

#include <cmath>

namespace PairTest {

using Mode = MatchOptions::Mode;

ContentCompare defaultContentCompare()
{
    return &Checksum::CompareFiles;
}

bool IfcdAllows(const QString &ifcd, bool treeMode, const QString &first, const QString &second)
{
    const QString i = ifcd.trimmed().toUpper();
    if (i.isEmpty())
        return true;
    const QString a = first.trimmed().toUpper();
    const QString b = second.trimmed().toUpper();
    if (!treeMode)
        return a == i || b == i;
    // The IFCD text ends with the separator, so a sibling whose name merely begins with the
    // same letters is not taken for a directory below it.
    return a.startsWith(i) || b.startsWith(i);
}

bool StartsWith(const QString &candidate, const QString &reference)
{
    return Wildcard::like(candidate, reference + QLatin1Char('*'));
}

double ColourValue(const QString &text, QChar component, int slot)
{
    // The position of the letter counted from 1, or 0 when it is missing; the value's three
    // characters start 1 + 4 * slot characters after it.
    const int at = int(text.indexOf(component)) + 1;
    const QString digits = text.mid(at + 4 * slot, 3);
    return VbText::leadingNumber(digits);
}

bool ColourTest(const QString &reference, const QString &candidate, int slotCount, int tolerance)
{
    static const QChar components[] = {QLatin1Char('R'), QLatin1Char('G'), QLatin1Char('B')};
    for (QChar c : components) {
        for (int k = 0; k < slotCount; ++k) {
            const double difference =
                std::fabs(ColourValue(candidate, c, k) - ColourValue(reference, c, k));
            if (!(difference <= tolerance))
                return false;
        }
    }
    return true;
}

bool Criterion(const MatchOptions &o, const MatchRecord &ref, const MatchRecord &cand)
{
    const bool sameType = ref.EXTENSION == cand.EXTENSION;
    switch (o.mode) {
    case Mode::Name: {
        const bool plain = o.ignoreType ? ref.NAME == cand.NAME : ref.WHOLENAME == cand.WHOLENAME;
        return plain
               || (o.softMatch && StartsWith(cand.NAME, ref.NAME) && (o.ignoreType || sameType));
    }
    case Mode::Size:
        return ref.SIZE == cand.SIZE && sameType;
    case Mode::NameSize: {
        if (ref.SIZE != cand.SIZE)
            return false;
        const bool plain = o.ignoreType ? ref.NAME == cand.NAME : ref.WHOLENAME == cand.WHOLENAME;
        return plain
               || (o.softMatch && StartsWith(cand.NAME, ref.NAME) && (o.ignoreType || sameType));
    }
    case Mode::Numbered: {
        const bool plain =
            o.ignoreType ? ref.BASENAME == cand.BASENAME : ref.WHOLEBASE == cand.WHOLEBASE;
        return plain
               || (o.softMatch && StartsWith(cand.BASENAME, ref.BASENAME)
                   && (o.ignoreType || sameType));
    }
    case Mode::Checksum:
        return ref.CHECKSUM == cand.CHECKSUM;
    case Mode::AverageRgb:
    case Mode::QuadRgb: {
        // A reference whose average colour was never computed matches nothing, whichever
        // colour text the mode compares.
        if (ref.RGB.trimmed().isEmpty())
            return false;
        const bool quadrants = o.mode == Mode::QuadRgb;
        const QString &r = quadrants ? (o.softMatch ? ref.SOFTQRGB : ref.QRGB)
                                     : (o.softMatch ? ref.SOFTRGB : ref.RGB);
        const QString &c = quadrants ? (o.softMatch ? cand.SOFTQRGB : cand.QRGB)
                                     : (o.softMatch ? cand.SOFTRGB : cand.RGB);
        return ColourTest(r, c, quadrants ? 4 : 1, o.tolerance) && (o.ignoreType || sameType);
    }
    case Mode::Pattern:
        return PatternDistance(ref.PXLRAY, cand.PXLRAY, o.softMatch) <= o.tolerance
               && ref.RECNUM != cand.RECNUM;
    }
    return false;
}

bool ExclusiveAllows(const MatchOptions &o, const MatchRecord &ref, const MatchRecord &cand)
{
    return !o.exclusive || ref.directoryText() == cand.directoryText();
}

bool Matches(const MatchOptions &o, const MatchRecord &ref, const MatchRecord &cand,
             const ContentCompare &compare, bool applyIfcd)
{
    bool found = Criterion(o, ref, cand);
    if (found && applyIfcd && o.mode != Mode::Pattern)
        found = IfcdAllows(o.ifcd, o.treeModeIfcd, ref.directoryText(), cand.directoryText());
    if (found)
        found = ExclusiveAllows(o, ref, cand);
    if (found && o.mode == Mode::Checksum && o.softMatch)
        found = compare(ref.DRIVEVOLUME, ref.fullPath(), cand.DRIVEVOLUME, cand.fullPath());
    return found;
}

} // namespace PairTest
