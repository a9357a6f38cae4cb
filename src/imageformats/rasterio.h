// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

class QIODevice;

// Pieces shared by the bitmap decoders: the size limits, bounded reads of the device, and the
// expansion of bit planes, packed pixels and PackBits runs.
namespace ImageFormats::Raster {

// The largest picture any decoder accepts: the catalogue's own side limit, and a pixel count
// that keeps a damaged header from asking for gigabytes.
constexpr qint64 MaxSide = 32767;
constexpr qint64 MaxPixels = 256LL * 1024 * 1024;

bool sizeIsSane(qint64 width, qint64 height);

// Reads from the device's position on, at most limit bytes. Memory is reserved only for what
// the device actually holds, so a header cannot make us reserve more than the file's size.
QByteArray readAtMost(QIODevice *device, qint64 limit);

// The bytes at the device's position, without moving it.
QByteArray peek(QIODevice *device, qint64 count);

// True when dataBytes, expanded at most maxExpansion times, could fill rawSize bytes of
// picture. Checked before allocating, so that a short file cannot claim a huge picture; for
// plain data a factor of 16 lets a file that was cut short show the part it holds.
inline bool couldHold(qint64 dataBytes, qint64 rawSize, qint64 maxExpansion)
{
    return dataBytes > 0 && dataBytes * maxExpansion >= rawSize;
}

// A cleared image of the given size and format, within the size limits and Qt's allocation
// limit (QImageReader::allocationLimit). False when refused.
bool allocate(QImage *image, int width, int height, QImage::Format format);

inline quint16 be16(const uchar *p)
{
    return quint16(p[0] << 8 | p[1]);
}
inline quint32 be32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}
inline quint16 le16(const uchar *p)
{
    return quint16(p[1] << 8 | p[0]);
}

// Merges up to 8 bit-plane rows (leftmost pixel in the most significant bit) into one byte per
// pixel; plane k gives bit k of the pixel value.
void planesToBytes(const uchar *const *planes, int planeCount, int width, uchar *out);

// Spreads packed pixels of 1, 2 or 4 bits (leftmost pixel in the high bits) to one byte each.
void unpackPixels(const uchar *src, int bits, int width, uchar *out);

// Expands PackBits data (also known as ByteRun1) from src, which is advanced, into count bytes
// at dst. A run reaching past dst's end is cut there. Returns the number of bytes written,
// which is less than count only when the data ran out.
qsizetype unpackBits(const uchar *&src, const uchar *end, uchar *dst, qsizetype count);

// count shades from black to white.
QList<QRgb> greyTable(int count);

} // namespace ImageFormats::Raster
