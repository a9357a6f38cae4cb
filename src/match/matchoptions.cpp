// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "matchoptions.h"

#include "matchrecord.h"
#include "vbtext.h"

using Check = MainState::Check;

MatchOptions MatchOptions::fromState(const MainState &state)
{
    MatchOptions o;
    o.mode = state.mode();
    o.softMatch = state.isChecked(Check::SoftMatch);
    o.ignoreType = state.isChecked(Check::Ignore);
    o.exclusive = state.isChecked(Check::Exclusive);
    o.treeModeIfcd = state.isChecked(Check::TreeModeIfcd);
    o.ifcd = state.ifcd;
    o.tolerance = toleranceOf(state.tolerance);
    o.activeMark = state.isChecked(Check::PreMatch) ? QStringLiteral("*") : QStringLiteral("X");
    return o;
}

MatchOptions MatchOptions::forPreMatch(const MainState &state)
{
    MatchOptions o = fromState(state);
    o.preMatchCycle = true;
    return o;
}

qint16 MatchOptions::toleranceOf(const QString &text)
{
    return VbText::toInt16(VbText::leadingNumber(text));
}

QString MatchOptions::browseWhere() const
{
    return preMatchCycle ? QStringLiteral("(ACTIVE = 'X' OR ACTIVE = '*')")
                         : QStringLiteral("ACTIVE = ?");
}

QVariantList MatchOptions::browseValues() const
{
    return preMatchCycle ? QVariantList() : QVariantList{activeMark};
}

QString MatchOptions::browseOrder() const
{
    QString key;
    switch (mode) {
    case Mode::Name:
        key = ignoreType ? QStringLiteral("NAME") : QStringLiteral("WHOLENAME");
        break;
    case Mode::Size:
        key = QStringLiteral("SIZE");
        break;
    case Mode::NameSize:
        key = ignoreType ? QStringLiteral("NAME, SIZE") : QStringLiteral("WHOLENAME, SIZE");
        break;
    case Mode::Numbered:
        key = ignoreType ? QStringLiteral("BASENAME") : QStringLiteral("WHOLEBASE");
        break;
    case Mode::Checksum:
        key = QStringLiteral("CHECKSUM");
        break;
    case Mode::AverageRgb:
        key = QStringLiteral("RGB");
        break;
    case Mode::QuadRgb:
        key = QStringLiteral("QRGB");
        break;
    case Mode::Pattern:
        return QStringLiteral("RECNUM");
    }
    return exclusive ? QStringLiteral("PATH, ") + key : key;
}

MatchRecord MatchRecord::fromRow(qint64 rowId, const FilesRecord &r)
{
    MatchRecord m;
    m.rowId = rowId;
    m.RECNUM = r.RECNUM;
    m.RTAG = r.RTAG;
    m.DRIVEVOLUME = r.DRIVEVOLUME;
    m.PATH = r.PATH;
    m.NAME = r.NAME;
    m.REFNAME = r.REFNAME;
    m.BASENAME = r.BASENAME;
    m.EXTENSION = r.EXTENSION;
    m.WHOLENAME = r.WHOLENAME;
    m.WHOLEBASE = r.WHOLEBASE;
    m.DISKNAME = r.DISKNAME;
    m.SIZE = r.SIZE;
    m.DATE = r.DATE;
    m.CHECKSUM = r.CHECKSUM;
    m.XYRATIO = r.XYRATIO;
    m.RGB = r.RGB;
    m.QRGB = r.QRGB;
    m.SOFTRGB = r.SOFTRGB;
    m.SOFTQRGB = r.SOFTQRGB;
    m.PXLRAY = r.PXLRAY;
    m.PXLNUM = r.PXLNUM;
    m.X = r.X;
    m.Y = r.Y;
    return m;
}
