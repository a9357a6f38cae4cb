// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

// Windows metafiles (WMF), placeable or plain: the drawing records and embedded bitmaps are
// played onto an image of the metafile's own size.
class WmfHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;

    // True when the device's first bytes look like this format (peeks only).
    static bool canRead(QIODevice *device);
    static QImage decode(const QByteArray &data);
};
