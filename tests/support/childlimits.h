// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

#include <sys/types.h>

// Faults a test provokes in a child process (after fork, or in a QProcess child before exec):
// full disks without root, folders that cannot be written even by root.
namespace ChildLimits {

// Writes past this many bytes fail with EFBIG instead of killing the process (SIGXFSZ is
// ignored). Lasts across exec.
void limitFileSize(qint64 bytes);

// Makes file permissions bind the process even when it runs as root (the capabilities that
// override them are dropped, also for programs it executes). False when that is not possible.
bool obeyFilePermissions();

} // namespace ChildLimits
