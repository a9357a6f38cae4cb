// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The bitmap decoders against files made by independent writers (netpbm, ImageMagick, Pillow;
// see tests/data/imageformats/raster/make-fixtures.sh), against hand-built files for the
// variants no writer on the system produces, and against damaged files.
#include "imagecheck.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QRegularExpression>

#include <functional>

namespace {

QString fixture(const QString &name) { return QStringLiteral(RASTER_FIXTURES "/") + name; }
QByteArray fixtureBytes(const QString &name) { return fileBytes(fixture(name)); }

QByteArray bytes(std::initializer_list<int> values) { return Bytes().u8s(values).d; }

// A black-and-white picture from its rows of packed bits (leftmost pixel in the high bit).
QImage fromBits(int width, const QList<QByteArray> &rows, QRgb set, QRgb clear)
{
    QImage img(width, int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < width; ++x) {
            const bool bit = uchar(rows[y][x / 8]) & (0x80 >> (x % 8));
            img.setPixel(x, y, bit ? set : clear);
        }
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// Files from independent writers.

enum class Expect {
    Same,             // the reference as it is
    BlackTransparent, // pnmtorle -alpha: black pixels get alpha 0
    CentredOnPage,    // pbmtomacp: centred on a white 576 x 720 page
};

struct WriterCase
{
    const char *file, *format, *reference;
    Expect expect = Expect::Same;
    bool knownByContent = true;
};

const WriterCase writerCases[] = {
    {"colour-24bit.pcx", "pcx", "colour.png"},
    {"colour-im.pcx", "pcx", "colour.png"},
    {"pal256-8bit.pcx", "pcx", "pal256.png"},
    {"pal16-4planes.pcx", "pcx", "pal16.png"},
    {"pal16-4bit.pcx", "pcx", "pal16.png"},
    {"pal8-3planes.pcx", "pcx", "pal8.png"},
    {"pal4-2bit.pcx", "pcx", "pal4.png"},
    {"pal4-2planes.pcx", "pcx", "pal4.png"},
    {"mono-pil.pcx", "pcx", "mono.png"},
    {"grey-pil.pcx", "pcx", "grey.png"},
    {"colour-24bit.ras", "ras", "colour.png"},
    {"colour-im.ras", "ras", "colour.png"},
    {"pal256-8bit-rle.ras", "ras", "pal256.png"},
    {"pal16-im.ras", "ras", "pal16.png"},
    {"grey-8bit.ras", "ras", "grey.png"},
    {"mono72-1bit.ras", "ras", "mono72.png"},
    {"mono72-1bit-rle.ras", "ras", "mono72.png"},
    {"mono.mac", "mac", "mono.png", Expect::CentredOnPage, false},
    {"mono.img", "img", "mono.png"},
    {"mono.msp", "msp", "mono.png"},
    {"pal16.iff", "iff", "pal16.png"},
    {"pal8-plain.iff", "iff", "pal8.png"},
    {"pal256.lbm", "iff", "pal256.png"},
    {"colour-24bit.iff", "iff", "colour.png"},
    {"colour-ham6.iff", "iff", "colour-ham6.png"},
    {"colour-ham8.iff", "iff", "colour-ham8.png"},
    {"colour.rle", "rle", "colour.png"},
    {"grey.rle", "rle", "grey.png"},
    {"pal16-alpha.rle", "rle", "pal16.png", Expect::BlackTransparent},
};

void PrintTo(const WriterCase &c, std::ostream *os) { *os << c.file; }

QImage expectedFor(const WriterCase &c)
{
    QImage ref(fixture(QString::fromLatin1(c.reference)));
    ref = ref.convertToFormat(QImage::Format_ARGB32);
    switch (c.expect) {
    case Expect::Same:
        return ref;
    case Expect::BlackTransparent:
        for (int y = 0; y < ref.height(); ++y) {
            for (int x = 0; x < ref.width(); ++x) {
                if ((ref.pixel(x, y) & 0xffffff) == 0)
                    ref.setPixel(x, y, 0);
            }
        }
        return ref;
    case Expect::CentredOnPage: {
        QImage page(576, 720, QImage::Format_ARGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.drawImage((576 - ref.width()) / 2, (720 - ref.height()) / 2, ref);
        return page;
    }
    }
    return ref;
}

class WrittenByOthers : public ::testing::TestWithParam<WriterCase> {};

// Read by name as the program reads a file, then from its bytes alone.
TEST_P(WrittenByOthers, DecodesEveryPixelOfTheSourceAndIsKnownByContent)
{
    const WriterCase &c = GetParam();
    ImageFormats::registerBuiltInFormats();
    QImageReader reader(fixture(QString::fromLatin1(c.file)));
    EXPECT_EQ(reader.format().toStdString(), c.format);
    const QSize announced = reader.size();
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(announced, image.size()) << "size known from the header alone";
    EXPECT_EQ(difference(image, expectedFor(c)), "");

    QByteArray format;
    const QImage byContent = readBytes(fixtureBytes(QString::fromLatin1(c.file)), {}, &format);
    if (c.knownByContent) { // a bare MacPaint file is known by its extension only
        EXPECT_EQ(format.toStdString(), c.format);
        EXPECT_EQ(byContent, image);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, WrittenByOthers, ::testing::ValuesIn(writerCases), [](const auto &info) {
        QString name = QString::fromLatin1(info.param.file);
        return name.replace(QRegularExpression("[^A-Za-z0-9]"), "_").toStdString();
    });

// ---------------------------------------------------------------------------------------------
// Variants no writer on the system produces, built by hand.

struct HandCase
{
    const char *name, *format;
    std::function<QByteArray()> file;
    std::function<QImage()> expected;
};

// Microsoft Paint 2: a list of coded line lengths, then each line's runs and literals.
QByteArray paint2File()
{
    const QList<QByteArray> lines = {
        bytes({0x00, 3, 0xf0}),                   // run of three 0xf0
        bytes({0x02, 0xaa, 0x55, 0x00, 1, 0x0f}), // two literals, a run of one
        {},                                       // blank line
        bytes({0x03, 0x12, 0x34, 0x56}), bytes({0x00, 9, 0x00}), // run longer than the line
        bytes({0x01, 0x81, 0x00, 2, 0xc3}),
    };
    Bytes f;
    f.raw("LinS").u16s({20, int(lines.size())});
    while (f.d.size() < 32)
        f.u16(0);
    for (const QByteArray &l : lines)
        f.u16(int(l.size()));
    for (const QByteArray &l : lines)
        f.raw(l);
    return f.d;
}

QImage paint2Expected()
{
    return fromBits(20,
                    {bytes({0xf0, 0xf0, 0xf0}), bytes({0xaa, 0x55, 0x0f}),
                     bytes({0xff, 0xff, 0xff}), bytes({0x12, 0x34, 0x56}), bytes({0, 0, 0}),
                     bytes({0x81, 0xc3, 0xc3})},
                    qRgb(255, 255, 255), qRgb(0, 0, 0));
}

// The MacBinary header of a copy from a Macintosh: name, type PNTG, creator MPNT.
QByteArray macBinary(const QByteArray &dataFork)
{
    QByteArray h(128, '\0');
    h[1] = 8;
    h.replace(2, 8, "MONO.MAC");
    h.replace(65, 8, "PNTGMPNT");
    h.replace(83, 4, Be().u32(quint32(dataFork.size())).d);
    return h + dataFork;
}

// A GEM bit image with two planes and an XIMG palette; its second line stands for two.
QByteArray ximgFile()
{
    Be f;
    f.u16s({1, 8 + 3 + 3 * 4, 2, 2, 85, 85, 10, 3}).raw("XIMG").u16(0);
    f.u16s({1000, 1000, 1000, 0, 0, 0, 1000, 0, 0, 0, 500, 1000});
    f.u8s({0x80, 2, 0xf0, 0x0f, 0x80, 2, 0xff, 0x00}); // line 0: literals
    f.u8s({0x00, 0x00, 0xff, 2});                      // next line twice
    return f.u8s({0x82, 0x00, 1, 0xaa, 0x55}).d;       // solid run; pattern run
}

QImage ximgExpected()
{
    const QRgb pens[4] = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 128, 255)};
    const int plane0[3][10] = {{1, 1, 1, 1, 0, 0, 0, 0, 0, 0},
                               {1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
                               {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}};
    const int plane1[3][10] = {{1, 1, 1, 1, 1, 1, 1, 1, 0, 0},
                               {1, 0, 1, 0, 1, 0, 1, 0, 0, 1},
                               {1, 0, 1, 0, 1, 0, 1, 0, 0, 1}};
    QImage img(10, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 10; ++x)
            img.setPixel(x, y, pens[plane0[y][x] | plane1[y][x] << 1]);
    }
    return img;
}

// IFF pictures: a form of chunks, each padded to an even length.
QByteArray chunk(const char *id, const QByteArray &data)
{
    return Be().raw(id).u32(quint32(data.size())).raw(data).raw(QByteArray(data.size() % 2, 0)).d;
}

QByteArray form(const char *type, const QByteArray &chunks)
{
    return Be().raw("FORM").u32(quint32(4 + chunks.size())).raw(type).raw(chunks).d;
}

QByteArray bitmapHeader(int w, int h, int planes, int masking, int compression, int transparent)
{
    return Be()
        .u16s({w, h})
        .u32(0)
        .u8s({planes, masking, compression, 0})
        .u16(transparent)
        .u8s({10, 11})
        .u16s({w, h})
        .d;
}

// One line of bit planes (16-bit aligned) holding the given pixel values.
QByteArray planeLine(const QList<int> &values, int planes)
{
    const int rowBytes = (int(values.size()) + 15) / 16 * 2;
    QByteArray line(rowBytes * planes, '\0');
    for (int p = 0; p < planes; ++p) {
        for (int x = 0; x < values.size(); ++x) {
            if (values[x] >> p & 1)
                line[p * rowBytes + x / 8] = char(line[p * rowBytes + x / 8] | (0x80 >> (x % 8)));
        }
    }
    return line;
}

QByteArray colourMap(const QList<QRgb> &colours)
{
    QByteArray m;
    for (QRgb c : colours)
        m += bytes({qRed(c), qGreen(c), qBlue(c)});
    return m;
}

QList<QRgb> someColours(int count)
{
    QList<QRgb> c;
    for (int i = 0; i < count; ++i)
        c.append(qRgb((i * 37 + 11) % 256, (i * 91 + 3) % 256, (255 - i * 13) % 256));
    return c;
}

// A picture of one row of the given colours.
QImage line(const QList<QRgb> &colours)
{
    QImage img(int(colours.size()), 1, QImage::Format_ARGB32);
    for (int x = 0; x < colours.size(); ++x)
        img.setPixel(x, 0, colours[x]);
    return img;
}

QImage fromValues(const QList<QList<int>> &rows, const std::function<QRgb(int)> &colour)
{
    QImage img(int(rows[0].size()), int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < rows[y].size(); ++x)
            img.setPixel(x, y, colour(rows[y][x]));
    }
    return img;
}

const QList<QList<int>> ehbValues = {{0, 1, 31, 32, 33, 63, 5, 40}, {40, 5, 63, 33, 32, 31, 1, 0}};

QByteArray halfBriteFile()
{
    QByteArray body;
    for (const auto &row : ehbValues)
        body += planeLine(row, 6);
    return form("ILBM", chunk("BMHD", bitmapHeader(8, 2, 6, 0, 0, 0)) +
                            chunk("CMAP", colourMap(someColours(32))) +
                            chunk("CAMG", Be().u32(0x80).d) + chunk("BODY", body));
}

QImage halfBriteExpected()
{
    const QList<QRgb> colours = someColours(32);
    return fromValues(ehbValues, [&](int v) {
        const QRgb c = colours[v % 32];
        return v < 32 ? c : qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2);
    });
}

// HAM: control bits 00 take a pen, 01 change blue, 10 red, 11 green.
QByteArray hamFile(int planes)
{
    const int bits = planes - 2;
    const QList<int> row = {1, 1 << bits | 5, 2 << bits | 9, 3 << bits | 1, 0};
    return form("ILBM", chunk("BMHD", bitmapHeader(5, 1, planes, 0, 0, 0)) +
                            chunk("CMAP", colourMap({qRgb(7, 7, 7), qRgb(0x12, 0x34, 0x57)})) +
                            chunk("CAMG", Be().u32(0x800).d) +
                            chunk("BODY", planeLine(row, planes)));
}

// Early pictures store 4-bit levels in the high nibble of every map entry.
QByteArray nibbleMapFile()
{
    return form("ILBM", chunk("BMHD", bitmapHeader(3, 1, 1, 0, 0, 0)) +
                            chunk("CMAP", bytes({0x00, 0xf0, 0x80, 0xf0, 0x00, 0x10})) +
                            chunk("BODY", planeLine({0, 1, 0}, 1)));
}

const QList<QList<int>> maskValues = {{0, 1, 2, 3, 1}, {3, 3, 0, 2, 2}};
const QList<QList<int>> maskBits = {{1, 0, 1, 1, 0}, {0, 1, 1, 1, 1}};

QByteArray maskPlaneFile()
{
    QByteArray body;
    for (int y = 0; y < 2; ++y)
        body += planeLine(maskValues[y], 2) + planeLine(maskBits[y], 1);
    return form("ILBM", chunk("BMHD", bitmapHeader(5, 2, 2, 1, 0, 0)) +
                            chunk("CMAP", colourMap(someColours(4))) + chunk("BODY", body));
}

QImage maskPlaneExpected()
{
    const QList<QRgb> colours = someColours(4);
    QImage img = fromValues(maskValues, [&](int v) { return colours[v]; });
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (!maskBits[y][x])
                img.setPixel(x, y, img.pixel(x, y) & 0x00ffffff);
        }
    }
    return img;
}

QByteArray transparentColourFile()
{
    QByteArray body;
    for (const auto &row : maskValues)
        body += planeLine(row, 2);
    return form("ILBM", chunk("BMHD", bitmapHeader(5, 2, 2, 2, 0, 3)) +
                            chunk("CMAP", colourMap(someColours(4))) + chunk("BODY", body));
}

QImage transparentColourExpected()
{
    const QList<QRgb> colours = someColours(4);
    return fromValues(maskValues,
                      [&](int v) { return v == 3 ? colours[3] & 0x00ffffff : colours[v]; });
}

// Chunky PBM, ByteRun1 coded: lines are padded to an even width.
QByteArray chunkyFile()
{
    const QByteArray body = bytes({
        0x05, 10, 20, 30, 40, 50, 0, // line 0: six literals (the last one pads)
        0xfb, 200,                   // line 1: six times 200
        0x01, 7, 8, 0xfd, 255,       // line 2: two literals, four times 255
    });
    return form("PBM ", chunk("BMHD", bitmapHeader(5, 3, 8, 0, 1, 0)) +
                            chunk("CMAP", colourMap(someColours(256))) + chunk("BODY", body));
}

QImage chunkyExpected()
{
    const QList<QRgb> colours = someColours(256);
    return fromValues({{10, 20, 30, 40, 50}, {200, 200, 200, 200, 200}, {7, 8, 255, 255, 255}},
                      [&](int v) { return colours[v]; });
}

QByteArray sunHeader(int w, int h, int depth, int type, int mapType, const QByteArray &map)
{
    Be f;
    for (int v : {int(0x59a66a95), w, h, depth, 0, type, mapType, int(map.size())})
        f.u32(quint32(v));
    return f.d + map;
}

// Sun byte-run code over 24-bit lines of 3 pixels (9 bytes and a pad byte each).
QByteArray sunRuns24File()
{
    return sunHeader(3, 2, 24, 2, 0, {}) +
           bytes({0x02, 0x01, 0x80, 0x00, 0x80, 0x05, 0x05, 0x00, // blue green 0x80, 6 x 5, pad
                  0x80, 0x09, 0x33});                             // 10 x 0x33
}

QImage sunRuns24Expected()
{
    return fromValues({{0, 1, 1}, {2, 2, 2}}, [](int v) {
        return v == 0 ? qRgb(0x80, 1, 2) : v == 1 ? qRgb(5, 5, 5) : qRgb(0x33, 0x33, 0x33);
    });
}

QByteArray sun32File(int type)
{
    return sunHeader(2, 1, 32, type, 0, {}) + bytes({0, 10, 20, 30, 0xff, 40, 50, 60});
}

QByteArray sunMappedMonoFile()
{
    // Two map entries: red for clear bits, blue for set ones. Lines pad to 16 bits.
    return sunHeader(3, 2, 1, 1, 1, bytes({255, 0, 0, 0, 0, 255})) + bytes({0xa0, 0, 0x40, 0});
}

// Utah RLE: three channels, a background, the lower left corner at (5, 7), long and short
// operations.
QByteArray utahColourFile()
{
    Bytes f;
    f.u8s({0x52, 0xcc}).u16s({5, 7, 4, 3});
    f.u8s({0x00, 3, 8, 0, 0});                     // flags, channels, bits, maps, map length
    f.u8s({10, 20, 30});                           // background: with the header, an even length
    f.u8s({0x02, 0, 0x03, 1, 0x06, 1}).u16(200);   // channel 0, skip 1, run of 2 of 200
    f.u8s({0x41, 0}).u16(2);                       // long skip of 2 lines: to the top line
    f.u8s({0x02, 1, 0x45, 0})
        .u16(2)
        .u8s({1, 2, 3, 0}); // channel 1, long literal of 3 bytes, padded to 4
    f.u8s({0x02, 2, 0x06, 5}).u16(99);             // channel 2: run of 6 (cut at the edge) of 99
    return f.u8s({0x07, 0}).d;
}

QImage utahColourExpected()
{
    QImage img(4, 3, QImage::Format_ARGB32);
    img.fill(qRgb(10, 20, 30));
    img.setPixel(1, 2, qRgb(200, 20, 30)); // bottom line
    img.setPixel(2, 2, qRgb(200, 20, 30));
    for (int x = 0; x < 4; ++x) // top line
        img.setPixel(x, 0, qRgb(10, x < 3 ? x + 1 : 20, 99));
    return img;
}

// One channel through a three-channel colour map of 256 entries.
QByteArray utahMappedFile()
{
    Bytes f;
    f.u8s({0x52, 0xcc}).u16s({0, 0, 3, 1}).u8s({0x00, 1, 8, 3, 8}).u8(4); // background 4
    for (int channel = 0; channel < 3; ++channel) {
        for (int i = 0; i < 256; ++i)
            f.u16(((i * (channel + 1)) % 256) << 8);
    }
    return f.u8s({0x05, 1, 9, 100, 0x07, 0}).d; // two literals 9, 100; the third stays 4
}

QImage utahMappedExpected()
{
    return fromValues({{9, 100, 4}}, [](int v) { return qRgb(v, v * 2 % 256, v * 3 % 256); });
}

// PCX runs that a writer carried over a line end: 16 pixels, 2 bytes a line.
QByteArray pcxRunAcrossLines()
{
    QByteArray f =
        Bytes().u8s({0x0a, 5, 1, 1}).u16s({0, 0, 15, 1, 72, 72}).u8s({0, 0, 0, 255, 255, 255}).d;
    f.append(QByteArray(128 - f.size(), '\0'));
    f[65] = 1;
    f[66] = 2;
    return f + bytes({0xc3, 0xf0, 0x0f});
}

const HandCase handCases[] = {
    {"MspVersion2", "msp", paint2File, paint2Expected},
    {"MacPaintInMacBinary", "mac", [] { return macBinary(fixtureBytes("mono.mac")); },
     [] {
         return expectedFor({"", "", "mono.png", Expect::CentredOnPage});
     }},
    {"GemXimgColour", "img", ximgFile, ximgExpected},
    {"IlbmExtraHalfBrite", "iff", halfBriteFile, halfBriteExpected},
    {"IlbmNibbleColourMap", "iff", nibbleMapFile,
     [] {
         return line({qRgb(0, 0xff, 0x88), qRgb(0xff, 0, 0x11), qRgb(0, 0xff, 0x88)});
     }},
    // A 4-bit level takes the top bits and keeps the neighbour's low four: 5 under 0x57 is 0x57.
    {"IlbmHam6", "iff", [] { return hamFile(6); },
     [] {
         return line({qRgb(0x12, 0x34, 0x57), qRgb(0x12, 0x34, 0x57), qRgb(0x92, 0x34, 0x57),
                      qRgb(0x92, 0x14, 0x57), qRgb(7, 7, 7)});
     }},
    // A 6-bit level takes the top bits and keeps the neighbour's lowest two: 5 under 0x57 is 0x17.
    {"IlbmHam8", "iff", [] { return hamFile(8); },
     [] {
         return line({qRgb(0x12, 0x34, 0x57), qRgb(0x12, 0x34, 0x17), qRgb(0x26, 0x34, 0x17),
                      qRgb(0x26, 0x04, 0x17), qRgb(7, 7, 7)});
     }},
    {"IlbmMaskPlane", "iff", maskPlaneFile, maskPlaneExpected},
    {"IlbmTransparentColour", "iff", transparentColourFile, transparentColourExpected},
    {"PbmChunky", "iff", chunkyFile, chunkyExpected},
    {"Sun24BitRuns", "ras", sunRuns24File, sunRuns24Expected},
    {"Sun32BitBgr", "ras", [] { return sun32File(1); },
     [] {
         return line({qRgb(30, 20, 10), qRgb(60, 50, 40)});
     }},
    {"Sun32BitRgb", "ras", [] { return sun32File(3); },
     [] {
         return line({qRgb(10, 20, 30), qRgb(40, 50, 60)});
     }},
    {"SunMonoWithMap", "ras", sunMappedMonoFile,
     [] {
         return fromBits(3, {bytes({0xa0}), bytes({0x40})}, qRgb(0, 0, 255), qRgb(255, 0, 0));
     }},
    {"UtahColourBackgroundAndOffsets", "rle", utahColourFile, utahColourExpected},
    {"UtahPseudoColour", "rle", utahMappedFile, utahMappedExpected},
    {"PcxRunAcrossLines", "pcx", pcxRunAcrossLines,
     [] {
         return fromBits(16, {bytes({0xf0, 0xf0}), bytes({0xf0, 0x0f})}, qRgb(255, 255, 255),
                         qRgb(0, 0, 0));
     }},
};

void PrintTo(const HandCase &c, std::ostream *os) { *os << c.name; }

class HandBuilt : public ::testing::TestWithParam<HandCase> {};

TEST_P(HandBuilt, DecodesAsTheFormatDescribes)
{
    const HandCase &c = GetParam();
    QByteArray format;
    EXPECT_EQ(difference(readBytes(c.file(), {}, &format), c.expected()), "");
    EXPECT_EQ(format.toStdString(), c.format);
}

INSTANTIATE_TEST_SUITE_P(Variants, HandBuilt, ::testing::ValuesIn(handCases),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Damaged and hostile files.

// Headers claiming pictures beyond the limits: 32767 a side, 256 megapixels.
const struct { const char *file, *what; int offset; QByteArray bytes; } oversize[] = {
    {"colour-24bit.pcx", "width 32768", 8, bytes({0xff, 0x7f})},
    {"pal256-8bit.pcx", "20000 x 20000", 8, bytes({0x1f, 0x4e, 0x1f, 0x4e})},
    {"colour-24bit.ras", "width 40000", 4, bytes({0, 0, 0x9c, 0x40})},
    {"colour-24bit.ras", "width 4 billion", 4, bytes({0xff, 0xff, 0xff, 0xff})},
    {"mono72-1bit.ras", "20000 x 20000", 4, bytes({0, 0, 0x4e, 0x20, 0, 0, 0x4e, 0x20})},
    {"mono.msp", "height 40000", 6, bytes({0x40, 0x9c})},
    {"mono.img", "width 40000", 12, bytes({0x9c, 0x40})},
    {"mono.img", "20000 x 20000", 12, bytes({0x4e, 0x20, 0x4e, 0x20})},
    {"pal16.iff", "width 40000", 20, bytes({0x9c, 0x40})},
    {"colour.rle", "height 40000", 8, bytes({0x40, 0x9c})},
    {"colour.rle", "20000 x 20000", 6, bytes({0x20, 0x4e, 0x20, 0x4e})},
};

TEST(DamagedFiles, HeadersClaimingTooLargeAPictureFail)
{
    for (const auto &p : oversize) {
        QByteArray b = fixtureBytes(QString::fromLatin1(p.file));
        b.replace(p.offset, int(p.bytes.size()), p.bytes);
        EXPECT_TRUE(readBytes(b).isNull()) << p.file << ": " << p.what;
    }
}

// Files cut short give nothing or a picture of the whole size; scrambled bytes never break the
// reader (ASan builds catch what a plain build would not).
TEST(DamagedFiles, CutOrScrambledFilesGiveNothingOrThePartDecoded)
{
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (const WriterCase &c : writerCases) {
        const QString name = QString::fromLatin1(c.file);
        const QByteArray whole = fixtureBytes(name);
        const QImage full = readBytes(whole, c.format);
        for (qsizetype cut :
             {qsizetype(1), qsizetype(16), qsizetype(40), whole.size() / 2, whole.size() - 1}) {
            const QImage part = readBytes(whole.left(cut), c.format);
            if (!part.isNull())
                EXPECT_EQ(part.size(), full.size()) << c.file << " cut at " << cut;
        }
        // The first half of the lines survives a cut at three quarters of a plain file.
        if (name.endsWith("colour-24bit.ras")) {
            const QImage part = readBytes(whole.left(whole.size() * 3 / 4), c.format);
            ASSERT_FALSE(part.isNull());
            const QRect top(0, 0, full.width(), full.height() / 2);
            EXPECT_EQ(difference(part.copy(top), full.copy(top)), "");
        }
        for (int round = 0; round < 40; ++round) {
            QByteArray b = whole;
            for (int k = 0; k < 4; ++k)
                b[qsizetype(next() % quint32(b.size()))] = char(next() >> 16);
            const QImage image = readBytes(b, c.format);
            EXPECT_TRUE(image.isNull() || (image.width() <= 32767 && image.height() <= 32767))
                << c.file;
        }
    }
}

} // namespace
