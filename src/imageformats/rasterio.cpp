// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "rasterio.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <QIODevice>
#include <QImageIOHandler>

namespace ImageFormats::Raster {

bool sizeIsSane(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           width * height <= MaxPixels;
}

QByteArray readAtMost(QIODevice *device, qint64 limit)
{
    if (!device || limit <= 0)
        return {};
    if (!device->isSequential()) {
        const qint64 left = device->size() - device->pos();
        return device->read(qBound<qint64>(0, left, limit));
    }
    QByteArray out;
    char chunk[65536];
    while (out.size() < limit) {
        const qint64 n = device->read(chunk, qMin<qint64>(sizeof chunk, limit - out.size()));
        if (n <= 0)
            break;
        out.append(chunk, qsizetype(n));
    }
    return out;
}

QByteArray peek(QIODevice *device, qint64 count)
{
    if (!device || !device->isOpen() || !device->isReadable())
        return {};
    return device->peek(count);
}

bool allocate(QImage *image, int width, int height, QImage::Format format)
{
    if (!sizeIsSane(width, height))
        return false;
    QImage result;
    if (!QImageIOHandler::allocateImage(QSize(width, height), format, &result))
        return false;
    // Pixels no data reaches (a truncated file) read as colour 0 rather than as garbage.
    std::memset(result.bits(), 0, size_t(result.sizeInBytes()));
    *image = std::move(result);
    return true;
}

namespace {

// For every byte value, eight bytes of 0 or 1: the byte's bits from the highest down.
const std::array<quint64, 256> &bitSpread()
{
    static const std::array<quint64, 256> table = [] {
        std::array<quint64, 256> t{};
        for (int b = 0; b < 256; ++b) {
            uchar bytes[8];
            for (int k = 0; k < 8; ++k)
                bytes[k] = uchar((b >> (7 - k)) & 1);
            std::memcpy(&t[size_t(b)], bytes, 8);
        }
        return t;
    }();
    return table;
}

} // namespace

void planesToBytes(const uchar *const *planes, int planeCount, int width, uchar *out)
{
    const std::array<quint64, 256> &spread = bitSpread();
    const int groups = width / 8;
    for (int g = 0; g < groups; ++g) {
        quint64 v = 0;
        // Each byte of v holds one pixel and every term sets a single bit of it, so the
        // shift never carries into the neighbouring pixel whatever the byte order.
        for (int p = 0; p < planeCount; ++p)
            v |= spread[planes[p][g]] << p;
        std::memcpy(out + 8 * g, &v, 8);
    }
    const int rest = width - groups * 8;
    if (rest > 0) {
        quint64 v = 0;
        for (int p = 0; p < planeCount; ++p)
            v |= spread[planes[p][groups]] << p;
        uchar bytes[8];
        std::memcpy(bytes, &v, 8);
        std::memcpy(out + 8 * groups, bytes, size_t(rest));
    }
}

void unpackPixels(const uchar *src, int bits, int width, uchar *out)
{
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        out[x] = uchar((src[x / perByte] >> shift) & mask);
    }
}

qsizetype unpackBits(const uchar *&src, const uchar *end, uchar *dst, qsizetype count)
{
    qsizetype written = 0;
    const uchar *p = src;
    while (written < count && p < end) {
        const int n = *p++;
        if (n < 128) {
            const qsizetype len = std::min<qsizetype>({n + 1, end - p, count - written});
            std::memcpy(dst + written, p, size_t(len));
            // The whole literal is consumed even when it reaches past dst.
            p += qMin<qsizetype>(n + 1, end - p);
            written += len;
        } else if (n > 128) {
            if (p >= end)
                break;
            const qsizetype len = qMin<qsizetype>(257 - n, count - written);
            std::memset(dst + written, *p++, size_t(len));
            written += len;
        }
        // 128 is a no-op.
    }
    src = p;
    return written;
}

QList<QRgb> greyTable(int count)
{
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int v = count > 1 ? i * 255 / (count - 1) : 0;
        table.append(qRgb(v, v, v));
    }
    return table;
}

} // namespace ImageFormats::Raster
