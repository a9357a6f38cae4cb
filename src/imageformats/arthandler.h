// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

// PFS: 1st Publisher clip art (ART): one-bit pictures, plain or with PackBits-coded rows.
class ArtHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;

    // True when the device's first bytes look like this format (peeks only).
    static bool canRead(QIODevice *device);
    static QImage decode(const QByteArray &data);
};
