// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "tgahandler.h"

#include "rasterio.h"

#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <cstring>

namespace {

namespace Raster = ImageFormats::Raster;

struct Header
{
    int idLength, mapType, imageType, mapFirst, mapLength, mapBits, width, height, bits, descriptor;
};

bool parse(const QByteArray &h, Header &out)
{
    if (h.size() < 18)
        return false;
    auto u8 = [&h](int i) { return int(uchar(h[i])); };
    auto u16 = [&h](int i) { return int(uchar(h[i])) | int(uchar(h[i + 1])) << 8; };
    out = {u8(0), u8(1), u8(2), u16(3), u16(5), u8(7), u16(12), u16(14), u8(16), u8(17)};
    const int kind = out.imageType & ~8;
    if (out.mapType > 1 || (kind != 1 && kind != 2 && kind != 3) || (out.imageType & ~11) != 0)
        return false;
    if (!Raster::sizeIsSane(out.width, out.height))
        return false;
    if (kind == 1) {
        if (out.mapType != 1 || out.bits != 8 || out.mapLength == 0
            || (out.mapBits != 15 && out.mapBits != 16 && out.mapBits != 24 && out.mapBits != 32))
            return false;
    } else if (kind == 2) {
        if (out.bits != 15 && out.bits != 16 && out.bits != 24 && out.bits != 32)
            return false;
    } else if (out.bits != 8 && out.bits != 16) {
        return false;
    }
    return true;
}

QRgb colourOf(const uchar *p, int bits, bool grey, int alphaBits)
{
    if (grey)
        return bits == 16 ? qRgba(p[0], p[0], p[0], p[1]) : qRgb(p[0], p[0], p[0]);
    switch (bits) {
    case 15:
    case 16: {
        const int v = p[0] | p[1] << 8;
        const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return qRgb(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
    }
    case 24:
        return qRgb(p[2], p[1], p[0]);
    default:
        return alphaBits ? qRgba(p[2], p[1], p[0], p[3]) : qRgb(p[2], p[1], p[0]);
    }
}

} // namespace

bool TgaHandler::canRead() const
{
    Header h;
    return device() && parse(device()->peek(18), h);
}

bool TgaHandler::read(QImage *image)
{
    QIODevice *d = device();
    if (!d)
        return false;
    Header h;
    const QByteArray head = d->read(18);
    if (!parse(head, h))
        return false;
    if (d->read(h.idLength).size() != h.idLength)
        return false;
    const int kind = h.imageType & ~8;
    const bool rle = h.imageType & 8;
    const int alphaBits = h.descriptor & 15;

    QVector<QRgb> palette;
    if (h.mapType == 1) {
        const int entry = (h.mapBits + 7) / 8;
        const QByteArray map = Raster::readAtMost(d, qint64(h.mapLength) * entry);
        if (map.size() != h.mapLength * entry)
            return false;
        // Only a colour-mapped picture uses its map; the others merely carry one, of any depth.
        if (kind == 1) {
            palette.resize(h.mapFirst + h.mapLength);
            for (int i = 0; i < h.mapLength; ++i) {
                palette[h.mapFirst + i] =
                    colourOf(reinterpret_cast<const uchar *>(map.constData()) + i * entry,
                             h.mapBits, false, h.mapBits == 32 ? 8 : 0);
            }
        }
    }

    const int bytes = (h.bits + 7) / 8;
    const qint64 count = qint64(h.width) * h.height;
    const qint64 wanted = count * bytes;
    // The pixel data as stored, never more than the picture could use: with runs, a packet
    // header at worst for every 128 pixels.
    const QByteArray data = Raster::readAtMost(d, rle ? wanted + (count + 127) / 128 : wanted);
    // Before anything is allocated, the file must be able to fill the picture its header
    // announces: plain data cut short still shows its part (up to 16 times as many pixels as
    // it holds), and a run packet of 1 + bytes bytes gives at most 128 pixels.
    const bool plausible = rle ? qint64(data.size()) * 128 * bytes >= wanted * (1 + bytes)
                               : Raster::couldHold(data.size(), wanted, 16);
    if (data.isEmpty() || !plausible)
        return false;

    const bool withAlpha = (kind == 2 && h.bits == 32 && alphaBits) || (kind == 3 && h.bits == 16);
    QImage out;
    if (!Raster::allocate(&out, h.width, h.height,
                          withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32))
        return false;
    out.fill(withAlpha ? Qt::transparent : Qt::black);
    const bool topDown = h.descriptor & 0x20;
    const bool rightToLeft = h.descriptor & 0x10;
    auto put = [&](qint64 i, const uchar *p) {
        const int x = int(i % h.width), y = int(i / h.width);
        QRgb colour;
        if (kind == 1)
            colour = p[0] < palette.size() ? palette[p[0]] : qRgb(0, 0, 0);
        else
            colour = colourOf(p, h.bits, kind == 3, alphaBits);
        const int row = topDown ? y : h.height - 1 - y;
        const int column = rightToLeft ? h.width - 1 - x : x;
        reinterpret_cast<QRgb *>(out.scanLine(row))[column] = colour;
    };
    const auto *src = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    if (!rle) {
        const qint64 available = std::min(count, size / bytes);
        for (qint64 i = 0; i < available; ++i)
            put(i, src + i * bytes);
    } else {
        // Runs and literal packets; a file that ends early keeps what it had.
        qint64 i = 0, pos = 0;
        while (i < count && pos < size) {
            const uchar c = src[pos++];
            const int n = (c & 0x7F) + 1;
            if (c & 0x80) {
                if (pos + bytes > size)
                    break;
                for (int k = 0; k < n && i < count; ++k)
                    put(i++, src + pos);
                pos += bytes;
            } else {
                for (int k = 0; k < n && i < count && pos + bytes <= size; ++k, pos += bytes)
                    put(i++, src + pos);
                if (pos + bytes > size && i < count)
                    break;
            }
        }
    }
    *image = out;
    return true;
}
