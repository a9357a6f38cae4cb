// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImageIOHandler>

// Truevision TGA files of every common kind: colour-mapped, true-colour and grey, plain or
// run-length encoded, 8 to 32 bits per pixel, either origin. The toolkit's own reader takes only
// files that end with the newer footer; this one is asked when that reader gives up.
class TgaHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
};
