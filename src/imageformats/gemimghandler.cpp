// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "gemimghandler.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int BaseHeaderWords = 8;
constexpr int MaxPlanes = 8;

struct Header
{
    int headerBytes = 0;
    int planes = 0;
    int patternLength = 0;
    int width = 0;
    int height = 0;
};

std::optional<Header> parseHeader(const QByteArray &bytes)
{
    if (bytes.size() < 2 * BaseHeaderWords)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    Header h;
    const int version = be16(p);
    h.headerBytes = 2 * be16(p + 2);
    h.planes = be16(p + 4);
    h.patternLength = be16(p + 6);
    h.width = be16(p + 12);
    h.height = be16(p + 14);
    if (version < 1 || version > 3 || h.headerBytes < 2 * BaseHeaderWords)
        return std::nullopt;
    if (h.planes < 1 || h.planes > MaxPlanes || h.patternLength < 1 || h.patternLength > 8)
        return std::nullopt;
    if (h.width == 0 || h.height == 0)
        return std::nullopt;
    return h;
}

// The desktop's colours by pen number: white, black, red, green, blue, cyan, yellow, magenta,
// then the dark shades.
const QRgb DesktopColours[16] = {
    0xffffffff, 0xff000000, 0xffff0000, 0xff00ff00, 0xff0000ff, 0xff00ffff, 0xffffff00, 0xffff00ff,
    0xffc0c0c0, 0xff808080, 0xff800000, 0xff008000, 0xff000080, 0xff008080, 0xff808000, 0xff800080,
};

QList<QRgb> palette(const Header &h, const uchar *header)
{
    const int count = 1 << h.planes;
    // The XIMG extension: its tag, a colour model (0 for RGB), then for every pen its red,
    // green and blue in thousandths.
    const int ximgBytes = 2 * BaseHeaderWords + 6 + 6 * count;
    if (h.headerBytes >= ximgBytes && std::memcmp(header + 16, "XIMG", 4) == 0 &&
        be16(header + 20) == 0) {
        QList<QRgb> table;
        const uchar *c = header + 22;
        for (int i = 0; i < count; ++i, c += 6) {
            auto level = [](int v) { return qBound(0, (v * 255 + 500) / 1000, 255); };
            table.append(qRgb(level(be16(c)), level(be16(c + 2)), level(be16(c + 4))));
        }
        return table;
    }
    if (count <= 16)
        return QList<QRgb>(DesktopColours, DesktopColours + count);
    QList<QRgb> table = greyTable(count);
    std::reverse(table.begin(), table.end()); // pen 0 is the white paper
    return table;
}

// Expands the code of one plane's line. The operations: 0 n pattern: the pattern repeated
// n times; 0x80 n bytes: n literal bytes; any other byte: a run of (byte & 0x7f) bytes,
// 0xff when the top bit is set, else 0. Returns the position after the line's code.
const uchar *decodePlaneLine(const uchar *p, const uchar *end, int patternLength, uchar *out,
                             int lineBytes)
{
    int x = 0;
    while (x < lineBytes && p < end) {
        const uchar op = *p++;
        if (op == 0) {
            if (end - p < 1 + patternLength)
                return end;
            const int repeats = *p++;
            const uchar *pattern = p;
            p += patternLength;
            for (int r = 0; r < repeats && x < lineBytes; ++r) {
                const int n = qMin(patternLength, lineBytes - x);
                std::memcpy(out + x, pattern, size_t(n));
                x += n;
            }
        } else if (op == 0x80) {
            if (p >= end)
                return end;
            const int count = *p++;
            const int n = int(std::min<qint64>({qint64(count), end - p, qint64(lineBytes - x)}));
            std::memcpy(out + x, p, size_t(n));
            x += n;
            p += qMin<qint64>(count, end - p);
        } else {
            const int n = qMin(op & 0x7f, lineBytes - x);
            std::memset(out + x, (op & 0x80) ? 0xff : 0, size_t(n));
            x += n;
        }
    }
    return p;
}

} // namespace

bool GemImgHandler::canRead(QIODevice *device)
{
    return parseHeader(peek(device, 2 * BaseHeaderWords)).has_value();
}

bool GemImgHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("img");
    return true;
}

QVariant GemImgHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto h = parseHeader(peek(device(), 2 * BaseHeaderWords)))
            return QSize(h->width, h->height);
    }
    return {};
}

bool GemImgHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool GemImgHandler::read(QImage *image)
{
    const auto h = parseHeader(peek(device(), 2 * BaseHeaderWords));
    if (!h || !sizeIsSane(h->width, h->height))
        return false;
    const int lineBytes = (h->width + 7) / 8;
    const qint64 rawSize = qint64(lineBytes) * h->planes * h->height;
    // Literal code takes 2 bytes per 255; .IMG is also the extension of disk images, so read
    // no more than a picture this size can use.
    const QByteArray data = readAtMost(device(), h->headerBytes + 2 * rawSize + 1024);
    if (data.size() <= h->headerBytes)
        return false;
    const auto *begin = reinterpret_cast<const uchar *>(data.constData());
    const uchar *end = begin + data.size();
    // A pattern run of 4 + 8 bytes gives up to 2040 bytes, and a line can be repeated 255
    // times.
    if (!couldHold(data.size() - h->headerBytes, rawSize, 170 * 255))
        return false;

    const bool mono = h->planes == 1;
    QImage result;
    if (!allocate(&result, h->width, h->height,
                  mono ? QImage::Format_Mono : QImage::Format_Indexed8))
        return false;
    QList<QRgb> colours = palette(*h, begin);
    result.setColorTable(colours);

    std::vector<uchar> planeLines(size_t(lineBytes) * size_t(h->planes));
    const uchar *planes[MaxPlanes];
    for (int k = 0; k < h->planes; ++k)
        planes[k] = planeLines.data() + size_t(k) * size_t(lineBytes);
    const uchar *p = begin + h->headerBytes;
    int y = 0;
    while (y < h->height && p < end) {
        // 0 0 0xff n before a line: the line that follows stands for n lines.
        int repeats = 1;
        if (end - p >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 0xff) {
            repeats = qMax(1, int(p[3]));
            p += 4;
        }
        std::fill(planeLines.begin(), planeLines.end(), uchar(0));
        for (int k = 0; k < h->planes; ++k)
            p = decodePlaneLine(p, end, h->patternLength, planeLines.data() + k * lineBytes,
                                lineBytes);
        for (int r = 0; r < repeats && y < h->height; ++r, ++y) {
            if (mono)
                std::memcpy(result.scanLine(y), planeLines.data(), size_t(lineBytes));
            else
                planesToBytes(planes, h->planes, h->width, result.scanLine(y));
        }
    }
    if (y == 0)
        return false;
    *image = result;
    return true;
}
