// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Reads PC Paintbrush (.PCX) pictures: 1-bit, 2-bit and 4-bit packed, 2 to 4 bit planes,
// 8-bit with or without its 256-colour palette, 24-bit and 32-bit in byte planes; run-length
// coded or plain.
class PcxHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    static bool canRead(QIODevice *device);
};
