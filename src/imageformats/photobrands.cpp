// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "photobrands.h"

#include "rasterio.h"

#include <QIODevice>

namespace ImageFormats::Photo {

QList<QByteArray> brands(QIODevice *device)
{
    // The box: its size (4 bytes), "ftyp", the major brand, a minor version, then compatible
    // brands to the box's end. Phones write a dozen at most.
    const QByteArray head = Raster::peek(device, 128);
    if (head.size() < 16 || head.mid(4, 4) != "ftyp")
        return {};
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    const qint64 boxSize = std::min<qint64>(Raster::be32(p), head.size());
    if (boxSize < 16)
        return {};
    QList<QByteArray> out{head.mid(8, 4)};
    for (qint64 at = 16; at + 4 <= boxSize; at += 4)
        out.append(head.mid(int(at), 4));
    return out;
}

bool isAvif(const QList<QByteArray> &brands)
{
    return brands.contains("avif") || brands.contains("avis");
}

bool isHeif(const QList<QByteArray> &brands)
{
    if (brands.isEmpty() || isAvif(brands))
        return false;
    static const QList<QByteArray> heif = {"heic", "heix", "hevc", "hevx", "heim",
                                           "heis", "hevm", "hevs", "mif1", "msf1"};
    for (const QByteArray &b : brands) {
        if (heif.contains(b))
            return true;
    }
    return false;
}

} // namespace ImageFormats::Photo
