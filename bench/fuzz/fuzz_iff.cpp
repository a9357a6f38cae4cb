// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the IFF picture decoder.
#include "ilbmhandler.h"

#include "fuzzcommon.h"
#include "fuzzhandler.h"

VEXA_FUZZ_DECODER(FuzzHandler::read<IlbmHandler>(input))
