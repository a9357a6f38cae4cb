// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Reads MacPaint (.MAC) pictures, 576 x 720 in black and white, with or without the 128-byte
// MacBinary header that copies from a Macintosh carry.
class MacPaintHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    // Only a MacBinary header naming the picture type identifies the content; a bare picture
    // is known by its extension.
    static bool canRead(QIODevice *device);
};
