// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the Sun raster decoder.
#include "rashandler.h"

#include "fuzzcommon.h"
#include "fuzzhandler.h"

VEXA_FUZZ_DECODER(FuzzHandler::read<RasHandler>(input))
