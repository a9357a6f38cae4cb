// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the HRZ decoder.
#include "hrzhandler.h"

#include "fuzzcommon.h"

VEXA_FUZZ_DECODER(HrzHandler::decode(input))
