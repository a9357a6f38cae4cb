// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The decoders of the older picture types. ART and HRZ are checked against files ImageMagick
// wrote and WMF against files LibreOffice Draw wrote (tests/data/imageformats/legacy, see
// make-fixtures.sh there). No writer of CUT, PIC, WPG or GEM exists on Debian: those files are
// built here byte by byte from the published format descriptions; the CUT and WPG builders
// were checked once against ImageMagick's readers of those formats.
#include "arthandler.h"
#include "cuthandler.h"
#include "formats.h"
#include "gemmetahandler.h"
#include "hrzhandler.h"
#include "pichandler.h"
#include "wmfhandler.h"
#include "wpghandler.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <functional>

namespace {

QByteArray fixtureBytes(const QString &name)
{
    QFile f(QStringLiteral(LEGACY_FIXTURES "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

QImage fixtureImage(const QString &name)
{
    return QImage(QStringLiteral(LEGACY_FIXTURES "/") + name);
}

// Reads bytes as the program does, through QImageReader: by content unless a format is named.
QImage readBytes(const QByteArray &bytes, const QByteArray &format = {},
                 QByteArray *detected = nullptr)
{
    ImageFormats::registerBuiltInFormats();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QImage image = reader.read();
    if (detected)
        *detected = reader.format();
    return image;
}

// Empty when the pictures agree pixel for pixel, else where they first differ.
std::string difference(const QImage &actual, const QImage &expected)
{
    if (actual.isNull())
        return "no picture";
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.width()) + "x" + std::to_string(actual.height());
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != e.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       QColor(a.pixel(x, y)).name().toStdString() + " not " +
                       QColor(e.pixel(x, y)).name().toStdString();
        }
    }
    return {};
}

// The colour at a point given as fractions of the picture's width and height.
QColor at(const QImage &image, double fx, double fy)
{
    return image.pixelColor(std::min(image.width() - 1, int(fx * image.width())),
                            std::min(image.height() - 1, int(fy * image.height())));
}

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Little-endian byte building.
struct Bytes
{
    QByteArray d;
    Bytes &u8(int v)
    {
        d.append(char(v & 0xff));
        return *this;
    }
    Bytes &u16(int v) { return u8(v).u8(v >> 8); }
    Bytes &u32(quint32 v) { return u16(int(v & 0xffff)).u16(int(v >> 16)); }
    Bytes &raw(const QByteArray &b)
    {
        d.append(b);
        return *this;
    }
};

// A picture of palette indices used by the bitmap cases: diagonal bands, a flat row and a
// repeated row so that every kind of run occurs.
QImage indexPicture(int width, int height, int colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int v = (x / 3 + y * 2) % colours;
            if (y == 2)
                v = colours - 1;
            if (y == 4 && height > 5)
                v = (x / 3 + 3 * 2) % colours; // same as row 3
            image.scanLine(y)[x] = uchar(v);
        }
    }
    return image;
}

QImage withPalette(QImage indexed, const QVector<QRgb> &palette)
{
    QVector<QRgb> table = palette;
    table.resize(256);
    indexed.setColorTable(table);
    return indexed;
}

// ---- CUT ----

// A line: its byte count, runs (0x80 | n repeats the next byte, n copies n bytes), a zero.
QByteArray cutFile(const QImage &indices)
{
    Bytes out;
    out.u16(indices.width()).u16(indices.height()).u16(0);
    for (int y = 0; y < indices.height(); ++y) {
        const uchar *row = indices.constScanLine(y);
        QByteArray line;
        int x = 0;
        while (x < indices.width()) {
            int run = 1;
            while (x + run < indices.width() && row[x + run] == row[x] && run < 127)
                ++run;
            if (run >= 3) {
                line.append(char(0x80 | run)).append(char(row[x]));
                x += run;
                continue;
            }
            int n = 0;
            while (x + n < indices.width() && n < 127 &&
                   !(x + n + 2 < indices.width() && row[x + n] == row[x + n + 1] &&
                     row[x + n] == row[x + n + 2]))
                ++n;
            n = std::max(n, 1);
            line.append(char(n)).append(reinterpret_cast<const char *>(row + x), n);
            x += n;
        }
        line.append('\0');
        out.u16(int(line.size())).raw(line);
    }
    return out.d;
}

// "AH", header words, highest index and highest primary values, a name; then the colours,
// none straddling a 512-byte block.
QByteArray halloPalette(const QVector<QRgb> &colours, int maxValue)
{
    Bytes out;
    out.raw("AH").u16(3).u16(0).u8(0x0a).u8(0).u16(0).u16(0).u16(int(colours.size()) - 1);
    out.u16(maxValue).u16(maxValue).u16(maxValue).raw(QByteArray("Dr. Halo").leftJustified(20, 0));
    for (QRgb c : colours) {
        if (out.d.size() % 512 > 512 - 6)
            out.raw(QByteArray(512 - out.d.size() % 512, 0));
        out.u16(qRed(c) * maxValue / 255).u16(qGreen(c) * maxValue / 255);
        out.u16(qBlue(c) * maxValue / 255);
    }
    return out.d;
}

// ---- PIC ----

struct PicCase
{
    const char *name;
    int bitsPerPlane;
    int planes;
    int paletteType;
    QByteArray paletteBytes;
    QVector<QRgb> expectedPalette;
    bool packed;
};

QByteArray picFile(const QImage &indices, const PicCase &c)
{
    const int w = indices.width(), h = indices.height();
    // Each plane whole, rows from the bottom, each row padded to a byte.
    QByteArray pixels;
    const int mask = (1 << c.bitsPerPlane) - 1;
    for (int plane = 0; plane < c.planes; ++plane) {
        for (int y = h - 1; y >= 0; --y) {
            int acc = 0, bits = 0;
            for (int x = 0; x < w; ++x) {
                acc = (acc << c.bitsPerPlane) |
                      ((indices.pixelIndex(x, y) >> (plane * c.bitsPerPlane)) & mask);
                bits += c.bitsPerPlane;
                if (bits == 8) {
                    pixels.append(char(acc));
                    acc = bits = 0;
                }
            }
            if (bits)
                pixels.append(char(acc << (8 - bits)));
        }
    }
    Bytes out;
    out.u16(0x1234).u16(w).u16(h).u16(0).u16(0);
    out.u8(((c.planes - 1) << 4) | c.bitsPerPlane).u8(0xff).u8('L');
    out.u16(c.paletteType).u16(int(c.paletteBytes.size())).raw(c.paletteBytes);
    if (!c.packed) {
        out.u16(0).raw(pixels);
        return out.d;
    }
    // Blocks of at most 1000 input bytes; runs of 4 or more use the marker (a word count when
    // longer than 255), and a literal marker byte is coded as a run of one.
    const int marker = 0xa5;
    QList<QByteArray> blocks;
    QList<int> unpacked;
    for (int start = 0; start < pixels.size(); start += 1000) {
        const QByteArray chunk = pixels.mid(start, 1000);
        QByteArray b;
        for (int i = 0; i < chunk.size();) {
            int run = 1;
            while (i + run < chunk.size() && chunk[i + run] == chunk[i])
                ++run;
            if (run >= 4 || uchar(chunk[i]) == marker) {
                b.append(char(marker));
                if (run > 255)
                    b.append('\0').append(char(run & 0xff)).append(char(run >> 8));
                else
                    b.append(char(run));
                b.append(chunk[i]);
                i += run;
            } else {
                b.append(chunk[i++]);
            }
        }
        blocks.append(b);
        unpacked.append(int(chunk.size()));
    }
    out.u16(int(blocks.size()));
    for (int i = 0; i < blocks.size(); ++i)
        out.u16(int(blocks[i].size()) + 5).u16(unpacked[i]).u8(marker).raw(blocks[i]);
    return out.d;
}

// ---- WPG ----

QByteArray wpgHeader(int major)
{
    Bytes out;
    out.raw("\xffWPC").u32(16).u8(1).u8(0x16).u8(major).u8(0).u16(0).u16(0);
    return out.d;
}

QByteArray wpg1Record(int type, const QByteArray &payload)
{
    Bytes out;
    out.u8(type);
    if (payload.size() < 0xff)
        out.u8(int(payload.size()));
    else
        out.u8(0xff).u16(int(payload.size()));
    return out.raw(payload).d;
}

QByteArray wpg2Record(int type, const QByteArray &payload, int extension = 0)
{
    Bytes out;
    out.u8(0x0f).u8(type).u8(extension);
    if (payload.size() < 0xff)
        out.u8(int(payload.size()));
    else
        out.u8(0xff).u16(int(payload.size()));
    return out.raw(payload).d;
}

// Packs rows of 8-bit indices for the first version: a repeated row becomes a row repeat,
// runs of 3 or more a byte repeat (0xFF runs the short form), the rest literal bytes.
QByteArray wpg1Rows(const QImage &indices)
{
    QByteArray out;
    for (int y = 0; y < indices.height(); ++y) {
        const QByteArray row(reinterpret_cast<const char *>(indices.constScanLine(y)),
                             indices.width());
        if (y > 0 && row == QByteArray(reinterpret_cast<const char *>(indices.constScanLine(y - 1)),
                                       indices.width())) {
            out.append('\0').append(char(1));
            continue;
        }
        for (int x = 0; x < row.size();) {
            int run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 127)
                ++run;
            if (run >= 3 && uchar(row[x]) == 0xff) {
                out.append(char(0x80)).append(char(run));
                x += run;
            } else if (run >= 3) {
                out.append(char(0x80 | run)).append(row[x]);
                x += run;
            } else {
                out.append(char(1)).append(row[x++]);
            }
        }
    }
    return out;
}

// ---- GEM ----

QByteArray gemHeader(int kind, int xMax, int yMax, int pageW, int pageH)
{
    Bytes out;
    out.u16(0xffff).u16(24).u16(101).u16(kind).u16(0).u16(0).u16(xMax).u16(yMax);
    out.u16(pageW).u16(pageH);
    for (int i = 10; i < 24; ++i)
        out.u16(0);
    return out.d;
}

QByteArray gemRecord(int opcode, const QList<QPoint> &points, const QList<int> &ints, int sub = 0)
{
    Bytes out;
    out.u16(opcode).u16(int(points.size())).u16(int(ints.size())).u16(sub);
    for (const QPoint &p : points)
        out.u16(p.x()).u16(p.y());
    for (int v : ints)
        out.u16(v);
    return out.d;
}

// ---- Tests ----

TEST(LegacyFormats, QtReaderOffersEveryType)
{
    ImageFormats::registerBuiltInFormats();
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    for (const char *name : {"cut", "art", "hrz", "pic", "wmf", "wpg", "gem"})
        EXPECT_TRUE(supported.contains(name)) << name;
}

TEST(LegacyFormats, ContentDecidesWhereTheFormatHasASignature)
{
    const QImage indices = indexPicture(8, 6, 16);
    const PicCase pic{"", 8, 1, 0, {}, {}, false};
    const struct
    {
        const char *name;
        QByteArray bytes;
        QByteArray expected; // format found by content; empty: none (known by name only)
    } cases[] = {
        {"placeable wmf", fixtureBytes("shapes.wmf"), "wmf"},
        {"plain wmf", fixtureBytes("shapes.wmf").mid(22), "wmf"},
        {"wpg", wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16(1200).u16(1200).d), "wpg"},
        {"pic", picFile(indices, pic), "pic"},
        {"gem", gemHeader(2, 10, 10, 0, 0) + gemRecord(0xffff, {}, {}), "gem"},
        {"cut", cutFile(indices), ""},
        {"art", fixtureBytes("mono.art"), ""},
    };
    for (const auto &c : cases) {
        QByteArray detected;
        readBytes(c.bytes, {}, &detected);
        EXPECT_EQ(detected, c.expected) << c.name;
    }
}

// Files an independent writer made, decoded exactly to the picture they were made from.
TEST(LegacyFormats, ImageMagickFilesDecodeToTheirSources)
{
    EXPECT_EQ(difference(readBytes(fixtureBytes("mono.art"), "art"), fixtureImage("mono.png")), "");
    const QByteArray hrz = qUncompress(fixtureBytes("ramp.hrz.z"));
    ASSERT_EQ(hrz.size(), 256 * 240 * 3);
    EXPECT_EQ(difference(readBytes(hrz, "hrz"), fixtureImage("ramp.png")), "");
}

TEST(LegacyFormats, LibreOfficeMetafilesDrawTheirShapes)
{
    const QByteArray placeable = fixtureBytes("shapes.wmf");
    // Without its 22-byte placeable header the file is a plain metafile whose window records
    // give its frame.
    for (const QByteArray &bytes : {placeable, placeable.mid(22)}) {
        const QImage image = readBytes(bytes);
        ASSERT_FALSE(image.isNull());
        // The drawing is 200 x 150 units at 96 dpi; the writer rounds the frame a little. The
        // plain file has no physical size: its window's units are pixels.
        if (bytes.size() == placeable.size())
            EXPECT_NEAR(image.width(), 190, 12);
        EXPECT_NEAR(double(image.width()) / image.height(), 200.0 / 150, 0.05);
        const struct
        {
            double x, y;
            QColor colour;
        } samples[] = {
            {60 / 200.0, 45 / 150.0, Qt::red},            // inside the rectangle
            {22 / 200.0, 22 / 150.0, Qt::red},            // near its corner
            {150 / 200.0, 100 / 150.0, Qt::blue},         // the ellipse's centre
            {60 / 200.0, 120 / 150.0, QColor(0, 160, 0)}, // inside the triangle
            {110 / 200.0, 20 / 150.0, Qt::white},         // between the shapes
            {150 / 200.0, 20 / 150.0, Qt::white},         // above the ellipse
            {25 / 200.0, 95 / 150.0, Qt::white},          // beside the triangle's apex
        };
        for (const auto &s : samples)
            EXPECT_TRUE(near(at(image, s.x, s.y), s.colour))
                << s.x << "," << s.y << " " << at(image, s.x, s.y).name().toStdString();
    }
}

TEST(LegacyFormats, MetafileBitmapsKeepTheirPixels)
{
    const QImage image = readBytes(fixtureBytes("bitmap.wmf"));
    const QImage cells = fixtureImage("cells.png");
    ASSERT_FALSE(image.isNull());
    // Each of the 4 x 3 source pixels covers a block; the middle of each block is its colour.
    for (int y = 0; y < cells.height(); ++y) {
        for (int x = 0; x < cells.width(); ++x) {
            const QColor got = at(image, (x + 0.5) / cells.width(), (y + 0.5) / cells.height());
            EXPECT_TRUE(near(got, cells.pixelColor(x, y), 2))
                << x << "," << y << " " << got.name().toStdString();
        }
    }
}

TEST(LegacyFormats, CutUsesThePaletteBesideItOrGrey)
{
    const QImage indices = indexPicture(37, 9, 200);
    QVector<QRgb> colours;
    for (int i = 0; i < 200; ++i)
        colours.append(qRgb(i, 255 - i, (i * 7) & 0xff));
    // Colours on a 0..63 scale widen exactly when they are multiples of 85.
    QVector<QRgb> coarse;
    for (int i = 0; i < 200; ++i)
        coarse.append(qRgb(i % 4 * 85, (i / 4) % 4 * 85, (i / 16) % 4 * 85));
    const QByteArray cut = cutFile(indices);

    EXPECT_EQ(difference(CutHandler::decode(cut, halloPalette(colours, 255)),
                         withPalette(indices, colours)),
              "");
    EXPECT_EQ(
        difference(CutHandler::decode(cut, halloPalette(coarse, 63)), withPalette(indices, coarse)),
        "");
    QVector<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.append(qRgb(i, i, i));
    EXPECT_EQ(difference(CutHandler::decode(cut, {}), withPalette(indices, grey)), "");

    // Read by name through Qt, the palette file beside the picture is found whatever the case
    // of its suffix.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile picture(dir.filePath("scan.cut"));
    QFile palette(dir.filePath("scan.PAL"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly) && palette.open(QIODevice::WriteOnly));
    picture.write(cut);
    palette.write(halloPalette(colours, 255));
    picture.close();
    palette.close();
    ImageFormats::registerBuiltInFormats();
    EXPECT_EQ(difference(QImageReader(picture.fileName()).read(), withPalette(indices, colours)),
              "");
}

TEST(LegacyFormats, PicVariantsDecodeExactly)
{
    QVector<QRgb> vga;
    QByteArray vgaBytes;
    for (int i = 0; i < 256; ++i) {
        const int r = i % 64, g = (i * 3) % 64, b = 63 - i % 64;
        vgaBytes.append(char(r)).append(char(g)).append(char(b));
        vga.append(qRgb((r << 2) | (r >> 4), (g << 2) | (g >> 4), (b << 2) | (b >> 4)));
    }
    QVector<QRgb> ega;
    QByteArray egaBytes;
    for (int i = 0; i < 16; ++i) {
        const int code = (i * 11) % 64;
        egaBytes.append(char(code));
        ega.append(qRgb(((code >> 2) & 1) * 0xaa + ((code >> 5) & 1) * 0x55,
                        ((code >> 1) & 1) * 0xaa + ((code >> 4) & 1) * 0x55,
                        (code & 1) * 0xaa + ((code >> 3) & 1) * 0x55));
    }
    const QVector<QRgb> cga = {0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa,
                               0xffaa0000, 0xffaa00aa, 0xffaa5500, 0xffaaaaaa,
                               0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff,
                               0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff};
    QVector<QRgb> pcjr;
    QByteArray pcjrBytes;
    for (int i = 0; i < 16; ++i) {
        pcjrBytes.append(char(15 - i));
        pcjr.append(cga[15 - i]);
    }
    const PicCase cases[] = {
        {"mono, no palette", 1, 1, 0, {}, {0xff000000, 0xffffffff}, false},
        {"CGA palette 1 bright",
         2,
         1,
         1,
         QByteArray("\x03\x00", 2),
         {cga[0], cga[11], cga[13], cga[15]},
         true},
        {"CGA default", 2, 1, 0, {}, {cga[0], cga[3], cga[5], cga[7]}, false},
        {"EGA planes", 1, 4, 3, egaBytes, ega, true},
        {"PCjr 4-bit", 4, 1, 2, pcjrBytes, pcjr, true},
        {"VGA packed", 8, 1, 4, vgaBytes, vga, true},
        {"VGA plain", 8, 1, 4, vgaBytes, vga, false},
    };
    for (const PicCase &c : cases) {
        const int colours = 1 << (c.bitsPerPlane * c.planes);
        // Wide enough for a run over 255 bytes in the 8-bit case.
        QImage indices = indexPicture(c.bitsPerPlane == 8 ? 300 : 21, 7, colours);
        if (c.bitsPerPlane == 8) {
            for (int x = 0; x < 300; ++x)
                indices.scanLine(5)[x] = 0xa5; // the marker value itself, as a long run
        }
        const QByteArray file = picFile(indices, c);
        EXPECT_EQ(difference(readBytes(file), withPalette(indices, c.expectedPalette)), "")
            << c.name;
    }
}

TEST(LegacyFormats, WpgBitmapsDecodeExactly)
{
    const QImage indices = indexPicture(23, 8, 256);
    QVector<QRgb> palette;
    QByteArray map1, map2;
    for (int i = 0; i < 256; ++i) {
        const QRgb c = qRgb((i * 7) & 0xff, (i * 13) & 0xff, 255 - i);
        palette.append(c);
        map1.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        map2.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c))).append('\0');
    }
    Bytes head1;
    head1.u16(0).u16(256);
    Bytes bitmap1;
    bitmap1.u16(indices.width()).u16(indices.height()).u16(8).u16(75).u16(75);
    const QByteArray version1 =
        wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16(2300).u16(800).d) +
        wpg1Record(0x0e, head1.d + map1) + wpg1Record(0x0b, bitmap1.d + wpg1Rows(indices)) +
        wpg1Record(0x10, {});
    EXPECT_EQ(difference(readBytes(version1), withPalette(indices, palette)), "") << "version 1";

    // Version 2: rows coded with literal runs, sample repeats and a row repeat.
    QByteArray rows;
    for (int y = 0; y < indices.height(); ++y) {
        const uchar *row = indices.constScanLine(y);
        if (y == 4) {
            rows.append(char(0xfe)).append('\0');
            continue;
        }
        if (y == 2) {
            rows.append(char(0x80 | (indices.width() - 1))).append(char(row[0]));
            continue;
        }
        rows.append(char(indices.width() - 1))
            .append(reinterpret_cast<const char *>(row), indices.width());
    }
    Bytes start;
    start.u16(1200).u16(1200).u8(0);
    for (int i = 0; i < 2; ++i)
        start.u16(0).u16(0).u16(2300).u16(800);
    Bytes head2;
    head2.u16(0).u16(256);
    Bytes place;
    place.u16(0).u16(0).u16(0).u16(2300).u16(800).u16(75).u16(75);
    Bytes data;
    data.u16(indices.width()).u16(indices.height()).u8(4).u8(1);
    const QByteArray version2 = wpgHeader(2) + wpg2Record(0x01, start.d) +
                                wpg2Record(0x0c, head2.d + map2) + wpg2Record(0x1b, place.d, 1) +
                                wpg2Record(0x0e, data.d + rows) + wpg2Record(0x02, {});
    EXPECT_EQ(difference(readBytes(version2), withPalette(indices, palette)), "") << "version 2";
}

TEST(LegacyFormats, WpgDrawingsArePlacedOnThePage)
{
    // Version 1: a 2 x 1 inch page (1200 units an inch, y up); a red filled rectangle in the
    // lower left quarter, a blue line along the top edge.
    const QByteArray version1 =
        wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16(2400).u16(1200).d) +
        wpg1Record(0x01, Bytes().u8(1).u8(12).d)         // solid, colour 12: red
        + wpg1Record(0x02, Bytes().u8(0).u8(1).u16(0).d) // no outline
        + wpg1Record(0x07, Bytes().u16(0).u16(0).u16(1200).u16(600).d) +
        wpg1Record(0x02, Bytes().u8(1).u8(9).u16(60).d) // blue, 1/20 inch
        + wpg1Record(0x05, Bytes().u16(0).u16(1170).u16(2400).u16(1170).d) + wpg1Record(0x10, {});
    // Version 2: the same page; a green rectangle in the upper right quarter and a filled
    // ellipse in the lower right.
    Bytes start;
    start.u16(1200).u16(1200).u8(0);
    for (int i = 0; i < 2; ++i)
        start.u16(0).u16(0).u16(2400).u16(1200);
    const QByteArray version2 =
        wpgHeader(2) + wpg2Record(0x01, start.d) +
        wpg2Record(0x31, Bytes().u8(0).u8(0).u8(200).u8(0).u8(0).d) +
        wpg2Record(0x18,
                   Bytes().u16(0x2000).u16(1200).u16(600).u16(2400).u16(1200).u16(0).u16(0).d) +
        wpg2Record(0x31, Bytes().u8(0).u8(0).u8(0).u8(255).u8(0).d) +
        wpg2Record(0x19, Bytes()
                             .u16(0x2000)
                             .u16(1800)
                             .u16(300)
                             .u16(300)
                             .u16(200)
                             .u16(300)
                             .u16(0)
                             .u16(300)
                             .u16(0)
                             .d) +
        wpg2Record(0x02, {});
    // A compound polygon of two squares, one inside the other, leaves a hole; the framed
    // rectangle after it is a shape of its own, not part of the compound.
    auto square = [](int x1, int y1, int x2, int y2) {
        return wpg2Record(0x15, Bytes()
                                    .u16(0)
                                    .u16(4)
                                    .u16(x1)
                                    .u16(y1)
                                    .u16(x2)
                                    .u16(y1)
                                    .u16(x2)
                                    .u16(y2)
                                    .u16(x1)
                                    .u16(y2)
                                    .d);
    };
    const QByteArray compound =
        wpgHeader(2) + wpg2Record(0x01, start.d) +
        wpg2Record(0x31, Bytes().u8(0).u8(255).u8(0).u8(0).u8(0).d) +
        wpg2Record(0x1a, Bytes().u16(0x2000).d, 2) + square(100, 100, 1100, 1100) +
        square(400, 400, 800, 800) +
        wpg2Record(0x18,
                   Bytes().u16(0x8000).u16(1300).u16(100).u16(2300).u16(1100).u16(0).u16(0).d) +
        wpg2Record(0x02, {});
    const struct
    {
        const char *name;
        QByteArray file;
        double x, y;
        QColor colour;
    } samples[] = {
        {"compound ring", compound, 250 / 2400.0, 0.5, Qt::red},
        {"compound hole", compound, 0.25, 0.5, Qt::white},
        {"rectangle after it", compound, 0.75, 0.5, Qt::white},
        {"v1 rectangle", version1, 0.25, 0.75, Qt::red},
        {"v1 above it", version1, 0.25, 0.25, Qt::white},
        {"v1 beside it", version1, 0.75, 0.75, Qt::white},
        {"v1 top line", version1, 0.6, 0.02, Qt::blue},
        {"v2 rectangle", version2, 0.75, 0.25, QColor(0, 200, 0)},
        {"v2 left of it", version2, 0.25, 0.25, Qt::white},
        {"v2 ellipse", version2, 0.75, 0.75, Qt::blue},
        {"v2 ellipse corner", version2, 0.52, 0.97, Qt::white},
    };
    for (const auto &s : samples) {
        const QImage image = readBytes(s.file);
        ASSERT_EQ(image.size(), QSize(192, 96)) << s.name;
        EXPECT_TRUE(near(at(image, s.x, s.y), s.colour))
            << s.name << " " << at(image, s.x, s.y).name().toStdString();
    }
}

TEST(LegacyFormats, GemDrawingsFollowTheirCoordinates)
{
    // Raster coordinates (origin top left), 400 x 300 units, no page size: a pixel each.
    const QByteArray raster =
        gemHeader(2, 399, 299, 0, 0) + gemRecord(25, {}, {2}) +
        gemRecord(23, {}, {1})                       // solid red fill
        + gemRecord(11, {{0, 0}, {199, 149}}, {}, 1) // bar, top left quarter
        + gemRecord(25, {}, {4}) + gemRecord(11, {{300, 225}, {50, 40}}, {}, 5) // blue ellipse
        + gemRecord(17, {}, {3}) + gemRecord(16, {{9, 0}}, {}) // green 9-unit lines
        + gemRecord(6, {{200, 280}, {399, 280}}, {}) + gemRecord(0xffff, {}, {});
    // Normalised coordinates (origin bottom left) on a 100 x 50 mm page: a bar in the bottom
    // left quarter must land there, not at the top.
    const QByteArray ndc = gemHeader(0, 32767, 32767, 1000, 500) + gemRecord(25, {}, {2}) +
                           gemRecord(23, {}, {1}) + gemRecord(11, {{0, 0}, {16383, 16383}}, {}, 1) +
                           gemRecord(0xffff, {}, {});
    const struct
    {
        const char *name;
        QByteArray file;
        QSize size;
        double x, y;
        QColor colour;
    } samples[] = {
        {"rc bar", raster, {399, 299}, 0.25, 0.25, Qt::red},
        {"rc right of bar", raster, {399, 299}, 0.6, 0.25, Qt::white},
        {"rc ellipse", raster, {399, 299}, 0.75, 0.75, Qt::blue},
        {"rc ellipse box corner", raster, {399, 299}, 0.63, 0.62, Qt::white},
        {"rc line", raster, {399, 299}, 0.75, 280.0 / 299, Qt::green},
        {"ndc bar", ndc, {378, 189}, 0.25, 0.75, Qt::red},
        {"ndc above bar", ndc, {378, 189}, 0.25, 0.25, Qt::white},
    };
    for (const auto &s : samples) {
        const QImage image = readBytes(s.file);
        EXPECT_EQ(image.size(), s.size) << s.name;
        EXPECT_TRUE(near(at(image, s.x, s.y), s.colour))
            << s.name << " " << at(image, s.x, s.y).name().toStdString();
    }
}

TEST(LegacyFormats, MetafileRecordsKeepStateAndClip)
{
    // A plain metafile built by hand: window 100 x 100; a green brush; inside a saved state a
    // clip to the left half and a square over the whole window; after the restore an
    // unclipped square in the bottom right; a brush deleted and its slot reused.
    auto record = [](int function, const QList<int> &params) {
        Bytes r;
        r.u32(3 + quint32(params.size())).u16(function);
        for (int p : params)
            r.u16(p);
        return r.d;
    };
    Bytes header;
    header.u16(1).u16(9).u16(0x0300).u32(0).u16(2).u32(0).u16(0);
    const QByteArray wmf = header.d + record(0x020B, {0, 0}) + record(0x020C, {100, 100}) +
                           record(0x02FC, {0, 0xff00, 0x00, 0}) // green brush -> slot 0
                           + record(0x02FA, {5, 0, 0, 0, 0})    // no pen -> slot 1
                           + record(0x012D, {0}) + record(0x012D, {1}) + record(0x001E, {}) // save
                           + record(0x0416, {100, 50, 0, 0})  // clip to x < 50
                           + record(0x041B, {100, 100, 0, 0}) // square over everything, clipped
                           + record(0x0127, {0xffff})         // restore: no clip
                           + record(0x01F0, {0})              // delete the green brush
                           + record(0x02FC, {0, 0x00ff, 0x0000, 0}) // red brush takes slot 0 again
                           + record(0x012D, {0}) +
                           record(0x041B, {100, 100, 75, 75}) // bottom right square
                           + record(0x0000, {});
    const QImage image = readBytes(wmf);
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_TRUE(near(at(image, 0.25, 0.5), Qt::green));
    EXPECT_TRUE(near(at(image, 0.6, 0.5), Qt::white));
    EXPECT_TRUE(near(at(image, 0.9, 0.9), Qt::red));
}

TEST(LegacyFormats, ArtHighResolutionRowsArePackBitsCoded)
{
    // The same picture as mono.art in the packed form: 0xFFFF, resolutions, size, a word, then
    // each row PackBits-coded with one byte of padding.
    const QImage source = fixtureImage("mono.png");
    const int rowBytes = (source.width() + 7) / 8;
    Bytes out;
    out.u16(0xffff).u16(300).u16(300).u16(source.width()).u16(source.height()).u16(1);
    for (int y = 0; y < source.height(); ++y) {
        QByteArray row(rowBytes + 1, 0);
        for (int x = 0; x < source.width(); ++x) {
            if (qGray(source.pixel(x, y)) > 127)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        for (int i = 0; i < row.size();) {
            int run = 1;
            while (i + run < row.size() && row[i + run] == row[i] && run < 128)
                ++run;
            if (run >= 3) {
                out.u8(1 - run).u8(row[i]);
            } else {
                out.u8(run - 1).raw(row.mid(i, run));
            }
            i += run;
        }
    }
    EXPECT_EQ(difference(ArtHandler::decode(out.d), source), "");
}

// A device-independent bitmap: header, palette, rows from the bottom (or run-length coded).
QByteArray dib(const QImage &indices, const QVector<QRgb> &palette, bool rle)
{
    QByteArray bits;
    for (int y = indices.height() - 1; y >= 0; --y) {
        const QByteArray row(reinterpret_cast<const char *>(indices.constScanLine(y)),
                             indices.width());
        if (rle) {
            for (char v : row)
                bits.append(char(1)).append(v);
            bits.append('\0').append('\0');
        } else {
            bits.append(row).append(QByteArray((4 - indices.width() % 4) % 4, 0));
        }
    }
    if (rle)
        bits.append('\0').append(char(1));
    Bytes out;
    out.u32(40).u32(indices.width()).u32(indices.height()).u16(1).u16(8).u32(rle ? 1 : 0);
    out.u32(quint32(bits.size())).u32(0).u32(0).u32(quint32(palette.size())).u32(0);
    for (QRgb c : palette)
        out.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
    return out.raw(bits).d;
}

QByteArray wmfRecord(int function, const QList<int> &params, const QByteArray &tail = {})
{
    Bytes r;
    r.u32(3 + quint32(params.size()) + quint32(tail.size() + 1) / 2).u16(function);
    for (int p : params)
        r.u16(p);
    r.raw(tail);
    if (tail.size() % 2)
        r.u8(0);
    return r.d;
}

QByteArray plainWmf(int width, int height, const QByteArray &records)
{
    Bytes header;
    header.u16(1).u16(9).u16(0x0300).u32(0).u16(4).u32(0).u16(0);
    return header.d + wmfRecord(0x020B, {0, 0}) + wmfRecord(0x020C, {height, width}) + records +
           wmfRecord(0x0000, {});
}

TEST(LegacyFormats, MetafileBitmapsPiesAndText)
{
    QImage cells(4, 3, QImage::Format_Indexed8);
    QVector<QRgb> palette;
    for (int i = 0; i < 12; ++i) {
        cells.scanLine(i / 4)[i % 4] = uchar(i);
        palette.append(qRgb(i * 20, 255 - i * 20, (i * 77) & 0xff));
    }
    // Upper half: an uncompressed DIB stretched over 40 x 30; lower half: the same cells
    // run-length coded through the other stretching record.
    const QByteArray bitmaps =
        plainWmf(40, 60,
                 wmfRecord(0x0F43, {0x0020, 0x00CC, 0, 3, 4, 0, 0, 30, 40, 0, 0},
                           dib(cells, palette, false)) +
                     wmfRecord(0x0B41, {0x0020, 0x00CC, 3, 4, 0, 0, 30, 40, 30, 0},
                               dib(cells, palette, true)));
    const QImage image = readBytes(bitmaps);
    ASSERT_EQ(image.size(), QSize(40, 60));
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < 12; ++i) {
            const QPoint centre(i % 4 * 10 + 5, half * 30 + i / 4 * 10 + 5);
            EXPECT_EQ(image.pixel(centre), palette[i]) << half << " cell " << i;
        }
    }

    // A pie from three to twelve o'clock in a 100 x 100 box, and black text below it.
    const QByteArray drawing =
        plainWmf(100, 100,
                 wmfRecord(0x02FC, {0, 0x00ff, 0, 0}) + wmfRecord(0x012D, {0}) +
                     wmfRecord(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}) +
                     wmfRecord(0x02FB, {quint16(-20), 0, 0, 0, 700, 0, 0, 0, 0},
                               QByteArray("DejaVu Sans").leftJustified(32, 0)) +
                     wmfRecord(0x012D, {1}) + wmfRecord(0x0102, {1}) +
                     wmfRecord(0x0521, {6}, QByteArray("HHHHHH") + Bytes().u16(70).u16(5).d));
    const QImage pie = readBytes(drawing);
    ASSERT_EQ(pie.size(), QSize(100, 100));
    EXPECT_TRUE(near(at(pie, 0.7, 0.3), Qt::red));
    EXPECT_TRUE(near(at(pie, 0.3, 0.3), Qt::white));
    EXPECT_TRUE(near(at(pie, 0.7, 0.6), Qt::white));
    int dark = 0;
    for (int y = 70; y < 95; ++y) {
        for (int x = 5; x < 95; ++x)
            dark += qGray(pie.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 40) << "no text drawn";
}

// Damaged and hostile files: never a crash or hang, and no picture from a header that claims
// more than the limits.
TEST(LegacyFormats, DamagedFilesFailOrGiveWhatTheyHold)
{
    const QImage indices = indexPicture(40, 12, 16);
    const PicCase pic{"", 4, 1, 0, {}, {}, true};
    const QList<std::pair<QByteArray, std::function<QImage(const QByteArray &)>>> samples = {
        {cutFile(indices), [](const QByteArray &b) { return CutHandler::decode(b, {}); }},
        {fixtureBytes("mono.art"), &ArtHandler::decode},
        {qUncompress(fixtureBytes("ramp.hrz.z")).left(4000), &HrzHandler::decode},
        {picFile(indices, pic), &PicHandler::decode},
        {fixtureBytes("bitmap.wmf"), &WmfHandler::decode},
        {fixtureBytes("shapes.wmf"), &WmfHandler::decode},
        {wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16(100).u16(100).d) +
             wpg1Record(0x0b, Bytes().u16(40).u16(12).u16(8).u16(75).u16(75).d + wpg1Rows(indices)),
         &WpgHandler::decode},
        {gemHeader(2, 99, 99, 0, 0) + gemRecord(11, {{0, 0}, {50, 50}}, {}, 1) +
             gemRecord(6, {{0, 0}, {99, 99}, {0, 99}}, {}),
         &GemMetaHandler::decode},
    };
    for (const auto &[bytes, decode] : samples) {
        ASSERT_FALSE(decode(bytes).isNull());
        for (int n = 0; n < bytes.size(); n += std::max<int>(1, int(bytes.size()) / 97)) {
            const QImage part = decode(bytes.left(n));
            if (!part.isNull())
                EXPECT_LE(qint64(part.width()) * part.height(), 16LL * 1024 * 1024);
        }
        // Flipped bits in the middle must not hurt either.
        QByteArray damaged = bytes;
        for (int i = int(damaged.size()) / 3; i < damaged.size(); i += 7)
            damaged[i] = char(damaged[i] ^ 0x5a);
        decode(damaged);
    }

    const struct
    {
        const char *name;
        QByteArray bytes;
        std::function<QImage(const QByteArray &)> decode;
    } oversized[] = {
        {"cut 40000 wide", Bytes().u16(40000).u16(10).u16(0).d + QByteArray(100, 1),
         [](const QByteArray &b) { return CutHandler::decode(b, {}); }},
        {"cut 30000 x 30000 from a few bytes",
         Bytes().u16(30000).u16(30000).u16(0).d + QByteArray(64, '\x81'),
         [](const QByteArray &b) { return CutHandler::decode(b, {}); }},
        {"art 40000 wide", Bytes().u16(0).u16(40000).u16(0).u16(8).d + QByteArray(100, 0),
         &ArtHandler::decode},
        {"pic 16000 x 16000 packed from one block",
         Bytes()
             .u16(0x1234)
             .u16(16000)
             .u16(16000)
             .u16(0)
             .u16(0)
             .u8(8)
             .u8(0xff)
             .u8('L')
             .u16(0)
             .u16(0)
             .u16(1)
             .u16(10)
             .u16(65535)
             .u8(1)
             .u8(1)
             .u8(0)
             .u16(65535)
             .u8(7)
             .d,
         &PicHandler::decode},
        {"wpg bitmap 16000 x 16000 from two bytes",
         wpgHeader(1) +
             wpg1Record(0x0b,
                        Bytes().u16(16000).u16(16000).u16(8).u16(75).u16(75).u8(0x81).u8(1).d),
         &WpgHandler::decode},
    };
    for (const auto &c : oversized)
        EXPECT_TRUE(c.decode(c.bytes).isNull()) << c.name;

    // A metafile claiming 65535 objects and saving its state endlessly stays bounded.
    Bytes wmf;
    wmf.u16(1).u16(9).u16(0x0300).u32(0).u16(65535).u32(0).u16(0);
    wmf.u32(5).u16(0x020C).u16(10).u16(10);
    for (int i = 0; i < 20000; ++i)
        wmf.u32(3).u16(0x001E).u32(7).u16(0x02FC).u16(0).u32(0xff).u16(0);
    EXPECT_FALSE(WmfHandler::decode(wmf.d).isNull());
}

} // namespace
