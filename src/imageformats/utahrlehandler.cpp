// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "utahrlehandler.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <QImageReader>
#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int HeaderSize = 15;

enum Flags { ClearFirst = 0x1, NoBackground = 0x2, HasAlpha = 0x4, HasComment = 0x8 };
enum Op { SkipLines = 1, SetColour = 2, SkipPixels = 3, ByteData = 5, RunData = 6, End = 7 };
constexpr int LongOperand = 0x40;
constexpr int AlphaChannel = 255;

struct Header
{
    int x = 0; // position of the lower left corner
    int y = 0;
    int width = 0;
    int height = 0;
    int flags = 0;
    int channels = 0;
    int maps = 0; // number of colour map channels
    int mapLengthLog = 0;
};

std::optional<Header> parseHeader(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (le16(p) != 0xcc52)
        return std::nullopt;
    Header h;
    h.x = qint16(le16(p + 2));
    h.y = qint16(le16(p + 4));
    h.width = le16(p + 6);
    h.height = le16(p + 8);
    h.flags = p[10];
    h.channels = p[11];
    h.maps = p[13];
    h.mapLengthLog = p[14];
    // Only 8-bit channels were ever written.
    if (p[12] != 8 || h.width == 0 || h.height == 0 || h.mapLengthLog > 16)
        return std::nullopt;
    if (h.channels == 0 && !(h.flags & HasAlpha))
        return std::nullopt;
    return h;
}

} // namespace

bool UtahRleHandler::canRead(QIODevice *device)
{
    return parseHeader(peek(device, HeaderSize)).has_value();
}

bool UtahRleHandler::canRead() const
{
    const QByteArray head = peek(device(), HeaderSize);
    if (!parseHeader(head) && !head.startsWith("BM"))
        return false;
    setFormat("rle");
    return true;
}

QVariant UtahRleHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto h = parseHeader(peek(device(), HeaderSize)))
            return QSize(h->width, h->height);
    }
    return {};
}

bool UtahRleHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool UtahRleHandler::read(QImage *image)
{
    if (peek(device(), 2) == "BM") {
        // A Windows run-length bitmap: Qt reads those.
        QImageReader bitmap(device(), "bmp");
        return bitmap.read(image);
    }
    const auto h = parseHeader(peek(device(), HeaderSize));
    if (!h || !sizeIsSane(h->width, h->height))
        return false;
    const int width = h->width, height = h->height;
    const bool alpha = h->flags & HasAlpha;
    // The most a sane writer spends: an operation of 4 bytes per value.
    const qint64 channelsShown = qMin(h->channels, 3) + (alpha ? 1 : 0);
    const qint64 mapBytes = qint64(h->maps) * 2 << h->mapLengthLog;
    const QByteArray data = readAtMost(
        device(), 4 * qint64(width + 16) * height * (channelsShown + 1) + mapBytes + 65536 + 512);
    const auto *begin = reinterpret_cast<const uchar *>(data.constData());
    const uchar *end = begin + data.size();
    const uchar *p = begin + HeaderSize;

    uchar background[3] = {0, 0, 0};
    if (!(h->flags & NoBackground) && h->channels > 0) {
        const int n = h->channels / 2 * 2 + 1;
        if (end - p < n)
            return false;
        for (int c = 0; c < qMin(h->channels, 3); ++c)
            background[c] = p[c];
        p += n;
    } else {
        if (end - p < 1)
            return false;
        p += 1; // filler byte
    }
    // Colour maps: maps tables of 2^mapLengthLog 16-bit entries; only the first 256 entries
    // of the first three can be reached by 8-bit values.
    if (end - p < mapBytes)
        return false;
    const int mapEntries = 1 << h->mapLengthLog;
    uchar maps[3][256];
    const int mapsUsed = qMin(h->maps, 3);
    for (int m = 0; m < mapsUsed; ++m) {
        for (int i = 0; i < 256; ++i)
            maps[m][i] = i < mapEntries ? uchar(le16(p + 2 * (m * mapEntries + i)) >> 8) : 0;
    }
    p += mapBytes;
    if (h->flags & HasComment) {
        if (end - p < 2)
            return false;
        const qint64 length = (qint64(le16(p)) + 1) & ~1;
        p += 2;
        if (end - p < length)
            return false;
        p += length;
    }
    if (p >= end)
        return false;

    // Grey or mapped single-channel pictures keep one byte per pixel; the rest are decoded
    // into RGBA bytes.
    const bool single = h->channels < 3 && !alpha;
    QImage::Format format = QImage::Format_RGBX8888;
    if (single)
        format = mapsUsed > 0 ? QImage::Format_Indexed8 : QImage::Format_Grayscale8;
    else if (alpha)
        format = QImage::Format_RGBA8888;
    QImage result;
    if (!allocate(&result, width, height, format))
        return false;
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i) {
            const int r = maps[0][i];
            table.append(mapsUsed >= 3 ? qRgb(r, maps[1][i], maps[2][i]) : qRgb(r, r, r));
        }
        result.setColorTable(table);
    }
    // For every channel number a file can name, the byte of a pixel that receives it (-1: a
    // channel not shown).
    const int pixelBytes = single ? 1 : 4;
    int lanes[256];
    std::fill(std::begin(lanes), std::end(lanes), -1);
    if (h->channels > 0)
        lanes[0] = 0;
    if (!single) {
        for (int c = 1; c < qMin(h->channels, 3); ++c)
            lanes[c] = c;
        if (alpha)
            lanes[AlphaChannel] = 3;
    }
    // Pixels no operation reaches show the background.
    for (int y = 0; y < height; ++y) {
        uchar *row = result.scanLine(y);
        if (single) {
            std::memset(row, background[0], size_t(width));
            continue;
        }
        const uchar fill[4] = {background[0], background[1], background[2], uchar(alpha ? 0 : 255)};
        for (int x = 0; x < width; ++x)
            std::memcpy(row + 4 * x, fill, 4);
    }

    // Lines count up from the bottom one, columns from the left edge.
    qint64 line = 0;
    qint64 column = 0;
    int lane = lanes[0];
    auto destination = [&](qint64 count, qint64 *first, qint64 *n) -> uchar * {
        // The part of [column, column + count) on the picture, or null.
        if (lane < 0 || line < 0 || line >= height)
            return nullptr;
        const qint64 from = qMax<qint64>(column, 0);
        const qint64 to = qMin<qint64>(column + count, width);
        if (from >= to)
            return nullptr;
        *first = from - column;
        *n = to - from;
        return result.scanLine(int(height - 1 - line)) + from * pixelBytes + lane;
    };
    bool done = false;
    while (!done && end - p >= 2) {
        const int op = p[0] & ~LongOperand;
        qint64 operand = p[1];
        p += 2;
        if (p[-2] & LongOperand) {
            if (end - p < 2)
                break;
            operand = le16(p);
            p += 2;
        }
        switch (op) {
        case SkipLines:
            line += operand;
            column = 0;
            break;
        case SetColour:
            lane = lanes[operand & 0xff];
            column = 0;
            break;
        case SkipPixels:
            column += operand;
            break;
        case ByteData: {
            const qint64 count = operand + 1;
            const qint64 held = qMin<qint64>(count, end - p);
            qint64 first = 0, n = 0;
            if (uchar *out = destination(held, &first, &n)) {
                const uchar *src = p + first;
                if (pixelBytes == 1) {
                    std::memcpy(out, src, size_t(n));
                } else {
                    for (qint64 i = 0; i < n; ++i)
                        out[4 * i] = src[i];
                }
            }
            // Literal bytes are padded to an even count.
            p += qMin<qint64>(count + (count & 1), end - p);
            column += count;
            break;
        }
        case RunData: {
            if (end - p < 2) {
                done = true;
                break;
            }
            const uchar value = p[0];
            p += 2;
            const qint64 count = operand + 1;
            qint64 first = 0, n = 0;
            if (uchar *out = destination(count, &first, &n)) {
                if (pixelBytes == 1) {
                    std::memset(out, value, size_t(n));
                } else {
                    for (qint64 i = 0; i < n; ++i)
                        out[4 * i] = value;
                }
            }
            column += count;
            break;
        }
        case End:
            done = true;
            break;
        default:
            // An unknown operation: nothing sensible follows.
            done = true;
            break;
        }
    }

    if (!single && (h->channels < 3 || mapsUsed >= 3)) {
        // One channel shown with alpha: grey in all three lanes, through the map if any.
        // Three channels with three maps: each through its own.
        for (int y = 0; y < height; ++y) {
            uchar *px = result.scanLine(y);
            for (int x = 0; x < width; ++x, px += 4) {
                if (h->channels < 3) {
                    const uchar v = px[0];
                    px[0] = mapsUsed >= 1 ? maps[0][v] : v;
                    px[1] = mapsUsed >= 3 ? maps[1][v] : px[0];
                    px[2] = mapsUsed >= 3 ? maps[2][v] : px[0];
                } else if (mapsUsed >= 3) {
                    px[0] = maps[0][px[0]];
                    px[1] = maps[1][px[1]];
                    px[2] = maps[2][px[2]];
                }
            }
        }
    }
    *image = result;
    return true;
}
