// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "formats.h"
#include "tgahandler.h"

namespace ImageFormats {

const QList<Format> &fallbackFormats()
{
    // Named, never guessed from content: the image component asks for them by name when the
    // toolkit's own reader of the type has failed.
    static const QList<Format> formats = {
        {QByteArrayLiteral("vexatga"), {}, nullptr, [] { return new TgaHandler; }},
    };
    return formats;
}

} // namespace ImageFormats
