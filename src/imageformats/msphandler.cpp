// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "msphandler.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int HeaderSize = 32;

struct Header
{
    int version = 0;
    int width = 0;
    int height = 0;
};

std::optional<Header> parseHeader(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize)
        return std::nullopt;
    Header h;
    if (bytes.startsWith("DanM"))
        h.version = 1;
    else if (bytes.startsWith("LinS"))
        h.version = 2;
    else
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    h.width = le16(p + 4);
    h.height = le16(p + 6);
    if (h.width == 0 || h.height == 0)
        return std::nullopt;
    return h;
}

// One version 2 line: a zero byte, a count and a value make a run; any other byte n is
// followed by n literal bytes. Code that stops short leaves the rest of the line as it was.
void decodeLine(const uchar *p, const uchar *end, uchar *out, int lineBytes)
{
    int x = 0;
    while (x < lineBytes && p < end) {
        const int n = *p++;
        if (n == 0) {
            if (end - p < 2)
                return;
            const int len = qMin(int(p[0]), lineBytes - x);
            std::memset(out + x, p[1], size_t(len));
            x += len;
            p += 2;
        } else {
            const int len = int(std::min<qint64>({qint64(n), end - p, qint64(lineBytes - x)}));
            std::memcpy(out + x, p, size_t(len));
            x += len;
            p += len;
        }
    }
}

} // namespace

bool MspHandler::canRead(QIODevice *device)
{
    return parseHeader(peek(device, HeaderSize)).has_value();
}

bool MspHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("msp");
    return true;
}

QVariant MspHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto h = parseHeader(peek(device(), HeaderSize)))
            return QSize(h->width, h->height);
    }
    return {};
}

bool MspHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool MspHandler::read(QImage *image)
{
    const auto h = parseHeader(peek(device(), HeaderSize));
    if (!h || !sizeIsSane(h->width, h->height))
        return false;
    const int lineBytes = (h->width + 7) / 8;
    const qint64 rawSize = qint64(lineBytes) * h->height;
    // Version 2 first lists every line's coded length.
    const qint64 mapBytes = h->version == 2 ? 2 * qint64(h->height) : 0;
    // A run takes 3 bytes for up to 255; literal code can take 256 for 255.
    const QByteArray data = readAtMost(device(), HeaderSize + mapBytes + 2 * rawSize + 16);
    const auto *begin = reinterpret_cast<const uchar *>(data.constData());
    const uchar *end = begin + data.size();
    if (data.size() < HeaderSize + mapBytes)
        return false;
    const qint64 codeBytes = data.size() - HeaderSize - mapBytes;
    if (!couldHold(codeBytes, rawSize, h->version == 2 ? 85 : 16))
        return false;

    QImage result;
    if (!allocate(&result, h->width, h->height, QImage::Format_Mono))
        return false;
    // A set bit is white.
    result.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    // Lines the file does not reach stay blank (white).
    std::memset(result.bits(), 0xff, size_t(result.sizeInBytes()));
    int y = 0;
    if (h->version == 1) {
        const uchar *p = begin + HeaderSize;
        for (; y < h->height && end - p >= lineBytes; ++y, p += lineBytes)
            std::memcpy(result.scanLine(y), p, size_t(lineBytes));
    } else {
        const uchar *map = begin + HeaderSize;
        const uchar *p = map + mapBytes;
        // An empty entry in the list of lengths is a blank line.
        for (; y < h->height && p < end; ++y) {
            const qint64 length = qMin<qint64>(le16(map + 2 * y), end - p);
            decodeLine(p, p + length, result.scanLine(y), lineBytes);
            p += length;
        }
    }
    if (y == 0)
        return false;
    *image = result;
    return true;
}
