// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

class MainState;

// The sound after a search step: unless "No Sound" is ticked, one of the sound files picked at
// random, played without waiting; the system beep when there are none.
void PlayStepSound(const MainState &state);
