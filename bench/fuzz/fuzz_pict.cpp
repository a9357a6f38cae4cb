// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the Macintosh PICT decoder.
#include "picthandler.h"

#include "fuzzcommon.h"

VEXA_FUZZ_DECODER(PictHandler::decode(input))
