// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Macintosh PICT pictures named .PIC: files from netpbm's and ImageMagick's writers decode to
// the picture they were made from, pixel for pixel; every bitmap operation, depth and packing
// is built here from the format's description; damaged files and drawings without a bitmap
// fail cleanly.
#include "imagecheck.h"
#include "picthandler.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

QByteArray fixture(const QString &name)
{
    return fileBytes(QStringLiteral(LEGACY_FIXTURES "/") + name);
}

// Big-endian byte building.
struct Be
{
    QByteArray d;
    Be &u8(int v)
    {
        d.append(char(v & 0xff));
        return *this;
    }
    Be &u16(int v) { return u8(v >> 8).u8(v); }
    Be &u32(quint32 v) { return u16(int(v >> 16)).u16(int(v & 0xffff)); }
    Be &rect(int top, int left, int bottom, int right)
    {
        return u16(top).u16(left).u16(bottom).u16(right);
    }
    Be &raw(const QByteArray &b)
    {
        d.append(b);
        return *this;
    }
};

// PackBits over units of one or two bytes: runs of 3 or more units repeat, the rest literal.
QByteArray packBits(const QByteArray &row, int unit)
{
    const int n = int(row.size()) / unit;
    const auto same = [&](int a, int b) {
        return row.mid(a * unit, unit) == row.mid(b * unit, unit);
    };
    QByteArray out;
    for (int i = 0; i < n;) {
        int run = 1;
        while (i + run < n && run < 128 && same(i, i + run))
            ++run;
        if (run >= 3) {
            out.append(char(1 - run)).append(row.mid(i * unit, unit));
            i += run;
            continue;
        }
        int j = i;
        while (j < n && j - i < 128 && !(j + 2 < n && same(j, j + 1) && same(j, j + 2)))
            ++j;
        out.append(char(j - i - 1)).append(row.mid(i * unit, (j - i) * unit));
        i = j;
    }
    return out;
}

// A colour whose components survive 5 bits (16-bit pixels) and 16-bit colour tables exactly.
QRgb colourOf(int i)
{
    const auto five = [](int v) { return (v << 3) | (v >> 2); };
    return qRgb(five(i * 7 % 32), five(i * 13 % 32), five(31 - i % 32));
}

struct Case
{
    const char *name;
    int version;  // 1: one-byte operations, bit maps only
    int opcode;   // 0x90 BitsRect ... 0x9B DirectBitsRgn
    int bits;     // pixel size
    int packType; // direct pixels: 1 plain, 3 packed words, 4 packed components
    int width;    // rows over 250 bytes take two-byte counts
};

// The picture of a case: bands of colours from a table of 1 << bits (at most 64) entries.
QImage casePicture(const Case &c, QVector<QRgb> *table)
{
    const int colours = std::min(1 << std::min(c.bits, 8), 64);
    for (int i = 0; i < colours; ++i)
        table->append(c.bits == 1 ? (i ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) : colourOf(i));
    QImage image(c.width, 9, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (*table)[(y == 3 ? 0 : x / 3 + y) % colours]);
    }
    return image;
}

// The L-shaped mask of the Rgn cases, at (left, top): all of rows 0 to 3, then only x < 10.
QByteArray lRegion(int top, int left, int width)
{
    Be r;
    r.u16(0).rect(top, left, top + 9, left + width);
    r.u16(top).u16(left).u16(left + width).u16(0x7fff);
    r.u16(top + 4).u16(left + 10).u16(left + width).u16(0x7fff);
    r.u16(top + 9).u16(left).u16(left + 10).u16(0x7fff).u16(0x7fff);
    r.d[0] = char(r.d.size() >> 8);
    r.d[1] = char(r.d.size());
    return r.d;
}

QByteArray bitmapOperation(const Case &c, const QImage &picture, const QVector<QRgb> &table)
{
    const bool direct = c.opcode >= 0x9a;
    const bool pixMap = direct || c.version == 2;
    const int w = picture.width(), h = picture.height();
    const int rowBytes = ((w * c.bits + 7) / 8 + 1) & ~1;
    Be op;
    if (c.version == 1)
        op.u8(c.opcode);
    else
        op.u16(c.opcode);
    if (direct)
        op.u32(0xff);
    op.u16(rowBytes | (pixMap ? 0x8000 : 0)).rect(0, 0, h, w);
    if (pixMap) {
        op.u16(0).u16(direct ? c.packType : 0).u32(0).u32(0x480000).u32(0x480000);
        op.u16(direct ? 16 : 0)
            .u16(c.bits)
            .u16(direct ? 3 : 1)
            .u16(direct ? (c.bits == 16 ? 5 : 8) : c.bits);
        op.u32(0).u32(0).u32(0);
    }
    if (pixMap && !direct) {
        op.u32(0).u16(0).u16(int(table.size()) - 1);
        for (int i = 0; i < table.size(); ++i)
            op.u16(i)
                .u16(qRed(table[i]) * 257)
                .u16(qGreen(table[i]) * 257)
                .u16(qBlue(table[i]) * 257);
    }
    op.rect(0, 0, h, w).rect(10, 20, 10 + h, 20 + w).u16(0);
    if (c.opcode & 1)
        op.raw(lRegion(10, 20, w));
    for (int y = 0; y < h; ++y) {
        QByteArray row(rowBytes, 0);
        QByteArray planes(w * 3, 0);
        for (int x = 0; x < w; ++x) {
            const QRgb p = picture.pixel(x, y);
            if (c.bits <= 8) {
                const int index = int(table.indexOf(p)) << (8 - c.bits - (x * c.bits) % 8);
                row[x * c.bits / 8] = char(row[x * c.bits / 8] | index);
            } else if (c.bits == 16) {
                const int v = (qRed(p) >> 3) << 10 | (qGreen(p) >> 3) << 5 | qBlue(p) >> 3;
                row[2 * x] = char(v >> 8);
                row[2 * x + 1] = char(v);
            } else {
                row.replace(4 * x, 4, Be().u8(0).u8(qRed(p)).u8(qGreen(p)).u8(qBlue(p)).d);
                planes[x] = char(qRed(p));
                planes[w + x] = char(qGreen(p));
                planes[2 * w + x] = char(qBlue(p));
            }
        }
        const bool packed = rowBytes >= 8 && (c.opcode >= 0x98) && !(direct && c.packType == 1);
        if (!packed) {
            op.raw(row);
            continue;
        }
        const QByteArray data =
            c.packType == 4 ? packBits(planes, 1) : packBits(row, c.bits == 16 ? 2 : 1);
        (rowBytes > 250 ? op.u16(int(data.size())) : op.u8(int(data.size()))).raw(data);
    }
    return op.d;
}

// Operations that draw nothing kept, which the reader must pass over by their lengths.
QByteArray drawingOperations()
{
    Be ops;
    ops.u16(0x1e).u16(0x01).u16(10).rect(0, 0, 40, 100); // hilite, clip
    ops.u16(0xa1).u16(100).u16(3).raw("abc").u8(0);      // long comment, padded
    ops.u16(0x31).rect(1, 2, 3, 4).u16(0x70).u16(14).rect(0, 0, 5, 5).u16(1).u16(1); // rect, poly
    ops.u16(0x29).u8(4).u8(5).raw("Hello").u8(0);                     // text, padded to even
    ops.u16(0x12).u16(2).raw(QByteArray(8, 0)).u16(1).u16(2).u16(3);  // dither pattern
    ops.u16(0x8201).u32(4).u32(0).u16(0x0c01).raw(QByteArray(24, 7)); // QuickTime, reserved
    return ops.d;
}

QByteArray pictFile(int version, const QByteArray &operations)
{
    Be f;
    f.raw(QByteArray(512, 0)).u16(0).rect(0, 0, 40, 100);
    if (version == 1)
        return f.u8(0x11).u8(1).raw(operations).u8(0xff).d;
    f.u16(0x11).u16(0x2ff).u16(0x0c00).u16(0xffff).raw(QByteArray(22, 0));
    f.raw(operations);
    if (f.d.size() % 2)
        f.u8(0);
    return f.u16(0xff).d;
}

// The frame of 100 x 40 white, the case's picture at (20, 10), masked to the L region.
QImage expected(const Case &c, const QImage &picture)
{
    QImage out(100, 40, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    if (c.opcode & 1)
        p.setClipRegion(QRegion(20, 10, c.width, 4) + QRegion(20, 14, 10, 5));
    p.drawImage(20, 10, picture);
    return out;
}

TEST(Pict, WritersFilesDecodeToTheirSource)
{
    const QImage source(QStringLiteral(LEGACY_FIXTURES "/pict.png"));
    for (const char *name : {"pict-netpbm.pic", "pict-im.pic"}) {
        QByteArray detected;
        EXPECT_EQ(difference(readBytes(fixture(name), {}, &detected), source), "") << name;
        EXPECT_EQ(detected, "pict") << name;
    }
}

TEST(Pict, EveryBitmapOperationDepthAndPacking)
{
    const Case cases[] = {
        {"v1 BitsRect bit map", 1, 0x90, 1, 0, 37},
        {"v1 PackBitsRgn bit map", 1, 0x99, 1, 0, 83},
        {"BitsRect 2-bit", 2, 0x90, 2, 0, 37},
        {"PackBitsRect 2-bit", 2, 0x98, 2, 0, 37},
        {"PackBitsRect 4-bit, short rows unpacked", 2, 0x98, 4, 0, 11},
        {"PackBitsRgn 4-bit", 2, 0x99, 4, 0, 37},
        {"BitsRgn 8-bit", 2, 0x91, 8, 0, 37},
        {"PackBitsRect 8-bit, two-byte counts", 2, 0x98, 8, 0, 300},
        {"DirectBitsRect 16-bit plain", 2, 0x9a, 16, 1, 37},
        {"DirectBitsRect 16-bit packed", 2, 0x9a, 16, 3, 37},
        {"DirectBitsRgn 32-bit plain", 2, 0x9b, 32, 1, 37},
        {"DirectBitsRect 32-bit packed", 2, 0x9a, 32, 4, 37},
        {"DirectBitsRgn 32-bit packed, two-byte counts", 2, 0x9b, 32, 4, 70},
    };
    for (const Case &c : cases) {
        QVector<QRgb> table;
        const QImage picture = casePicture(c, &table);
        const QByteArray drawing =
            c.version == 2 ? drawingOperations() : Be().u8(0x1e).u8(0x20).rect(0, 0, 5, 5).d;
        const QByteArray file = pictFile(c.version, drawing + bitmapOperation(c, picture, table));
        QString why;
        EXPECT_EQ(difference(PictHandler::decode(file, &why), expected(c, picture)), "")
            << c.name << " " << why.toStdString();
    }
}

TEST(Pict, DamagedFilesAndDrawingsFailCleanly)
{
    // Cut anywhere, a picture is an error, never a crash or a part shown as whole.
    for (const char *name : {"pict-netpbm.pic", "pict-im.pic"}) {
        const QByteArray whole = fixture(name);
        ASSERT_FALSE(PictHandler::decode(whole).isNull());
        for (int n = 0; n < whole.size(); ++n)
            ASSERT_TRUE(PictHandler::decode(whole.left(n)).isNull()) << name << " cut at " << n;
    }
    QString why;
    EXPECT_TRUE(PictHandler::decode(pictFile(2, drawingOperations()), &why).isNull());
    EXPECT_TRUE(why.contains(QStringLiteral("without a bitmap"))) << why.toStdString();
    // A 1-bit header claiming 16000 x 16000 pixels from a few bytes.
    const QByteArray huge = pictFile(1, Be().u8(0x98)
                                            .u16(2000)
                                            .rect(0, 0, 16000, 16000)
                                            .rect(0, 0, 16000, 16000)
                                            .rect(0, 0, 40, 100)
                                            .u16(0)
                                            .d);
    EXPECT_TRUE(PictHandler::decode(huge).isNull());
}

} // namespace
