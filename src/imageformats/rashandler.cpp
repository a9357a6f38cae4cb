// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "rashandler.h"

#include <cstring>
#include <optional>
#include <vector>

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int HeaderSize = 32;
constexpr quint32 Magic = 0x59a66a95;

enum Type : quint32 { OldType = 0, Standard = 1, ByteEncoded = 2, RgbOrder = 3 };
enum MapType : quint32 { NoMap = 0, RgbMap = 1 };

struct Header
{
    qint64 width = 0;
    qint64 height = 0;
    int depth = 0;
    quint32 type = 0;
    quint32 mapType = 0;
    qint64 mapLength = 0;
};

std::optional<Header> parseHeader(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (be32(p) != Magic)
        return std::nullopt;
    Header h;
    h.width = be32(p + 4);
    h.height = be32(p + 8);
    h.depth = int(be32(p + 12));
    h.type = be32(p + 20);
    h.mapType = be32(p + 24);
    h.mapLength = be32(p + 28);
    if (h.depth != 1 && h.depth != 8 && h.depth != 24 && h.depth != 32)
        return std::nullopt;
    if (h.type > RgbOrder || h.width == 0 || h.height == 0)
        return std::nullopt;
    return h;
}

// Byte-run code: 0x80 n v repeats v n+1 times, 0x80 0 is a literal 0x80, other bytes are
// themselves. The code runs through the whole picture, line ends included.
class ByteRuns
{
public:
    ByteRuns(const uchar *begin, const uchar *end, bool coded)
        : m_p(begin), m_end(end), m_coded(coded)
    {}

    bool fill(uchar *out, qsizetype count)
    {
        if (!m_coded) {
            if (m_end - m_p < count)
                return false;
            std::memcpy(out, m_p, size_t(count));
            m_p += count;
            return true;
        }
        qsizetype done = 0;
        while (done < count) {
            if (m_pending > 0) {
                const qsizetype n = qMin<qsizetype>(m_pending, count - done);
                std::memset(out + done, m_value, size_t(n));
                m_pending -= int(n);
                done += n;
                continue;
            }
            if (m_p >= m_end)
                return false;
            if (*m_p != 0x80) {
                const uchar *stop = m_p;
                while (stop < m_end && *stop != 0x80 && stop - m_p < count - done)
                    ++stop;
                std::memcpy(out + done, m_p, size_t(stop - m_p));
                done += stop - m_p;
                m_p = stop;
                continue;
            }
            if (m_end - m_p < 2)
                return false;
            const int n = m_p[1];
            if (n == 0) {
                out[done++] = 0x80;
                m_p += 2;
                continue;
            }
            if (m_end - m_p < 3)
                return false;
            m_pending = n + 1;
            m_value = m_p[2];
            m_p += 3;
        }
        return true;
    }

private:
    const uchar *m_p;
    const uchar *m_end;
    bool m_coded;
    int m_pending = 0;
    uchar m_value = 0;
};

} // namespace

bool RasHandler::canRead(QIODevice *device)
{
    return parseHeader(peek(device, HeaderSize)).has_value();
}

bool RasHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("ras");
    return true;
}

QVariant RasHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto h = parseHeader(peek(device(), HeaderSize)))
            return QSize(int(qMin(h->width, MaxSide + 1)), int(qMin(h->height, MaxSide + 1)));
    }
    return {};
}

bool RasHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool RasHandler::read(QImage *image)
{
    const auto h = parseHeader(peek(device(), HeaderSize));
    if (!h || !sizeIsSane(h->width, h->height))
        return false;
    const int width = int(h->width), height = int(h->height);
    // Lines are padded to a multiple of 16 bits.
    const qint64 lineBytes = (h->width * h->depth + 15) / 16 * 2;
    const qint64 rawSize = lineBytes * h->height;
    const bool coded = h->type == ByteEncoded;
    // The run code takes at most 3 bytes for 2 (a literal 0x80 0x80 pair).
    const QByteArray data = readAtMost(device(), HeaderSize + h->mapLength + 2 * rawSize + 16);
    const auto *begin = reinterpret_cast<const uchar *>(data.constData());
    const uchar *end = begin + data.size();
    if (data.size() < HeaderSize + h->mapLength)
        return false;
    const uchar *map = begin + HeaderSize;
    // Three bytes of run code give at most 256 bytes of picture.
    if (!couldHold(end - (map + h->mapLength), rawSize, coded ? 86 : 16))
        return false;

    QList<QRgb> colours;
    if (h->mapType == RgbMap && h->mapLength >= 3 && h->depth <= 8) {
        const int count = int(qMin<qint64>(h->mapLength / 3, 1 << h->depth));
        for (int i = 0; i < count; ++i)
            colours.append(
                qRgb(map[i], map[h->mapLength / 3 + i], map[2 * (h->mapLength / 3) + i]));
        while (colours.size() < (1 << h->depth))
            colours.append(qRgb(0, 0, 0));
    } else if (h->depth == 1) {
        // Without a map a set bit is black.
        colours = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    } else if (h->depth == 8) {
        colours = greyTable(256);
    }

    const bool rgbOrder = h->type == RgbOrder;
    QImage::Format format = QImage::Format_RGB32;
    if (h->depth == 1)
        format = QImage::Format_Mono;
    else if (h->depth == 8)
        format = QImage::Format_Indexed8;
    else if (h->depth == 24)
        format = rgbOrder ? QImage::Format_RGB888 : QImage::Format_BGR888;
    QImage result;
    if (!allocate(&result, width, height, format))
        return false;
    if (!colours.isEmpty())
        result.setColorTable(colours);

    ByteRuns runs(map + h->mapLength, end, coded);
    std::vector<uchar> line(static_cast<size_t>(lineBytes));
    int y = 0;
    for (; y < height; ++y) {
        uchar *out = result.scanLine(y);
        if (h->depth != 32) {
            // The other depths are stored as Qt holds them, and Qt's lines are at least as
            // long as the file's (both pad, Qt to 32 bits).
            if (!runs.fill(out, lineBytes))
                break;
            continue;
        }
        if (!runs.fill(line.data(), lineBytes))
            break;
        // Each pixel is a pad byte followed by blue, green, red (or red, green, blue).
        auto *px = reinterpret_cast<QRgb *>(out);
        const uchar *s = line.data();
        for (int x = 0; x < width; ++x, s += 4)
            px[x] = rgbOrder ? qRgb(s[1], s[2], s[3]) : qRgb(s[3], s[2], s[1]);
    }
    if (y == 0)
        return false;
    *image = result;
    return true;
}
