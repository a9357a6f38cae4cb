// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "cuthandler.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

// A palette file: "AH", version, size, type, subtype, board, mode, highest index, the highest
// value of each primary, a 20-byte name; then red, green, blue words per colour. Colours never
// straddle a 512-byte block: the last few bytes of a block are padding.
constexpr int kPalHeaderSize = 40;

QVector<QRgb> readPalette(const QByteArray &bytes)
{
    ByteReader r(bytes);
    if (bytes.size() < kPalHeaderSize || bytes[0] != 'A' || bytes[1] != 'H')
        return {};
    r.seek(12);
    const int maxIndex = r.u16();
    int maxRed = r.u16();
    int maxGreen = r.u16();
    int maxBlue = r.u16();
    if (maxIndex < 1 || maxIndex > 255)
        return {};
    maxRed = maxRed ? maxRed : 255;
    maxGreen = maxGreen ? maxGreen : 255;
    maxBlue = maxBlue ? maxBlue : 255;
    auto scale = [](int v, int max) { return std::min(255, (v * 255 + max / 2) / max); };
    QVector<QRgb> colours;
    r.seek(kPalHeaderSize);
    for (int i = 0; i <= maxIndex; ++i) {
        if (r.pos() % 512 > 512 - 6)
            r.seek((r.pos() / 512 + 1) * 512);
        if (!r.has(6))
            break;
        const int red = r.u16();
        const int green = r.u16();
        const int blue = r.u16();
        colours.append(qRgb(scale(red, maxRed), scale(green, maxGreen), scale(blue, maxBlue)));
    }
    return colours;
}

// Decodes one line's runs into out (at most out.size() bytes); returns the bytes produced.
// A line is a byte count, then runs: a count byte with the high bit set repeats the next byte,
// one without copies that many bytes, zero ends the line.
int decodeLine(ByteReader &r, QByteArray &out)
{
    const int lineBytes = r.u16();
    const qint64 end = std::min(r.size(), r.pos() + lineBytes);
    int n = 0;
    while (r.pos() < end) {
        const int c = r.u8();
        if ((c & 0x7f) == 0)
            break;
        const int count = c & 0x7f;
        if (c & 0x80) {
            const char v = char(r.u8());
            const int k = std::min(count, int(out.size()) - n);
            std::fill_n(out.data() + n, std::max(0, k), v);
            n += std::max(0, k);
        } else {
            const int k = int(std::min<qint64>({count, out.size() - n, r.remaining()}));
            std::copy_n(r.current(), std::max(0, k), out.data() + n);
            n += std::max(0, k);
            r.skip(count);
        }
    }
    r.seek(end);
    return n;
}

} // namespace

bool CutHandler::canRead() const
{
    return device() != nullptr;
}

bool CutHandler::canRead(QIODevice *)
{
    // A CUT file begins with its width and height only: it is known by its name.
    return false;
}

QString CutHandler::paletteFileFor(const QString &cutFile)
{
    const QFileInfo info(cutFile);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    for (const char *suffix : {".pal", ".PAL", ".Pal"}) {
        const QString candidate = base + QLatin1String(suffix);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

QImage CutHandler::decode(const QByteArray &data, const QByteArray &palette)
{
    ByteReader r(data);
    const int width = r.u16();
    const int height = r.u16();
    r.u16();
    if (!r.ok() || !sizeAcceptable(width, height))
        return {};
    // Each line costs at least its 2-byte count; runs of 2 bytes give at most 127 pixels.
    if (qint64(height) * 2 > r.remaining() + 2 ||
        qint64(width) * height > (r.remaining() + 16) * 127)
        return {};

    QImage image = allocate(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.fill(0);
    QByteArray line(width, 0);
    int depth = 0;
    int highest = 0;
    for (int y = 0; y < height && r.remaining() >= 2; ++y) {
        line.fill(0);
        const int n = decodeLine(r, line);
        // The first line tells how the pixels are packed: a byte per pixel, two, or eight.
        if (depth == 0)
            depth = n >= width ? 8 : n == (width + 1) / 2 ? 4 : n == (width + 7) / 8 ? 1 : 8;
        uchar *dst = image.scanLine(y);
        const auto *src = reinterpret_cast<const uchar *>(line.constData());
        for (int x = 0; x < width; ++x) {
            int v;
            if (depth == 8)
                v = src[x];
            else if (depth == 4)
                v = (src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0f;
            else
                v = (src[x / 8] >> (7 - (x & 7))) & 1;
            dst[x] = uchar(v);
            highest = std::max(highest, v);
        }
    }

    QVector<QRgb> colours = readPalette(palette);
    if (colours.isEmpty()) {
        // Without a palette the indices are shades of grey; a picture using only 0 and 1 is
        // black and white.
        colours = depth == 8 ? greyRamp(256) : greyRamp(depth == 4 ? 16 : 2);
        if (depth == 8 && highest < 2)
            colours[1] = qRgb(255, 255, 255);
    }
    while (colours.size() < 256)
        colours.append(qRgb(0, 0, 0));
    image.setColorTable(colours);
    return image;
}

bool CutHandler::read(QImage *image)
{
    QByteArray palette;
    if (auto *file = qobject_cast<QFile *>(device())) {
        const QString palName = paletteFileFor(file->fileName());
        QFile pal(palName);
        if (!palName.isEmpty() && pal.open(QIODevice::ReadOnly))
            palette = pal.read(64 * 1024);
    }
    const QImage decoded = decode(readAll(device()), palette);
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
