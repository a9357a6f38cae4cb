// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "tgahandler.h"

#include <QIODevice>
#include <QImage>

#include <cstring>

namespace {

constexpr int kMaxSide = 32767;
constexpr qint64 kMaxPixels = qint64(256) * 1024 * 1024;

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
    if (out.width <= 0 || out.height <= 0 || out.width > kMaxSide || out.height > kMaxSide
        || qint64(out.width) * out.height > kMaxPixels)
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
        const QByteArray map = d->read(qint64(h.mapLength) * entry);
        if (map.size() != h.mapLength * entry)
            return false;
        palette.resize(h.mapFirst + h.mapLength);
        for (int i = 0; i < h.mapLength; ++i) {
            palette[h.mapFirst + i] =
                colourOf(reinterpret_cast<const uchar *>(map.constData()) + i * entry, h.mapBits,
                         false, h.mapBits == 32 ? 8 : 0);
        }
    }

    const int bytes = (h.bits + 7) / 8;
    const qint64 count = qint64(h.width) * h.height;
    // The pixels as stored, unpacked from their runs; a file that ends early keeps what it had.
    QByteArray raw;
    const qint64 wanted = count * bytes;
    if (!rle) {
        raw = d->read(wanted);
    } else {
        raw.reserve(wanted);
        while (raw.size() < wanted) {
            char c;
            if (!d->getChar(&c))
                break;
            const int n = (uchar(c) & 0x7F) + 1;
            if (uchar(c) & 0x80) {
                const QByteArray pixel = d->read(bytes);
                if (pixel.size() != bytes)
                    break;
                for (int k = 0; k < n && raw.size() < wanted; ++k)
                    raw += pixel;
            } else {
                const QByteArray run = d->read(qint64(n) * bytes);
                raw += run.left(int(std::min<qint64>(run.size(), wanted - raw.size())));
                if (run.size() != n * bytes)
                    break;
            }
        }
    }
    if (raw.isEmpty())
        return false;

    const bool withAlpha = (kind == 2 && h.bits == 32 && alphaBits) || (kind == 3 && h.bits == 16);
    QImage out(h.width, h.height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull())
        return false;
    out.fill(withAlpha ? Qt::transparent : Qt::black);
    const bool topDown = h.descriptor & 0x20;
    const bool rightToLeft = h.descriptor & 0x10;
    const auto *src = reinterpret_cast<const uchar *>(raw.constData());
    const qint64 available = raw.size() / bytes;
    for (qint64 i = 0; i < std::min(count, available); ++i) {
        const int x = int(i % h.width), y = int(i / h.width);
        const uchar *p = src + i * bytes;
        QRgb colour;
        if (kind == 1)
            colour = p[0] < palette.size() ? palette[p[0]] : qRgb(0, 0, 0);
        else
            colour = colourOf(p, h.bits, kind == 3, alphaBits);
        const int row = topDown ? y : h.height - 1 - y;
        const int column = rightToLeft ? h.width - 1 - x : x;
        reinterpret_cast<QRgb *>(out.scanLine(row))[column] = colour;
    }
    *image = out;
    return true;
}
