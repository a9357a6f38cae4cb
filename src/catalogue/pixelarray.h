// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImage>

#include <cstdint>

// The pixels of an image as the signatures read them: element (i, j) is the pixel in column i
// counted from the left and row j counted from the bottom, both from 1; its bytes in memory
// order are blue, green, red, and one unused byte. The array shares the one copy of the
// pixels held by its QImage (Format_RGB32), read bottom-up.
class PixelArray
{
public:
    PixelArray() = default;
    // Takes an image already in Format_RGB32 (no copy is made).
    explicit PixelArray(QImage rgb32);

    int width() const { return m_width; }   // the upper bound of i
    int height() const { return m_height; } // the upper bound of j
    bool isNull() const { return m_width == 0 || m_height == 0; }

    // Row j (1 = bottom) as width() packed 32-bit pixels 0xXXRRGGBB; column i is row[i - 1].
    const uint32_t *row(int j) const
    {
        return reinterpret_cast<const uint32_t *>(m_image.constScanLine(m_height - j));
    }
    uint32_t *mutableRow(int j) { return reinterpret_cast<uint32_t *>(m_image.scanLine(m_height - j)); }
    uint32_t at(int i, int j) const { return row(j)[i - 1]; }

    static int blue(uint32_t p) { return int(p & 0xFF); }
    static int green(uint32_t p) { return int((p >> 8) & 0xFF); }
    static int red(uint32_t p) { return int((p >> 16) & 0xFF); }

    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    int m_width = 0;
    int m_height = 0;
};

inline PixelArray::PixelArray(QImage rgb32)
    : m_image(std::move(rgb32)), m_width(m_image.width()), m_height(m_image.height())
{
    Q_ASSERT(m_image.isNull() || m_image.format() == QImage::Format_RGB32);
}
