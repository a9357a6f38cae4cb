// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Drives one of the bitmap handlers over the fuzz input as QImageReader does: the content
// check, the size from the header, then the decoding.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageIOHandler>

namespace FuzzHandler {

template <typename Handler> QImage read(const QByteArray &input)
{
    QBuffer buffer;
    buffer.setData(input);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    Handler handler;
    handler.setDevice(&buffer);
    Handler::canRead(&buffer);
    handler.canRead();
    const QSize size = handler.option(QImageIOHandler::Size).toSize();
    QImage image;
    if (!handler.read(&image))
        return {};
    // A decoded picture always has the size its header announced.
    if (size.isValid() && image.size() != size && !input.startsWith("BM"))
        __builtin_trap();
    return image;
}

} // namespace FuzzHandler
