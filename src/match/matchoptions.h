// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "mainstate.h"

#include <QString>
#include <QVariantList>

// The main window's choices that decide which rows match and in which order they are met,
// taken once when a review, the pre-match cycle or a report starts.
struct MatchOptions
{
    using Mode = MainState::Mode;

    Mode mode = Mode::Name;
    bool softMatch = false;    // chkSOFTMATCH
    bool ignoreType = false;   // chkIGNORE
    bool exclusive = false;    // chkEXCLUSIVE
    bool treeModeIfcd = false; // chkTREEMODEIFCD
    QString ifcd;              // txtIFCD
    qint16 tolerance = 0;      // txtTOLERANCE as a whole number
    // The rows a review browses: "X", or "*" once the pre-match cycle has marked the rows
    // that have a match.
    QString activeMark = QStringLiteral("X");
    // The pre-match cycle walks the rows marked "X" or "*" and takes as pattern candidates
    // only the rows not marked yet.
    bool preMatchCycle = false;

    static MatchOptions fromState(const MainState &state);
    // The pre-match cycle's options for the same state.
    static MatchOptions forPreMatch(const MainState &state);

    // The colour tolerance of a txtTOLERANCE text: its leading number (0 when there is none)
    // rounded to a whole number, halves to the even neighbour; 0 when out of 16-bit range.
    static qint16 toleranceOf(const QString &text);

    // What the browse query of these options selects and how it orders the rows.
    QString browseWhere() const;       // "ACTIVE = ?"
    QVariantList browseValues() const; // the active mark
    QString browseOrder() const;       // "PATH, WHOLENAME"
};
