// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The decoders of the older picture types. ART and HRZ are checked against files ImageMagick
// wrote and WMF against files LibreOffice Draw wrote (tests/data/imageformats/legacy, see
// make-fixtures.sh there). No writer of CUT, PIC, WPG or GEM exists on Debian: those files are
// built here byte by byte from the published format descriptions; the CUT and WPG builders
// were checked once against ImageMagick's readers of those formats.
#include "arthandler.h"
#include "cuthandler.h"
#include "gemmetahandler.h"
#include "hrzhandler.h"
#include "imagecheck.h"
#include "pichandler.h"
#include "testkit.h"
#include "wmfhandler.h"
#include "wpghandler.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

namespace {

QByteArray fixtureBytes(const QString &name)
{
    return fileBytes(QStringLiteral(LEGACY_FIXTURES "/") + name);
}
QImage fixtureImage(const QString &name)
{
    return QImage(QStringLiteral(LEGACY_FIXTURES "/") + name);
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

// A point of a drawing, as fractions of its width and height, and the colour expected there.
struct Sample { const char *name; QByteArray file; QSize size; double x, y; QColor colour; };

void checkSamples(const QList<Sample> &samples)
{
    for (const Sample &s : samples) {
        const QImage image = readBytes(s.file);
        EXPECT_EQ(image.size(), s.size) << s.name;
        EXPECT_TRUE(near(at(image, s.x, s.y), s.colour))
            << s.name << " " << at(image, s.x, s.y).name().toStdString();
    }
}

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

// One row of a picture's bytes.
QByteArray rowOf(const QImage &image, int y)
{
    return QByteArray(reinterpret_cast<const char *>(image.constScanLine(y)), image.width());
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

struct PicCase { const char *name; int bitsPerPlane, planes, paletteType; QByteArray paletteBytes;
                 QVector<QRgb> expectedPalette; bool packed; };

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

// A record: its head, then the payload's length in a byte (a word after 0xFF when longer).
QByteArray wpgRecord(const QByteArray &head, const QByteArray &payload)
{
    Bytes out;
    out.raw(head);
    if (payload.size() < 0xff)
        out.u8(int(payload.size()));
    else
        out.u8(0xff).u16(int(payload.size()));
    return out.raw(payload).d;
}

QByteArray wpg1Record(int type, const QByteArray &payload)
{
    return wpgRecord(Bytes().u8(type).d, payload);
}
QByteArray wpg2Record(int type, const QByteArray &payload, int extension = 0)
{
    return wpgRecord(Bytes().u8(0x0f).u8(type).u8(extension).d, payload);
}

// Packs rows of 8-bit indices for the first version: a repeated row becomes a row repeat,
// runs of 3 or more a byte repeat (0xFF runs the short form), the rest literal bytes.
QByteArray wpg1Rows(const QImage &indices)
{
    QByteArray out;
    for (int y = 0; y < indices.height(); ++y) {
        const QByteArray row = rowOf(indices, y);
        if (y > 0 && row == rowOf(indices, y - 1)) {
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
    return Bytes()
        .u16s({0xffff, 24, 101, kind, 0, 0, xMax, yMax, pageW, pageH})
        .raw(QByteArray(28, 0))
        .d;
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

// A device-independent bitmap: header, palette, rows from the bottom (or run-length coded).
QByteArray dib(const QImage &indices, const QVector<QRgb> &palette, bool rle)
{
    QByteArray bits;
    for (int y = indices.height() - 1; y >= 0; --y) {
        const QByteArray row = rowOf(indices, y);
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

// ---- Tests ----

TEST(LegacyFormats, ContentDecidesWhereTheFormatHasASignature)
{
    const QImage indices = indexPicture(8, 6, 16);
    const PicCase pic{"", 8, 1, 0, {}, {}, false};
    // expected: the format found by content; empty: none (known by name only).
    const struct { const char *name; QByteArray bytes, expected; } cases[] = {
        {"placeable wmf", fixtureBytes("shapes.wmf"), "wmf"},
        {"plain wmf", fixtureBytes("shapes.wmf").mid(22), "wmf"},
        {"wpg", wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16s({1200, 1200}).d), "wpg"},
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
    // The drawing is 200 x 150 units at 96 dpi. Without its 22-byte placeable header the file
    // is a plain metafile whose window records give its frame, in pixels.
    const QByteArray placeable = fixtureBytes("shapes.wmf");
    const struct { const char *name; double x, y; QColor colour; } points[] = {
        {"inside the rectangle", 60 / 200.0, 45 / 150.0, Qt::red},
        {"near its corner", 22 / 200.0, 22 / 150.0, Qt::red},
        {"the ellipse's centre", 150 / 200.0, 100 / 150.0, Qt::blue},
        {"inside the triangle", 60 / 200.0, 120 / 150.0, QColor(0, 160, 0)},
        {"between the shapes", 110 / 200.0, 20 / 150.0, Qt::white},
        {"above the ellipse", 150 / 200.0, 20 / 150.0, Qt::white},
        {"beside the triangle's apex", 25 / 200.0, 95 / 150.0, Qt::white},
    };
    QList<Sample> samples;
    for (const auto &p : points) {
        samples.append({p.name, placeable, {187, 137}, p.x, p.y, p.colour});
        samples.append({p.name, placeable.mid(22), {4787, 3505}, p.x, p.y, p.colour});
    }
    checkSamples(samples);
}

// Bitmaps inside metafiles keep their pixels: LibreOffice's stretched over the frame, and
// hand-built ones, plain and run-length coded, through both stretching records.
TEST(LegacyFormats, MetafileBitmapsKeepTheirPixels)
{
    const QImage image = readBytes(fixtureBytes("bitmap.wmf"));
    const QImage source = fixtureImage("cells.png");
    ASSERT_FALSE(image.isNull());
    // Each of the 4 x 3 source pixels covers a block; the middle of each block is its colour.
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QColor got = at(image, (x + 0.5) / source.width(), (y + 0.5) / source.height());
            EXPECT_TRUE(near(got, source.pixelColor(x, y), 2))
                << x << "," << y << " " << got.name().toStdString();
        }
    }

    QImage cells(4, 3, QImage::Format_Indexed8);
    QVector<QRgb> palette;
    for (int i = 0; i < 12; ++i) {
        cells.scanLine(i / 4)[i % 4] = uchar(i);
        palette.append(qRgb(i * 20, 255 - i * 20, (i * 77) & 0xff));
    }
    // Upper half: an uncompressed DIB stretched over 40 x 30; lower half: the same cells
    // run-length coded through the other stretching record.
    const QImage both =
        readBytes(plainWmf(40, 60,
                           wmfRecord(0x0F43, {0x0020, 0x00CC, 0, 3, 4, 0, 0, 30, 40, 0, 0},
                                     dib(cells, palette, false)) +
                               wmfRecord(0x0B41, {0x0020, 0x00CC, 3, 4, 0, 0, 30, 40, 30, 0},
                                         dib(cells, palette, true))));
    ASSERT_EQ(both.size(), QSize(40, 60));
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < 12; ++i) {
            const QPoint centre(i % 4 * 10 + 5, half * 30 + i / 4 * 10 + 5);
            EXPECT_EQ(both.pixel(centre), palette[i]) << half << " cell " << i;
        }
    }
}

TEST(LegacyFormats, MetafileRecordsKeepStateClipPiesAndText)
{
    // A green brush; inside a saved state a clip to the left half and a square over the whole
    // window; after the restore an unclipped square in the bottom right; a brush deleted and
    // its slot reused.
    const QByteArray stateAndClip = plainWmf(
        100, 100,
        wmfRecord(0x02FC, {0, 0xff00, 0x00, 0})      // green brush -> slot 0
            + wmfRecord(0x02FA, {5, 0, 0, 0, 0})     // no pen -> slot 1
            + wmfRecord(0x012D, {0}) + wmfRecord(0x012D, {1}) + wmfRecord(0x001E, {}) // save
            + wmfRecord(0x0416, {100, 50, 0, 0})     // clip to x < 50
            + wmfRecord(0x041B, {100, 100, 0, 0})    // square over everything, clipped
            + wmfRecord(0x0127, {0xffff})            // restore: no clip
            + wmfRecord(0x01F0, {0})                 // delete the green brush
            + wmfRecord(0x02FC, {0, 0x00ff, 0x0000, 0}) // red brush takes slot 0 again
            + wmfRecord(0x012D, {0}) + wmfRecord(0x041B, {100, 100, 75, 75})); // bottom right
    // A pie from three to twelve o'clock in a 100 x 100 box, and black text below it.
    const QByteArray pie = plainWmf(
        100, 100,
        wmfRecord(0x02FC, {0, 0x00ff, 0, 0}) + wmfRecord(0x012D, {0}) +
            wmfRecord(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}) +
            wmfRecord(0x02FB, {quint16(-20), 0, 0, 0, 700, 0, 0, 0, 0},
                      QByteArray("DejaVu Sans").leftJustified(32, 0)) +
            wmfRecord(0x012D, {1}) + wmfRecord(0x0102, {1}) +
            wmfRecord(0x0521, {6}, QByteArray("HHHHHH") + Bytes().u16s({70, 5}).d));
    checkSamples({
        {"clipped square", stateAndClip, {100, 100}, 0.25, 0.5, Qt::green},
        {"outside the clip", stateAndClip, {100, 100}, 0.6, 0.5, Qt::white},
        {"after the restore", stateAndClip, {100, 100}, 0.9, 0.9, Qt::red},
        {"pie", pie, {100, 100}, 0.7, 0.3, Qt::red},
        {"left of the pie", pie, {100, 100}, 0.3, 0.3, Qt::white},
        {"below the pie", pie, {100, 100}, 0.7, 0.6, Qt::white},
    });
    const QImage image = readBytes(pie);
    int dark = 0;
    for (int y = 70; y < 95; ++y) {
        for (int x = 5; x < 95; ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 40) << "no text drawn";
}

TEST(LegacyFormats, CutUsesThePaletteBesideItOrGrey)
{
    const QImage indices = indexPicture(37, 9, 200);
    QVector<QRgb> colours, coarse, grey;
    for (int i = 0; i < 200; ++i) {
        colours.append(qRgb(i, 255 - i, (i * 7) & 0xff));
        coarse.append(qRgb(i % 4 * 85, (i / 4) % 4 * 85, (i / 16) % 4 * 85));
    }
    for (int i = 0; i < 256; ++i)
        grey.append(qRgb(i, i, i));
    const QByteArray cut = cutFile(indices);
    // Colours on a 0..63 scale widen exactly when they are multiples of 85.
    const struct { QByteArray palette; QVector<QRgb> expected; } cases[] = {
        {halloPalette(colours, 255), colours}, {halloPalette(coarse, 63), coarse}, {{}, grey}};
    for (const auto &c : cases)
        EXPECT_EQ(difference(CutHandler::decode(cut, c.palette), withPalette(indices, c.expected)),
                  "");

    // Read by name through Qt, the palette file beside the picture is found whatever the case
    // of its suffix.
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("scan.cut"), cut) &&
                writeFile(dir.filePath("scan.PAL"), halloPalette(colours, 255)));
    ImageFormats::registerBuiltInFormats();
    EXPECT_EQ(
        difference(QImageReader(dir.filePath("scan.cut")).read(), withPalette(indices, colours)),
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
    const QByteArray cgaBright("\x03\x00", 2);
    const PicCase cases[] = {
        {"mono, no palette", 1, 1, 0, {}, {0xff000000, 0xffffffff}, false},
        {"CGA palette 1 bright", 2, 1, 1, cgaBright, {cga[0], cga[11], cga[13], cga[15]}, true},
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
    const int w = indices.width(), h = indices.height();
    QVector<QRgb> palette;
    QByteArray map1, map2;
    for (int i = 0; i < 256; ++i) {
        const QRgb c = qRgb((i * 7) & 0xff, (i * 13) & 0xff, 255 - i);
        palette.append(c);
        map1.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        map2.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c))).append('\0');
    }
    const QByteArray version1 =
        wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16s({2300, 800}).d) +
        wpg1Record(0x0e, Bytes().u16s({0, 256}).d + map1) +
        wpg1Record(0x0b, Bytes().u16s({w, h, 8, 75, 75}).d + wpg1Rows(indices)) +
        wpg1Record(0x10, {});

    // Version 2: rows coded with literal runs, sample repeats and a row repeat.
    QByteArray rows;
    for (int y = 0; y < h; ++y) {
        const uchar *row = indices.constScanLine(y);
        if (y == 4)
            rows.append(char(0xfe)).append('\0');
        else if (y == 2)
            rows.append(char(0x80 | (w - 1))).append(char(row[0]));
        else
            rows.append(char(w - 1)).append(reinterpret_cast<const char *>(row), w);
    }
    const QByteArray start =
        Bytes().u16s({1200, 1200}).u8(0).u16s({0, 0, 2300, 800, 0, 0, 2300, 800}).d;
    const QByteArray version2 =
        wpgHeader(2) + wpg2Record(0x01, start) + wpg2Record(0x0c, Bytes().u16s({0, 256}).d + map2) +
        wpg2Record(0x1b, Bytes().u16s({0, 0, 0, 2300, 800, 75, 75}).d, 1) +
        wpg2Record(0x0e, Bytes().u16s({w, h}).u8(4).u8(1).d + rows) + wpg2Record(0x02, {});
    EXPECT_EQ(difference(readBytes(version1), withPalette(indices, palette)), "") << "version 1";
    EXPECT_EQ(difference(readBytes(version2), withPalette(indices, palette)), "") << "version 2";
}

TEST(LegacyFormats, WpgDrawingsArePlacedOnThePage)
{
    // Version 1: a 2 x 1 inch page (1200 units an inch, y up); a red filled rectangle in the
    // lower left quarter, a blue line along the top edge.
    const QByteArray version1 =
        wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16s({2400, 1200}).d) +
        wpg1Record(0x01, Bytes().u8(1).u8(12).d)         // solid, colour 12: red
        + wpg1Record(0x02, Bytes().u8(0).u8(1).u16(0).d) // no outline
        + wpg1Record(0x07, Bytes().u16s({0, 0, 1200, 600}).d) +
        wpg1Record(0x02, Bytes().u8(1).u8(9).u16(60).d) // blue, 1/20 inch
        + wpg1Record(0x05, Bytes().u16s({0, 1170, 2400, 1170}).d) + wpg1Record(0x10, {});
    // Version 2: the same page; a green rectangle in the upper right quarter and a filled
    // ellipse in the lower right.
    const QByteArray start =
        Bytes().u16s({1200, 1200}).u8(0).u16s({0, 0, 2400, 1200, 0, 0, 2400, 1200}).d;
    auto fill = [](int r, int g, int b) {
        return wpg2Record(0x31, Bytes().u8(0).u8(r).u8(g).u8(b).u8(0).d);
    };
    const QByteArray version2 =
        wpgHeader(2) + wpg2Record(0x01, start) + fill(0, 200, 0) +
        wpg2Record(0x18, Bytes().u16s({0x2000, 1200, 600, 2400, 1200, 0, 0}).d) + fill(0, 0, 255) +
        wpg2Record(0x19, Bytes().u16s({0x2000, 1800, 300, 300, 200, 300, 0, 300, 0}).d) +
        wpg2Record(0x02, {});
    // A compound polygon of two squares, one inside the other, leaves a hole; the framed
    // rectangle after it is a shape of its own, not part of the compound.
    auto square = [](int x1, int y1, int x2, int y2) {
        return wpg2Record(0x15, Bytes().u16s({0, 4, x1, y1, x2, y1, x2, y2, x1, y2}).d);
    };
    const QByteArray compound =
        wpgHeader(2) + wpg2Record(0x01, start) + fill(255, 0, 0) +
        wpg2Record(0x1a, Bytes().u16(0x2000).d, 2) + square(100, 100, 1100, 1100) +
        square(400, 400, 800, 800) +
        wpg2Record(0x18, Bytes().u16s({0x8000, 1300, 100, 2300, 1100, 0, 0}).d) +
        wpg2Record(0x02, {});
    const QSize page(192, 96);
    checkSamples({
        {"compound ring", compound, page, 250 / 2400.0, 0.5, Qt::red},
        {"compound hole", compound, page, 0.25, 0.5, Qt::white},
        {"rectangle after it", compound, page, 0.75, 0.5, Qt::white},
        {"v1 rectangle", version1, page, 0.25, 0.75, Qt::red},
        {"v1 above it", version1, page, 0.25, 0.25, Qt::white},
        {"v1 beside it", version1, page, 0.75, 0.75, Qt::white},
        {"v1 top line", version1, page, 0.6, 0.02, Qt::blue},
        {"v2 rectangle", version2, page, 0.75, 0.25, QColor(0, 200, 0)},
        {"v2 left of it", version2, page, 0.25, 0.25, Qt::white},
        {"v2 ellipse", version2, page, 0.75, 0.75, Qt::blue},
        {"v2 ellipse corner", version2, page, 0.52, 0.97, Qt::white},
    });
}

TEST(LegacyFormats, GemDrawingsFollowTheirCoordinates)
{
    // Raster coordinates (origin top left), 400 x 300 units, no page size: a pixel each.
    const QByteArray raster = gemHeader(2, 399, 299, 0, 0) + gemRecord(25, {}, {2}) +
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
    checkSamples({
        {"rc bar", raster, {399, 299}, 0.25, 0.25, Qt::red},
        {"rc right of bar", raster, {399, 299}, 0.6, 0.25, Qt::white},
        {"rc ellipse", raster, {399, 299}, 0.75, 0.75, Qt::blue},
        {"rc ellipse box corner", raster, {399, 299}, 0.63, 0.62, Qt::white},
        {"rc line", raster, {399, 299}, 0.75, 280.0 / 299, Qt::green},
        {"ndc bar", ndc, {378, 189}, 0.25, 0.75, Qt::red},
        {"ndc above bar", ndc, {378, 189}, 0.25, 0.25, Qt::white},
    });
}

TEST(LegacyFormats, ArtHighResolutionRowsArePackBitsCoded)
{
    // The same picture as mono.art in the packed form: 0xFFFF, resolutions, size, a word, then
    // each row PackBits-coded with one byte of padding.
    const QImage source = fixtureImage("mono.png");
    Bytes out;
    out.u16(0xffff).u16(300).u16(300).u16(source.width()).u16(source.height()).u16(1);
    for (int y = 0; y < source.height(); ++y) {
        QByteArray row((source.width() + 7) / 8 + 1, 0);
        for (int x = 0; x < source.width(); ++x) {
            if (qGray(source.pixel(x, y)) > 127)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.raw(packBits(row, 1));
    }
    EXPECT_EQ(difference(ArtHandler::decode(out.d), source), "");
}

// Damaged and hostile files: never a crash or hang, and no picture from a header that claims
// more than the limits.
TEST(LegacyFormats, DamagedFilesFailOrGiveWhatTheyHold)
{
    const QImage indices = indexPicture(40, 12, 16);
    const PicCase pic{"", 4, 1, 0, {}, {}, true};
    const auto cut = [](const QByteArray &b) { return CutHandler::decode(b, {}); };
    const QList<std::pair<QByteArray, std::function<QImage(const QByteArray &)>>> samples = {
        {cutFile(indices), cut},
        {fixtureBytes("mono.art"), &ArtHandler::decode},
        {qUncompress(fixtureBytes("ramp.hrz.z")).left(4000), &HrzHandler::decode},
        {picFile(indices, pic), &PicHandler::decode},
        {fixtureBytes("bitmap.wmf"), &WmfHandler::decode},
        {fixtureBytes("shapes.wmf"), &WmfHandler::decode},
        {wpgHeader(1) + wpg1Record(0x0f, Bytes().u8(1).u8(0).u16s({100, 100}).d) +
             wpg1Record(0x0b, Bytes().u16s({40, 12, 8, 75, 75}).d + wpg1Rows(indices)),
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
        {"cut 40000 wide", Bytes().u16s({40000, 10, 0}).d + QByteArray(100, 1), cut},
        {"cut 30000 x 30000 from a few bytes",
         Bytes().u16s({30000, 30000, 0}).d + QByteArray(64, '\x81'), cut},
        {"art 40000 wide", Bytes().u16s({0, 40000, 0, 8}).d + QByteArray(100, 0),
         &ArtHandler::decode},
        {"pic 16000 x 16000 packed from one block",
         Bytes()
             .u16s({0x1234, 16000, 16000, 0, 0})
             .u8(8)
             .u8(0xff)
             .u8('L')
             .u16s({0, 0, 1, 10, 65535})
             .u8(1)
             .u8(1)
             .u8(0)
             .u16(65535)
             .u8(7)
             .d,
         &PicHandler::decode},
        {"wpg bitmap 16000 x 16000 from two bytes",
         wpgHeader(1) + wpg1Record(0x0b, Bytes().u16s({16000, 16000, 8, 75, 75}).u8(0x81).u8(1).d),
         &WpgHandler::decode},
    };
    for (const auto &c : oversized)
        EXPECT_TRUE(c.decode(c.bytes).isNull()) << c.name;

    // A metafile claiming 65535 objects and saving its state endlessly stays bounded.
    Bytes wmf;
    wmf.u16s({1, 9, 0x0300}).u32(0).u16(65535).u32(0).u16(0);
    wmf.u32(5).u16s({0x020C, 10, 10});
    for (int i = 0; i < 20000; ++i)
        wmf.u32(3).u16(0x001E).u32(7).u16(0x02FC).u16(0).u32(0xff).u16(0);
    EXPECT_FALSE(WmfHandler::decode(wmf.d).isNull());
}

} // namespace
