// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the GEM decoder.
#include "gemmetahandler.h"

#include "fuzzcommon.h"

VEXA_FUZZ_DECODER(GemMetaHandler::decode(input))
