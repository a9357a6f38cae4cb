// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Reads GEM bit images (.IMG): black and white, or 2 to 8 bit planes coloured by the XIMG
// palette in the header (by the standard desktop colours without one).
class GemImgHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    static bool canRead(QIODevice *device);
};
