// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "macpainthandler.h"

#include <QIODevice>

#include "rasterio.h"

using namespace ImageFormats::Raster;

namespace {

constexpr int Width = 576;
constexpr int Height = 720;
constexpr int LineBytes = Width / 8;
constexpr int MacBinarySize = 128;
constexpr int HeaderSize = 512; // version, 38 fill patterns, padding

// A MacBinary header: a zero byte, the file name's length (1 to 63), zero bytes at 74 and 82.
// A bare picture starts with its 32-bit version number, whose second byte is always zero.
bool hasMacBinary(const QByteArray &bytes)
{
    if (bytes.size() < MacBinarySize)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    return p[0] == 0 && p[1] >= 1 && p[1] <= 63 && p[74] == 0 && p[82] == 0;
}

bool namesPicture(const QByteArray &bytes)
{
    return hasMacBinary(bytes) && bytes.mid(65, 4) == "PNTG";
}

// The version numbers MacPaint wrote: 0 (no patterns), 2 and 3.
bool plausibleBare(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 version = be32(p);
    return version == 0 || version == 2 || version == 3;
}

} // namespace

bool MacPaintHandler::canRead(QIODevice *device)
{
    return namesPicture(peek(device, MacBinarySize));
}

bool MacPaintHandler::canRead() const
{
    const QByteArray head = peek(device(), MacBinarySize);
    if (!hasMacBinary(head) && !plausibleBare(head))
        return false;
    setFormat("mac");
    return true;
}

QVariant MacPaintHandler::option(ImageOption option) const
{
    if (option == Size)
        return QSize(Width, Height);
    return {};
}

bool MacPaintHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

bool MacPaintHandler::read(QImage *image)
{
    // PackBits never takes more than 129 bytes for 128.
    const QByteArray data =
        readAtMost(device(), MacBinarySize + HeaderSize + 2 * Height * LineBytes);
    const int start = (hasMacBinary(data) ? MacBinarySize : 0) + HeaderSize;
    if (data.size() <= start)
        return false;
    QImage result;
    if (!allocate(&result, Width, Height, QImage::Format_Mono))
        return false;
    result.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const auto *p = reinterpret_cast<const uchar *>(data.constData()) + start;
    const uchar *end = reinterpret_cast<const uchar *>(data.constData()) + data.size();
    // A 576-pixel line fills Qt's 32-bit words exactly, so the picture is one block of bytes.
    // It is expanded as one run of code: writers code line by line, but a run reaching into
    // the next line then still lands where it belongs.
    Q_ASSERT(result.bytesPerLine() == LineBytes);
    if (unpackBits(p, end, result.bits(), qsizetype(Height) * LineBytes) < LineBytes)
        return false;
    *image = result;
    return true;
}
