// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Feeds arbitrary bytes to our TGA reader (the one asked when the toolkit's gives up).
#include "tgahandler.h"

#include "fuzzcommon.h"

#include <QBuffer>

namespace {

QImage readTga(const QByteArray &input)
{
    QBuffer buffer;
    buffer.setData(input);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    TgaHandler handler;
    handler.setDevice(&buffer);
    QImage image;
    if (!handler.canRead() || !handler.read(&image))
        return {};
    return image;
}

} // namespace

VEXA_FUZZ_DECODER(readTga(input))
