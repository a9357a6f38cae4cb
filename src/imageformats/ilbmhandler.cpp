// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "ilbmhandler.h"

#include <cstring>
#include <optional>
#include <vector>

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

// The header and map normally come first; a file whose header lies further in is not read.
constexpr int ScanBytes = 65536;

enum Masking { NoMask = 0, MaskPlane = 1, TransparentColour = 2 };
constexpr quint32 CamgHam = 0x800;
constexpr quint32 CamgHalfBrite = 0x80;

struct Chunk
{
    qint64 offset = -1; // of the data
    qint64 size = 0;    // as much of it as the file holds
};

struct Picture
{
    bool chunky = false; // PBM: one byte per pixel
    int width = 0;
    int height = 0;
    int planes = 0;
    int masking = NoMask;
    int compression = 0;
    int transparent = 0;
    quint32 viewModes = 0;
    Chunk cmap;
    Chunk body;
};

bool isPictureForm(const QByteArray &bytes)
{
    return bytes.size() >= 12 && bytes.startsWith("FORM") &&
           (bytes.mid(8, 4) == "ILBM" || bytes.mid(8, 4) == "PBM ");
}

// Walks the chunks of the form. Header fields come from BMHD; the colour map and body are
// located, clipped to what the data holds.
std::optional<Picture> parse(const QByteArray &bytes)
{
    if (!isPictureForm(bytes))
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    Picture pic;
    pic.chunky = bytes.mid(8, 4) == "PBM ";
    const qint64 formEnd = qMin<qint64>(8 + qint64(be32(p + 4)), bytes.size());
    bool haveHeader = false;
    qint64 pos = 12;
    while (pos + 8 <= formEnd) {
        const QByteArray id = bytes.mid(pos, 4);
        const qint64 size = be32(p + pos + 4);
        const qint64 data = pos + 8;
        const qint64 held = qMin(size, formEnd - data);
        if (id == "BMHD" && held >= 20) {
            const uchar *b = p + data;
            pic.width = be16(b);
            pic.height = be16(b + 2);
            pic.planes = b[8];
            pic.masking = b[9];
            pic.compression = b[10];
            pic.transparent = be16(b + 12);
            haveHeader = true;
        } else if (id == "CMAP") {
            pic.cmap = {data, held};
        } else if (id == "CAMG" && held >= 4) {
            pic.viewModes = be32(p + data);
        } else if (id == "BODY") {
            pic.body = {data, held};
            break;
        }
        pos = data + size + (size & 1);
    }
    if (!haveHeader || pic.width == 0 || pic.height == 0 || pic.compression > 1)
        return std::nullopt;
    if (pic.chunky ? pic.planes != 8
                   : !(pic.planes >= 1 && pic.planes <= 8) && pic.planes != 24 && pic.planes != 32)
        return std::nullopt;
    return pic;
}

QList<QRgb> colourMap(const Picture &pic, const uchar *bytes)
{
    const int count = 1 << qMin(pic.planes, 8);
    QList<QRgb> table;
    if (pic.cmap.offset < 0)
        return greyTable(count);
    const uchar *c = bytes + pic.cmap.offset;
    const int entries = int(qMin<qint64>(pic.cmap.size / 3, count));
    // Pictures of the early chip sets often hold 4-bit levels in the high nibble; spread
    // them over the full range as the display would have.
    bool nibbles = pic.planes <= 6 && entries > 0;
    for (int i = 0; i < 3 * entries && nibbles; ++i)
        nibbles = (c[i] & 0x0f) == 0;
    for (int i = 0; i < entries; ++i, c += 3) {
        if (nibbles)
            table.append(qRgb(c[0] | c[0] >> 4, c[1] | c[1] >> 4, c[2] | c[2] >> 4));
        else
            table.append(qRgb(c[0], c[1], c[2]));
    }
    while (table.size() < count)
        table.append(qRgb(0, 0, 0));
    return table;
}

enum class Mode { Indexed, Ham, Rgb };

} // namespace

bool IlbmHandler::canRead(QIODevice *device)
{
    return isPictureForm(peek(device, 12));
}

bool IlbmHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("iff");
    return true;
}

QVariant IlbmHandler::option(ImageOption option) const
{
    if (option == Size) {
        if (const auto pic = parse(peek(device(), ScanBytes)))
            return QSize(pic->width, pic->height);
    }
    return {};
}

bool IlbmHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool IlbmHandler::read(QImage *image)
{
    const auto head = parse(peek(device(), ScanBytes));
    if (!head || !sizeIsSane(head->width, head->height))
        return false;
    const int width = head->width, height = head->height;
    const bool masked = head->masking == MaskPlane;
    const int planeBytes = (width + 15) / 16 * 2;
    const qint64 lineBytes = head->chunky ? (width + 1) / 2 * 2 + (masked ? planeBytes : 0)
                                          : qint64(planeBytes) * (head->planes + (masked ? 1 : 0));
    const qint64 rawSize = lineBytes * height;
    // ByteRun1 takes at most 129 bytes for 128.
    const QByteArray data = readAtMost(device(), ScanBytes + 2 * rawSize);
    const auto pic = parse(data);
    if (!pic || pic->body.offset < 0)
        return false;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const uchar *p = bytes + pic->body.offset;
    const uchar *end = p + pic->body.size;
    // Two bytes of ByteRun1 give at most 128.
    if (!couldHold(pic->body.size, rawSize, pic->compression ? 64 : 16))
        return false;

    const int planes = pic->planes;
    QList<QRgb> colours;
    Mode mode = Mode::Rgb;
    if (planes <= 8) {
        colours = colourMap(*pic, bytes);
        mode = Mode::Indexed;
        if ((pic->viewModes & CamgHam) && (planes == 6 || planes == 8) && !pic->chunky) {
            mode = Mode::Ham;
        } else if (planes == 6 && !pic->chunky &&
                   ((pic->viewModes & CamgHalfBrite) ||
                    (pic->viewModes == 0 && pic->cmap.size / 3 == 32))) {
            // Extra Half-Brite: pens 32 to 63 are pens 0 to 31 at half brightness.
            for (int i = 0; i < 32; ++i) {
                const QRgb c = colours[i];
                colours[32 + i] = qRgb(qRed(c) >> 1, qGreen(c) >> 1, qBlue(c) >> 1);
            }
        }
        if (mode == Mode::Indexed && pic->masking == TransparentColour &&
            pic->transparent < colours.size())
            colours[pic->transparent] &= 0x00ffffff;
    }
    const bool alpha = masked || planes == 32;
    QImage::Format format = QImage::Format_RGB32;
    if (alpha)
        format = QImage::Format_ARGB32;
    else if (mode == Mode::Indexed)
        format = QImage::Format_Indexed8;
    QImage result;
    if (!allocate(&result, width, height, format))
        return false;
    if (format == QImage::Format_Indexed8)
        result.setColorTable(colours);

    std::vector<uchar> line(static_cast<size_t>(lineBytes));
    std::vector<uchar> values(size_t(width) * 4 + 8); // pixel values of up to four byte channels
    uchar *channel[4] = {values.data(), values.data() + width, values.data() + 2 * width,
                         values.data() + 3 * width};
    const uchar *mask = line.data() + lineBytes - planeBytes;
    const QRgb *pens = colours.constData();
    int y = 0;
    for (; y < height && p < end; ++y) {
        if (pic->compression) {
            std::memset(line.data(), 0, line.size());
            unpackBits(p, end, line.data(), lineBytes);
        } else {
            const qint64 n = qMin<qint64>(lineBytes, end - p);
            std::memcpy(line.data(), p, size_t(n));
            std::memset(line.data() + n, 0, size_t(lineBytes - n));
            p += n;
        }
        // Pixel values, one byte per pixel for every 8 planes.
        if (pic->chunky) {
            std::memcpy(channel[0], line.data(), size_t(width));
        } else {
            for (int group = 0; group * 8 < planes; ++group) {
                const uchar *rows[8];
                const int count = qMin(8, planes - group * 8);
                for (int k = 0; k < count; ++k)
                    rows[k] = line.data() + qint64(group * 8 + k) * planeBytes;
                planesToBytes(rows, count, width, channel[group]);
            }
        }
        uchar *out = result.scanLine(y);
        auto *px = reinterpret_cast<QRgb *>(out);
        if (format == QImage::Format_Indexed8) {
            std::memcpy(out, channel[0], size_t(width));
            continue;
        }
        if (mode == Mode::Indexed) {
            for (int x = 0; x < width; ++x)
                px[x] = pens[channel[0][x]];
        } else if (mode == Mode::Ham) {
            // Each pixel either takes a pen or changes one component of its left neighbour;
            // a line starts from the background pen. The change sets the top 4 (HAM6) or 6
            // (HAM8) bits of the component and keeps the neighbour's low bits, as the 24-bit
            // display hardware does.
            const int valueBits = planes - 2;
            const int valueMask = (1 << valueBits) - 1;
            QRgb c = pens[0];
            for (int x = 0; x < width; ++x) {
                const int v = channel[0][x];
                const int value = v & valueMask;
                const int keep = (1 << (8 - valueBits)) - 1;
                auto level = [&](int old) { return value << (8 - valueBits) | (old & keep); };
                switch (v >> valueBits) {
                case 0:
                    c = pens[value];
                    break;
                case 1:
                    c = qRgb(qRed(c), qGreen(c), level(qBlue(c)));
                    break;
                case 2:
                    c = qRgb(level(qRed(c)), qGreen(c), qBlue(c));
                    break;
                default:
                    c = qRgb(qRed(c), level(qGreen(c)), qBlue(c));
                    break;
                }
                px[x] = c;
            }
        } else if (planes == 32) {
            for (int x = 0; x < width; ++x)
                px[x] = qRgba(channel[0][x], channel[1][x], channel[2][x], channel[3][x]);
        } else {
            for (int x = 0; x < width; ++x)
                px[x] = qRgb(channel[0][x], channel[1][x], channel[2][x]);
        }
        if (masked) {
            for (int x = 0; x < width; ++x) {
                if (!(mask[x / 8] & (0x80 >> (x % 8))))
                    px[x] &= 0x00ffffff;
            }
        }
    }
    if (y == 0)
        return false;
    *image = result;
    return true;
}
