// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to the CUT decoder. The first byte splits the input: that many times
// 16 bytes from the end are the palette file, the rest is the picture.
#include "cuthandler.h"

#include "fuzzcommon.h"

namespace {

QImage decodeSplit(const QByteArray &input)
{
    if (input.isEmpty())
        return {};
    const int paletteBytes = std::min<int>(uchar(input[0]) * 16, int(input.size()) - 1);
    const QByteArray rest = input.mid(1);
    return CutHandler::decode(rest.left(rest.size() - paletteBytes), rest.right(paletteBytes));
}

} // namespace

VEXA_FUZZ_DECODER(decodeSplit(input))
