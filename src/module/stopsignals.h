// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <functional>

// The system's requests to stop (SIGTERM at logout or from kill, SIGINT from Ctrl+C), turned
// into a call on the application's thread so that the program can stop as Quit does: finish
// the current file, settle the catalogue, release the lock. A second request of the same
// kind, while the first is still being served, ends the process at once with 128 + signal.
namespace StopSignals {

// Call once, after the application object exists. onStop gets the signal number.
void install(std::function<void(int signal)> onStop);

// The exit status of a run stopped by signal: 128 + signal (143 for SIGTERM, 130 for SIGINT).
inline int exitStatus(int signal)
{
    return 128 + signal;
}

} // namespace StopSignals
