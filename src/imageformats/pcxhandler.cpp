// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "pcxhandler.h"

#include <cstring>
#include <optional>
#include <vector>

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int HeaderSize = 128;
constexpr int VgaPaletteSize = 769; // marker byte 12, then 256 RGB triples

struct Header
{
    int version = 0;
    bool rle = false;
    int bits = 0; // per pixel per plane
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;     // per plane
    uchar palette16[48] = {}; // the header's 16 colours
};

bool supportedLayout(int bits, int planes)
{
    switch (bits) {
    case 1:
        return planes >= 1 && planes <= 4;
    case 2:
    case 4:
        return planes == 1;
    case 8:
        return planes == 1 || planes == 3 || planes == 4;
    default:
        return false;
    }
}

std::optional<Header> parseHeader(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    Header h;
    h.version = p[1];
    h.bits = p[3];
    h.planes = p[65];
    const int xMin = le16(p + 4), yMin = le16(p + 6), xMax = le16(p + 8), yMax = le16(p + 10);
    h.bytesPerLine = le16(p + 66);
    if (p[0] != 0x0a || (h.version > 5 || h.version == 1) || p[2] > 1)
        return std::nullopt;
    if (!supportedLayout(h.bits, h.planes) || xMax < xMin || yMax < yMin)
        return std::nullopt;
    h.rle = p[2] == 1;
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    if (h.bytesPerLine < (qint64(h.width) * h.bits + 7) / 8)
        return std::nullopt;
    std::memcpy(h.palette16, p + 16, sizeof h.palette16);
    return h;
}

// The 16-colour palette of the display adapters, for files whose header carries none.
const QRgb EgaColours[16] = {
    0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa, 0xffaa0000, 0xffaa00aa, 0xffaa5500, 0xffaaaaaa,
    0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff, 0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff,
};

QList<QRgb> headerPalette(const Header &h)
{
    const int count = 1 << (h.bits * h.planes);
    QList<QRgb> table;
    for (int i = 0; i < count; ++i) {
        const uchar *c = h.palette16 + 3 * i;
        table.append(qRgb(c[0], c[1], c[2]));
    }
    // Writers that leave the header palette blank (or fill it with one colour) mean the
    // default colours: black and white for one bit, the adapter colours otherwise.
    bool allSame = true;
    for (QRgb c : table)
        allSame = allSame && c == table.first();
    if (!allSame)
        return table;
    if (count == 2)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return QList<QRgb>(EgaColours, EgaColours + count);
}

// Expands the run-length code into whole lines. The code is read as one stream, so a run
// that a writer carried over the end of a line continues on the next.
class RleStream
{
public:
    RleStream(const uchar *begin, const uchar *end, bool rle) : m_p(begin), m_end(end), m_rle(rle)
    {}

    // Fills count bytes; false when the data ran out first.
    bool fill(uchar *out, qsizetype count)
    {
        if (!m_rle) {
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
            const uchar b = *m_p++;
            if (b >= 0xc0) {
                if (m_p >= m_end)
                    return false;
                m_pending = b & 0x3f;
                m_value = *m_p++;
            } else {
                // A run of literal bytes below 0xc0: copy them in one go.
                const uchar *start = m_p - 1;
                const uchar *stop = start;
                const qsizetype room = count - done;
                while (stop < m_end && *stop < 0xc0 && stop - start < room)
                    ++stop;
                std::memcpy(out + done, start, size_t(stop - start));
                done += stop - start;
                m_p = stop;
            }
        }
        return true;
    }

private:
    const uchar *m_p;
    const uchar *m_end;
    bool m_rle;
    int m_pending = 0;
    uchar m_value = 0;
};

} // namespace

bool PcxHandler::canRead(QIODevice *device)
{
    return parseHeader(peek(device, HeaderSize)).has_value();
}

bool PcxHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("pcx");
    return true;
}

QVariant PcxHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto h = parseHeader(peek(device(), HeaderSize)))
            return QSize(h->width, h->height);
    }
    return {};
}

bool PcxHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool PcxHandler::read(QImage *image)
{
    const auto h = parseHeader(peek(device(), HeaderSize));
    if (!h || !sizeIsSane(h->width, h->height))
        return false;
    const qint64 lineBytes = qint64(h->bytesPerLine) * h->planes;
    const qint64 rawSize = lineBytes * h->height;
    // Run-length code never takes more than two bytes per byte; allow for the palette too.
    const QByteArray data = readAtMost(device(), HeaderSize + 2 * rawSize + VgaPaletteSize);
    const auto *begin = reinterpret_cast<const uchar *>(data.constData());
    const uchar *end = begin + data.size();
    // Two code bytes give at most 63 bytes of picture.
    if (!couldHold(data.size() - HeaderSize, rawSize, h->rle ? 32 : 16))
        return false;

    QImage::Format format = QImage::Format_Indexed8;
    QList<QRgb> colours;
    if (h->bits == 8 && h->planes == 3)
        format = QImage::Format_RGB32;
    else if (h->bits == 8 && h->planes == 4)
        format = QImage::Format_ARGB32;
    else if (h->bits == 1 && h->planes == 1)
        format = QImage::Format_Mono;
    if (h->bits == 8 && h->planes == 1) {
        // The 256-colour palette follows the picture, behind a marker byte.
        if (data.size() >= HeaderSize + VgaPaletteSize && end[-VgaPaletteSize] == 0x0c) {
            const uchar *c = end - VgaPaletteSize + 1;
            for (int i = 0; i < 256; ++i, c += 3)
                colours.append(qRgb(c[0], c[1], c[2]));
            end -= VgaPaletteSize;
        } else {
            colours = greyTable(256);
        }
    } else if (h->planes * h->bits <= 4) {
        colours = headerPalette(*h);
    }

    QImage result;
    if (!allocate(&result, h->width, h->height, format))
        return false;
    if (!colours.isEmpty())
        result.setColorTable(colours);

    RleStream stream(begin + HeaderSize, end, h->rle);
    std::vector<uchar> line(size_t(lineBytes) + 8);
    const int bpl = h->bytesPerLine;
    int y = 0;
    for (; y < h->height; ++y) {
        if (!stream.fill(line.data(), lineBytes))
            break;
        uchar *out = result.scanLine(y);
        if (format == QImage::Format_Mono) {
            std::memcpy(out, line.data(), size_t((h->width + 7) / 8));
        } else if (format == QImage::Format_Indexed8) {
            if (h->bits == 8) {
                std::memcpy(out, line.data(), size_t(h->width));
            } else if (h->planes > 1) {
                const uchar *planes[4];
                for (int p = 0; p < h->planes; ++p)
                    planes[p] = line.data() + p * bpl;
                planesToBytes(planes, h->planes, h->width, out);
            } else {
                unpackPixels(line.data(), h->bits, h->width, out);
            }
        } else {
            const uchar *r = line.data(), *g = r + bpl, *b = g + bpl;
            auto *px = reinterpret_cast<QRgb *>(out);
            if (h->planes == 4) {
                const uchar *a = b + bpl;
                for (int x = 0; x < h->width; ++x)
                    px[x] = qRgba(r[x], g[x], b[x], a[x]);
            } else {
                for (int x = 0; x < h->width; ++x)
                    px[x] = qRgb(r[x], g[x], b[x]);
            }
        }
    }
    // A file cut short keeps the lines it holds; one without a single whole line is no picture.
    if (y == 0)
        return false;
    *image = result;
    return true;
}
