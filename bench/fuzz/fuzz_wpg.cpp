// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the WPG decoder.
#include "wpghandler.h"

#include "fuzzcommon.h"

VEXA_FUZZ_DECODER(WpgHandler::decode(input))
