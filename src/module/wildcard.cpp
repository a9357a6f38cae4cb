// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "wildcard.h"

namespace Wildcard {
namespace {

// Matches one character against the bracket list starting after "[" at p; sets end to the
// index of the closing "]". False with end = -1 when the list is not closed.
bool inList(QChar c, const QString &pattern, int p, int &end)
{
    bool negate = false;
    if (p < pattern.size() && pattern[p] == QLatin1Char('!')) {
        negate = true;
        ++p;
    }
    bool found = false;
    bool first = true;
    while (p < pattern.size() && (pattern[p] != QLatin1Char(']') || first)) {
        // A "]" right after "[" or "[!" is an ordinary character of the list.
        first = false;
        const QChar lo = pattern[p];
        if (p + 2 < pattern.size() && pattern[p + 1] == QLatin1Char('-')
            && pattern[p + 2] != QLatin1Char(']')) {
            const QChar hi = pattern[p + 2];
            if (c >= lo && c <= hi)
                found = true;
            p += 3;
        } else {
            if (c == lo)
                found = true;
            ++p;
        }
    }
    if (p >= pattern.size()) {
        end = -1;
        return false;
    }
    end = p;
    return found != negate;
}

bool closedLists(const QString &pattern)
{
    for (int p = 0; p < pattern.size(); ++p) {
        if (pattern[p] != QLatin1Char('['))
            continue;
        int q = p + 1;
        if (q < pattern.size() && pattern[q] == QLatin1Char('!'))
            ++q;
        if (q < pattern.size() && pattern[q] == QLatin1Char(']'))
            ++q;
        while (q < pattern.size() && pattern[q] != QLatin1Char(']'))
            ++q;
        if (q >= pattern.size())
            return false;
        p = q;
    }
    return true;
}

} // namespace

bool like(const QString &text, const QString &pattern)
{
    if (!closedLists(pattern))
        return false;
    // Iterative matching with one backtrack point for the last "*": linear in practice and
    // never recursive, whatever the pattern.
    int t = 0, p = 0;
    int starP = -1, starT = 0;
    const int n = int(text.size()), m = int(pattern.size());
    while (t < n) {
        bool step = false;
        int next = p + 1;
        if (p < m) {
            const QChar pc = pattern[p];
            if (pc == QLatin1Char('*')) {
                starP = p++;
                starT = t;
                continue;
            }
            if (pc == QLatin1Char('?')) {
                step = true;
            } else if (pc == QLatin1Char('#')) {
                step = text[t] >= QLatin1Char('0') && text[t] <= QLatin1Char('9');
            } else if (pc == QLatin1Char('[')) {
                int end = -1;
                step = inList(text[t], pattern, p + 1, end);
                if (end < 0)
                    return false;
                next = end + 1;
            } else {
                step = text[t] == pc;
            }
        }
        if (step) {
            ++t;
            p = next;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < m && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == m;
}

} // namespace Wildcard
