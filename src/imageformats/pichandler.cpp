// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "pichandler.h"

#include <algorithm>

#include <QIODevice>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

// Header: 0x1234, width, height, x and y offsets, plane byte (bits per pixel of a plane in the
// low nibble, planes less one in the high nibble), 0xFF, video mode, palette type, palette
// size, the palette, then the number of packed blocks (0: the pixels follow unpacked).
constexpr int kMagic = 0x1234;

struct Layout
{
    int width = 0;
    int height = 0;
    int bitsPerPlane = 0;
    int planes = 0;
    int bits() const { return bitsPerPlane * planes; }
};

bool validLayout(const Layout &l)
{
    const bool bitsOk =
        l.bitsPerPlane == 1 || l.bitsPerPlane == 2 || l.bitsPerPlane == 4 || l.bitsPerPlane == 8;
    return bitsOk && l.planes >= 1 && l.planes <= 4 && l.bits() <= 8;
}

Layout readLayout(ByteReader &r)
{
    Layout l;
    r.u16();
    l.width = r.u16();
    l.height = r.u16();
    r.u16();
    r.u16();
    const int planeInfo = r.u8();
    l.bitsPerPlane = planeInfo & 0x0f;
    l.planes = (planeInfo >> 4) + 1;
    return l;
}

// The four colours of each CGA graphics palette: palettes 1 and 0 and the mode-5 palette, in low
// then high intensity. Colour 0 is the background, black.
constexpr int kCgaPalettes[6][4] = {
    {0, 3, 5, 7}, {0, 2, 4, 6}, {0, 3, 4, 7}, {0, 11, 13, 15}, {0, 10, 12, 14}, {0, 11, 12, 15},
};

QVector<QRgb> buildPalette(int type, const uchar *p, int size, int bits)
{
    QVector<QRgb> colours;
    switch (type) {
    case 1: // CGA: the number of the palette.
        if (size >= 1 && p[0] < 6 && bits == 2) {
            for (int c : kCgaPalettes[p[0]])
                colours.append(cgaColour(c));
        }
        break;
    case 2: // PCjr / Tandy: one colour number a byte.
        for (int i = 0; i < std::min(size, 16); ++i)
            colours.append(cgaColour(p[i]));
        break;
    case 3: // EGA: one palette register value a byte.
        for (int i = 0; i < std::min(size, 16); ++i)
            colours.append(egaColour(p[i] & 63));
        break;
    case 4:
    case 5: { // VGA: red, green and blue from 0 to 63.
        auto widen = [](int v) { return ((v & 63) << 2) | ((v & 63) >> 4); };
        for (int i = 0; i + 2 < size && colours.size() < 256; i += 3)
            colours.append(qRgb(widen(p[i]), widen(p[i + 1]), widen(p[i + 2])));
        break;
    }
    default:
        break;
    }
    if (colours.isEmpty()) {
        // The display's own colours when the file names none.
        if (bits == 1) {
            colours = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        } else if (bits == 2) {
            for (int c : kCgaPalettes[0])
                colours.append(cgaColour(c));
        } else {
            for (int i = 0; i < 16; ++i)
                colours.append(cgaColour(i));
            if (bits == 8)
                colours += greyRamp(16);
        }
    }
    while (colours.size() < 256)
        colours.append(qRgb(0, 0, 0));
    return colours;
}

// Unpacks the blocks into out, at most limit bytes. A block is its packed size (with its
// 5-byte header), its unpacked size and a marker byte; in its data the marker starts a run:
// a count byte (0: a count word follows), then the byte to repeat. Other bytes are literal.
void unpackBlocks(ByteReader &r, int blocks, qint64 limit, QByteArray &out)
{
    for (int b = 0; b < blocks && r.has(5) && out.size() < limit; ++b) {
        const qint64 start = r.pos();
        const int packed = r.u16();
        r.u16();
        const int marker = r.u8();
        if (packed < 5)
            break;
        const qint64 end = std::min(r.size(), start + packed);
        while (r.pos() < end && out.size() < limit) {
            const int v = r.u8();
            if (v != marker) {
                out.append(char(v));
                continue;
            }
            qint64 run = r.u8();
            if (run == 0)
                run = r.u16();
            const char value = char(r.u8());
            if (!r.ok())
                break;
            out.append(int(std::min(run, limit - out.size())), value);
        }
        r.seek(end);
    }
}

// The sum of the unpacked sizes the block headers claim, for the blocks within the data.
qint64 claimedUnpackedBytes(ByteReader r, int blocks)
{
    qint64 total = 0;
    for (int b = 0; b < blocks && r.has(5); ++b) {
        const qint64 start = r.pos();
        const int packed = r.u16();
        total += r.u16();
        if (packed < 5)
            break;
        r.seek(std::min(r.size(), start + packed));
    }
    return total;
}

} // namespace

bool PicHandler::canRead() const
{
    return device() != nullptr;
}

bool PicHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(17);
    if (head.size() < 17)
        return false;
    ByteReader r(head);
    if (r.u16() != kMagic)
        return false;
    r.seek(0);
    const Layout l = readLayout(r);
    return l.width > 0 && l.height > 0 && validLayout(l);
}

QImage PicHandler::decode(const QByteArray &data)
{
    ByteReader r(data);
    if (r.u16() != kMagic)
        return {};
    r.seek(0);
    const Layout l = readLayout(r);
    if (!r.ok() || !validLayout(l) || !sizeAcceptable(l.width, l.height))
        return {};
    const int flag = r.u8();
    int paletteType = -1;
    const uchar *palette = nullptr;
    int paletteSize = 0;
    if (flag == 0xff || l.bits() == 1 || l.bits() == 4 || l.bits() == 8) {
        r.u8();
        paletteType = r.u16();
        paletteSize = r.u16();
        if (!r.ok() || !r.has(paletteSize))
            return {};
        palette = r.current();
        r.skip(paletteSize);
    } else {
        r.seek(r.pos() - 1);
    }
    const int blocks = r.u16();
    if (!r.ok())
        return {};

    // Each plane holds every row, from the bottom up, rows padded to whole bytes.
    const qint64 rowBytes = (qint64(l.width) * l.bitsPerPlane + 7) / 8;
    const qint64 planeBytes = rowBytes * l.height;
    const qint64 total = planeBytes * l.planes;
    QByteArray raw;
    if (blocks == 0) {
        const qint64 n = std::min(total, r.remaining());
        raw = QByteArray(reinterpret_cast<const char *>(r.current()), int(n));
    } else {
        const qint64 claimed = claimedUnpackedBytes(r, blocks);
        if (claimed <= 0)
            return {};
        const qint64 limit = std::min(total, claimed);
        unpackBlocks(r, blocks, limit, raw);
    }
    // A header claiming far more than the data holds is not a picture worth allocating.
    if (raw.isEmpty() || raw.size() * 64 < total)
        return {};

    QImage image = allocate(l.width, l.height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.fill(0);
    const int perByte = 8 / l.bitsPerPlane;
    const int mask = (1 << l.bitsPerPlane) - 1;
    const auto *src = reinterpret_cast<const uchar *>(raw.constData());
    for (int plane = 0; plane < l.planes; ++plane) {
        const int shiftUp = plane * l.bitsPerPlane;
        for (int row = 0; row < l.height; ++row) {
            const qint64 offset = plane * planeBytes + row * rowBytes;
            if (offset >= raw.size())
                break;
            uchar *dst = image.scanLine(l.height - 1 - row);
            const qint64 n = std::min<qint64>(rowBytes, raw.size() - offset);
            const uchar *s = src + offset;
            if (l.bitsPerPlane == 8) {
                std::copy_n(s, n, dst);
                continue;
            }
            for (qint64 i = 0; i < n; ++i) {
                const int byte = s[i];
                for (int j = 0; j < perByte; ++j) {
                    const qint64 x = i * perByte + j;
                    if (x >= l.width)
                        break;
                    const int shift = 8 - l.bitsPerPlane * (j + 1);
                    dst[x] |= uchar(((byte >> shift) & mask) << shiftUp);
                }
            }
        }
    }
    image.setColorTable(buildPalette(paletteType, palette, paletteSize, l.bits()));
    return image;
}

bool PicHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
