// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the PCX decoder.
#include "pcxhandler.h"

#include "fuzzcommon.h"
#include "fuzzhandler.h"

VEXA_FUZZ_DECODER(FuzzHandler::read<PcxHandler>(input))
