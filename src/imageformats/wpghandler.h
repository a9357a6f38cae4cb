// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

// WordPerfect Graphics (WPG) versions 1 and 2: bitmaps and the common drawing records.
class WpgHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;

    // True when the device's first bytes look like this format (peeks only).
    static bool canRead(QIODevice *device);
    static QImage decode(const QByteArray &data);
};
