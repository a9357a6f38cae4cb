// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "arthandler.h"

#include <algorithm>
#include <cstring>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

// The clip art is one bit a pixel, most significant bit first, a set bit white.
QImage monoImage(int width, int height)
{
    QImage image = allocate(width, height, QImage::Format_Mono);
    if (image.isNull())
        return {};
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    return image;
}

void copyRows(QImage &image, const uchar *src, qint64 available, int bytesPerRow)
{
    const int rowBytes = (image.width() + 7) / 8;
    for (int y = 0; y < image.height(); ++y) {
        const qint64 offset = qint64(y) * bytesPerRow;
        if (offset >= available)
            break;
        const qint64 n = std::min<qint64>(rowBytes, available - offset);
        std::memcpy(image.scanLine(y), src + offset, size_t(n));
    }
}

// The standard form: left, right, top and bottom edges, then rows padded to an even length.
QImage decodeStandard(const QByteArray &data)
{
    ByteReader r(data);
    const int left = r.u16();
    const int right = r.u16();
    const int top = r.u16();
    const int bottom = r.u16();
    const int width = right - left;
    const int height = bottom - top;
    if (!r.ok() || !sizeAcceptable(width, height))
        return {};
    const int bytesPerRow = ((width + 7) / 8 + 1) & ~1;
    // A header claiming far more rows than the data holds is not a picture worth allocating.
    if (r.remaining() == 0 || r.remaining() * 64 < qint64(bytesPerRow) * height)
        return {};
    QImage image = monoImage(width, height);
    if (image.isNull())
        return {};
    copyRows(image, r.current(), r.remaining(), bytesPerRow);
    return image;
}

// The high-resolution form: 0xFFFF, two resolutions, width, height, a word, then rows coded
// with PackBits. The rows carry a few bytes of padding whose count the header does not give:
// it follows from the unpacked length divided by the height.
QImage decodeHighResolution(const QByteArray &data)
{
    ByteReader r(data);
    r.seek(6);
    const int width = r.u16();
    const int height = r.u16();
    r.u16();
    if (!r.ok() || !sizeAcceptable(width, height))
        return {};
    const int rowBytes = (width + 7) / 8;
    const qint64 limit = qint64(rowBytes + 2) * height;
    // PackBits grows 2 bytes into at most 128.
    if (limit > (r.remaining() + 2) * 64)
        return {};
    QByteArray unpacked;
    unpacked.reserve(int(std::min<qint64>(limit, r.remaining() * 64)));
    while (!r.atEnd() && unpacked.size() < limit) {
        const int n = int8_t(r.u8());
        if (n >= 0) {
            const int k = int(std::min<qint64>(n + 1, r.remaining()));
            unpacked.append(reinterpret_cast<const char *>(r.current()), k);
            r.skip(k);
        } else if (n != -128) {
            const char v = char(r.u8());
            unpacked.append(1 - n, v);
        }
    }
    if (unpacked.isEmpty() || unpacked.size() * 64 < qint64(rowBytes) * height)
        return {};
    int bytesPerRow = rowBytes;
    if (unpacked.size() >= qint64(rowBytes) * height)
        bytesPerRow = std::clamp(int(unpacked.size() / height), rowBytes, rowBytes + 2);
    QImage image = monoImage(width, height);
    if (image.isNull())
        return {};
    copyRows(image, reinterpret_cast<const uchar *>(unpacked.constData()), unpacked.size(),
             bytesPerRow);
    return image;
}

} // namespace

bool ArtHandler::canRead() const
{
    return device() != nullptr;
}

bool ArtHandler::canRead(QIODevice *)
{
    // Nothing in an ART header sets it apart: it is known by its name.
    return false;
}

QImage ArtHandler::decode(const QByteArray &data)
{
    if (data.size() >= 12 && uchar(data[0]) == 0xff && uchar(data[1]) == 0xff)
        return decodeHighResolution(data);
    return decodeStandard(data);
}

bool ArtHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
