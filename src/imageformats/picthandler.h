// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QString>

// Macintosh PICT pictures (version 1 and 2, with or without the 512-byte file header), the
// other common meaning of .PIC: the bitmaps they hold, at 1, 2, 4 and 8 bits per pixel through
// a colour table and at 16 and 32 bits direct, plain or PackBits-coded, clipped to their mask
// regions. Drawing operations are passed over by their lengths; a picture holding no bitmap
// is refused.
class PictHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;

    // True when the device's first bytes look like a PICT picture (peeks only).
    static bool canRead(QIODevice *device);
    // The picture, or a null image with the reason in *why.
    static QImage decode(const QByteArray &data, QString *why = nullptr);
};
