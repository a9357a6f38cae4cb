// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// The read-only files the program carries and writes into its directory when missing: the
// help page, the picture shown for unreadable images and the empty catalogue template.
namespace Resources {

// Writes whatever is missing; never replaces an existing file. Returns an error text for the
// first file that could not be written, or an empty text.
QString writeMissing();

} // namespace Resources
