// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QTransform>
#include <QRgb>
#include <QSize>
#include <QVector>

#include <cstdint>

class QIODevice;

// Helpers shared by the decoders of the older picture types (CUT, ART, HRZ, PIC, WMF, WPG,
// GEM): a bounds-checked reader over the file's bytes, the size limits every decoder applies,
// and the PC display palettes several of these formats refer to.
namespace ImageFormats::Legacy {

// A picture wider or taller than this, or holding more pixels than kMaxPixels, is refused.
constexpr int kMaxSide = 32767;
constexpr qint64 kMaxPixels = 256LL * 1024 * 1024;
// Drawings (WMF, WPG, GEM) are rendered at their own size but never above this many pixels:
// a page-sized metafile claiming a huge extent is scaled down to fit.
constexpr qint64 kMaxVectorPixels = 16LL * 1024 * 1024;
// Files are read whole; nothing larger is accepted.
constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

bool sizeAcceptable(qint64 width, qint64 height);

// Reads the device from its current position, at most maxBytes.
QByteArray readAll(QIODevice *device, qint64 maxBytes = kMaxFileBytes);

// An image of the given size and format, or a null image when the size is refused or the
// memory cannot be had.
QImage allocate(int width, int height, QImage::Format format);

// The size in pixels of a drawing widthInches x heightInches at 96 dots per inch, scaled down
// to kMaxVectorPixels and kMaxSide; empty when either side is not positive.
QSize drawingSize(double widthInches, double heightInches);

// Limits the time a drawing takes to rasterize. Qt's rasterizer spends time in proportion to
// the segments of a path times the pixel rows they cross, and to the pixels it fills; a
// metafile whose shapes add up to more than the budget is drawn only up to that point.
class PaintBudget
{
public:
    // Charges one shape drawn with the transform onto an image of the given size; false once
    // the budget is spent, when the shape should be left out.
    bool charge(const QPainterPath &path, const QTransform &transform, const QSize &image,
                bool wideStroke);
    // Charges a fill or a picture covering a device rectangle.
    bool charge(const QRectF &deviceRect, const QSize &image);

private:
    qint64 m_left = 200'000'000;
};

// Little-endian reads that never pass the end: a read beyond it returns 0 and clears ok().
class ByteReader
{
public:
    ByteReader(const QByteArray &data)
        : m_data(reinterpret_cast<const uchar *>(data.constData())), m_size(data.size())
    {}
    ByteReader(const uchar *data, qint64 size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    qint64 pos() const { return m_pos; }
    qint64 size() const { return m_size; }
    qint64 remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    bool has(qint64 n) const { return n >= 0 && n <= m_size - m_pos; }
    const uchar *current() const { return m_data + m_pos; }
    const uchar *data() const { return m_data; }

    bool seek(qint64 pos)
    {
        if (pos < 0 || pos > m_size) {
            m_ok = false;
            return false;
        }
        m_pos = pos;
        return true;
    }
    bool skip(qint64 n) { return n >= 0 && seek(m_pos + n); }

    uint8_t u8()
    {
        if (m_pos >= m_size) {
            m_ok = false;
            return 0;
        }
        return m_data[m_pos++];
    }
    uint16_t u16()
    {
        if (!has(2)) {
            m_ok = false;
            m_pos = m_size;
            return 0;
        }
        const uint16_t v = uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    int16_t s16() { return int16_t(u16()); }
    uint32_t u32()
    {
        const uint32_t lo = u16();
        const uint32_t hi = u16();
        return lo | (hi << 16);
    }
    int32_t s32() { return int32_t(u32()); }

private:
    const uchar *m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    bool m_ok = true;
};

// The 16 colours of the CGA/EGA text palette (black, blue, green, cyan, red, magenta, brown,
// light grey, dark grey, and the bright variants).
QRgb cgaColour(int index);
// One of the 64 colours an EGA palette register can hold (bits rgbRGB).
QRgb egaColour(int code);
// A grey ramp of n entries from black to white.
QVector<QRgb> greyRamp(int n);

} // namespace ImageFormats::Legacy
