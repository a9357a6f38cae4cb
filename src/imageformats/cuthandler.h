// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QString>

// Dr. Halo CUT pictures: run-length coded palette indices, coloured by the .PAL file of the same
// name beside the picture when there is one, grey otherwise.
class CutHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;

    // True when the device's first bytes look like this format (peeks only).
    static bool canRead(QIODevice *device);
    // Decodes a CUT file; palette holds the bytes of its .PAL file, or nothing.
    static QImage decode(const QByteArray &data, const QByteArray &palette);
    // The .PAL file beside a CUT file (same base name, either case of the suffix), or empty.
    static QString paletteFileFor(const QString &cutFile);
};
