// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Reads IFF pictures (.IFF, .LBM): interleaved bit planes (ILBM: 1 to 8 planes with a colour
// map, Extra Half-Brite, HAM6 and HAM8, 24-bit and 32-bit) and chunky 8-bit (PBM), plain or
// ByteRun1 coded, with a mask plane or a transparent colour.
class IlbmHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    static bool canRead(QIODevice *device);
};
