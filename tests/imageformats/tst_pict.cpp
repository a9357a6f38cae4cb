// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Macintosh PICT pictures named .PIC: files from netpbm's and ImageMagick's writers decode to
// the picture they were made from, pixel for pixel; every bitmap operation, depth and packing
// is built here from the format's description; damaged files and drawings without a bitmap
// fail cleanly.
#include "imagecheck.h"
#include "picthandler.h"

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const QString &name)
{
    return fileBytes(QStringLiteral(LEGACY_FIXTURES "/") + name);
}

// version 1: one-byte operations, bit maps only; opcode 0x90 BitsRect ... 0x9B DirectBitsRgn;
// bits: the pixel size; packType, of direct pixels: 1 plain, 3 packed words, 4 packed
// components; width: rows over 250 bytes take two-byte counts.
struct Case { const char *name; int version, opcode, bits, packType, width; };

// The case's bitmap operation, drawn at (20, 10) of the frame; the Rgn forms masked to an L:
// rows 0 to 3 whole, rows 4 to 8 only x < 10. Its picture: bands of the table's colours,
// whose components survive 5 bits and 16-bit colour tables exactly.
QByteArray bitmapOperation(const Case &c, QImage *picture)
{
    const int w = c.width, h = 9, rowBytes = ((w * c.bits + 7) / 8 + 1) & ~1;
    const bool direct = c.opcode >= 0x9a, pixMap = direct || c.version == 2;
    QVector<QRgb> table;
    for (int i = 0; i < std::min(1 << std::min(c.bits, 8), 64); ++i) {
        const auto five = [](int v) { return (v << 3) | (v >> 2); };
        table << (c.bits == 1 ? qRgb(255 * (1 - i), 255 * (1 - i), 255 * (1 - i))
                              : qRgb(five(i * 7 % 32), five(i * 13 % 32), five(31 - i % 32)));
    }
    Be op;
    (c.version == 1 ? op.u8(c.opcode) : op.u16(c.opcode));
    if (direct)
        op.u32(0xff);
    op.u16(rowBytes | (pixMap ? 0x8000 : 0)).rect(0, 0, h, w);
    if (pixMap) {
        op.u16(0).u16(direct ? c.packType : 0).u32(0).u32(0x480000).u32(0x480000);
        op.u16(direct ? 16 : 0).u16(c.bits).u16(direct ? 3 : 1).u16(c.bits == 16 ? 5 : 8);
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
    if (c.opcode & 1) {
        op.u16(36).rect(10, 20, 19, 20 + w).u16(10).u16(20).u16(20 + w).u16(0x7fff);
        op.u16(14).u16(30).u16(20 + w).u16(0x7fff).u16(19).u16(20).u16(30).u16(0x7fff).u16(0x7fff);
    }
    *picture = QImage(100, 40, QImage::Format_RGB32);
    picture->fill(Qt::white);
    for (int y = 0; y < h; ++y) {
        QByteArray row(rowBytes, 0), planes(w * 3, 0);
        for (int x = 0; x < w; ++x) {
            const int index = (y == 3 ? 0 : x / 3 + y) % int(table.size());
            const QRgb p = table[index];
            if (!(c.opcode & 1) || y < 4 || x < 10)
                picture->setPixel(20 + x, 10 + y, p);
            if (c.bits <= 8)
                row[x * c.bits / 8] =
                    char(row[x * c.bits / 8] | index << (8 - c.bits - x * c.bits % 8));
            else if (c.bits == 16)
                row.replace(
                    2 * x, 2,
                    Be().u16((qRed(p) >> 3) << 10 | (qGreen(p) >> 3) << 5 | qBlue(p) >> 3).d);
            else
                row.replace(4 * x, 4, Be().u8(0).u8(qRed(p)).u8(qGreen(p)).u8(qBlue(p)).d);
            if (c.bits == 32)
                planes[x] = char(qRed(p)), planes[w + x] = char(qGreen(p)),
                planes[2 * w + x] = char(qBlue(p));
        }
        if (rowBytes < 8 || c.opcode < 0x98 || c.packType == 1) {
            op.raw(row);
            continue;
        }
        const QByteArray data =
            c.packType == 4 ? packBits(planes, 1) : packBits(row, c.bits == 16 ? 2 : 1);
        (rowBytes > 250 ? op.u16(int(data.size())) : op.u8(int(data.size()))).raw(data);
    }
    return op.d;
}

// Operations that draw nothing kept, which the reader must pass over by their lengths: hilite,
// clip, a long comment, a rectangle, a polygon, text, a dither pattern, QuickTime data and a
// reserved operation. Each ends on an even offset.
QByteArray drawingOperations()
{
    Be ops;
    ops.u16(0x1e).u16(0x01).u16(10).rect(0, 0, 40, 100).u16(0xa1).u16(100).u16(3).raw("abc").u8(0);
    ops.u16(0x31).rect(1, 2, 3, 4).u16(0x70).u16(14).rect(0, 0, 5, 5).u16(1).u16(1);
    ops.u16(0x29).u8(4).u8(5).raw("Hello").u8(0).u16(0x12).u16(2).raw(QByteArray(14, 0));
    ops.u16(0x8201).u32(4).u32(0).u16(0x0c01).raw(QByteArray(24, 7));
    return ops.d;
}

// A picture of 100 x 40: the file header, its frame, the version, the operations, the end.
QByteArray pictFile(int version, const QByteArray &operations)
{
    Be f;
    f.raw(QByteArray(512, 0)).u16(0).rect(0, 0, 40, 100);
    if (version == 1)
        return f.u8(0x11).u8(1).raw(operations).u8(0xff).d;
    f.u16(0x11).u16(0x2ff).u16(0x0c00).u16(0xffff).raw(QByteArray(22, 0)).raw(operations);
    return f.raw(QByteArray(f.d.size() % 2, 0)).u16(0xff).d;
}

// Cut anywhere, a picture is an error, never a crash or a part shown as whole.
TEST(Pict, WritersFilesDecodeToTheirSourceAndFailWhenCut)
{
    const QImage source(QStringLiteral(LEGACY_FIXTURES "/pict.png"));
    for (const char *name : {"pict-netpbm.pic", "pict-im.pic"}) {
        const QByteArray whole = fixture(name);
        QByteArray detected;
        EXPECT_EQ(difference(readBytes(whole, {}, &detected), source), "") << name;
        EXPECT_EQ(detected, "pict") << name;
        for (int n = 0; n < whole.size(); ++n)
            ASSERT_TRUE(PictHandler::decode(whole.left(n)).isNull()) << name << " cut at " << n;
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
        QImage expected;
        const QByteArray operation = bitmapOperation(c, &expected);
        const QByteArray drawing =
            c.version == 2 ? drawingOperations() : Be().u8(0x1e).u8(0x20).rect(0, 0, 5, 5).d;
        QString why;
        const QImage image = PictHandler::decode(pictFile(c.version, drawing + operation), &why);
        EXPECT_EQ(difference(image, expected), "") << c.name << " " << why.toStdString();
    }
}

TEST(Pict, DrawingsAndHugeHeadersFailCleanly)
{
    QString why;
    EXPECT_TRUE(PictHandler::decode(pictFile(2, drawingOperations()), &why).isNull());
    EXPECT_TRUE(why.contains(QStringLiteral("without a bitmap"))) << why.toStdString();
    // A 1-bit header claiming 16000 x 16000 pixels from a few bytes.
    Be huge;
    huge.u8(0x98).u16(2000).rect(0, 0, 16000, 16000).rect(0, 0, 16000, 16000);
    EXPECT_TRUE(PictHandler::decode(pictFile(1, huge.rect(0, 0, 40, 100).u16(0).d)).isNull());
}

} // namespace
