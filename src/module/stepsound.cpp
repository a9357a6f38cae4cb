// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "stepsound.h"

#include "mainstate.h"
#include "platform.h"

#include <QRandomGenerator>

void PlayStepSound(const MainState &state)
{
    if (state.isChecked(MainState::Check::NoSound))
        return;
    if (state.wavCount() >= 1) {
        // Position k = integer part of count x random + 1, from 1 to count.
        const int k = int(state.wavCount() * QRandomGenerator::global()->generateDouble()) + 1;
        Platform::services().playSound(state.wavFiles.at(k - 1));
    } else {
        Platform::services().beep();
    }
}
