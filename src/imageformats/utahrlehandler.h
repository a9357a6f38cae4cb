// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Reads Utah run-length (.RLE) pictures: grey or colour channels, optional alpha channel,
// background colour and colour maps. A Windows bitmap carrying the same extension is handed
// to Qt's own bitmap reader.
class UtahRleHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    static bool canRead(QIODevice *device);
};
