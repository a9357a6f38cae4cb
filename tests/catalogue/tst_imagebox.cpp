// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "imagebox.h"

#include "testkit.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

namespace {

// A number as little-endian bytes, zero-padded to size, for hand-made headers.
QByteArray le(quint32 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int k = 0; k < size && k < 4; ++k)
        bytes[k] = char((value >> (8 * k)) & 0xFF);
    return bytes;
}

// A 2 x 2 run-length Windows bitmap: bottom row blue, top row red.
QByteArray rle8Bitmap()
{
    const QByteArray palette("\xFF\x00\x00\x00\x00\x00\xFF\x00", 8);
    const QByteArray runs("\x02\x00\x00\x00\x02\x01\x00\x01", 8);
    return "BM" + le(62 + 8, 4) + le(0, 4) + le(62, 4) + le(40, 4) + le(2, 4) + le(2, 4) +
           le(1, 2) + le(8, 2) + le(1, 4) + le(8, 4) + le(0, 8) + le(2, 4) + le(0, 4) + palette +
           runs;
}

// A 2 x 1 true-colour targa, blue then green, with the version 2 footer Qt needs.
QByteArray targa()
{
    return le(2 << 16, 12) + le(2, 2) + le(1, 2) + le(24, 1) + le(0x20, 1) +
           QByteArray("\xFF\x00\x00\x00\xFF\x00", 6) + le(0, 8) +
           QByteArray("TRUEVISION-XFILE.", 18);
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image)) << format;
    return bytes;
}

QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) & 0xFF));
    return image;
}

// Blue, green and red of a read-out pixel as 0xRRGGBB.
uint32_t colour(uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

class ImageBoxTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &content)
    {
        EXPECT_TRUE(writeFile(m_dir.filePath(name), content));
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ImageBoxTest, PixelOneOneIsTheBottomLeftCornerInBlueGreenRedOrder)
{
    QImage image(3, 2, QImage::Format_RGB32); // top row red, green, blue; bottom row
    const QRgb rows[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x0A141E}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, rows[y][x] | 0xFF000000u);
    ImageBox box;
    ASSERT_TRUE(box.setFileName(write("corner.png", encoded(image, "png"))));
    EXPECT_EQ(box.width(), 3);
    EXPECT_EQ(box.height(), 2);
    const PixelArray pixels = ReadPixels(box.picture());
    EXPECT_EQ(colour(pixels.at(1, 1)), 0xFFFFFFu);
    EXPECT_EQ(colour(pixels.at(3, 1)), 0x0A141Eu);
    EXPECT_EQ(colour(pixels.at(1, 2)), 0xFF0000u);
    EXPECT_EQ(colour(pixels.at(3, 2)), 0x0000FFu);
    const auto *bytes = reinterpret_cast<const uchar *>(&pixels.row(1)[2]);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(bytes), 3), QByteArray("\x1E\x14\x0A"));
    // A rectangle's rows also count from its own bottom.
    const PixelArray top = ReadPixels(box.picture(), 1, 0, 2, 1);
    EXPECT_EQ(colour(top.at(1, 1)), 0x00FF00u);
}

TEST_F(ImageBoxTest, TransparencyIsLaidOverTheFaceColour)
{
    QImage argb(3, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(255, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(10, 20, 30, 255));
    argb.setPixel(2, 0, qRgba(255, 0, 0, 128)); // 255 x .502 + 240 x .498 = 247.5; 119.5
    // Sixteen bits per channel take another conversion path.
    for (const QImage &image : {argb, argb.convertToFormat(QImage::Format_RGBA64)}) {
        ImageBox box;
        ASSERT_TRUE(box.setFileName(write("alpha.png", encoded(image, "png"))));
        const PixelArray pixels = ReadPixels(box.picture());
        EXPECT_EQ(colour(pixels.at(1, 1)), 0xF0F0F0u);
        EXPECT_EQ(colour(pixels.at(2, 1)), 0x0A141Eu);
        const QRgb half = pixels.at(3, 1);
        EXPECT_NEAR(qRed(half), 248, 1);
        EXPECT_NEAR(qGreen(half), 120, 1);
        EXPECT_NEAR(qBlue(half), 120, 1);
    }
}

TEST_F(ImageBoxTest, ContentDecidesTheTypeWhateverTheExtension)
{
    const QImage image = gradient(16, 8);
    struct Case
    {
        const char *name;
        QByteArray content;
        QSize size;
    };
    const Case cases[] = {
        {"photo.JPG", encoded(image, "jpeg"), {16, 8}},
        {"pic.bmp", encoded(image, "bmp"), {16, 8}},
        {"pic.tif", encoded(image, "tiff"), {16, 8}},
        // Its header also reads as a cursor's: the extension settles it.
        {"pic.tga", targa(), {2, 1}},
        {"windows.rle", rle8Bitmap(), {2, 2}},
        {"really-png.jpg", encoded(image, "png"), {16, 8}},
        {"really-jpeg.bmp", encoded(image, "jpeg"), {16, 8}},
    };
    for (const Case &c : cases) {
        ImageBox box;
        ASSERT_TRUE(box.setFileName(write(c.name, c.content))) << c.name;
        EXPECT_EQ(QSize(box.width(), box.height()), c.size) << c.name;
        EXPECT_EQ(box.fileName(), QDir(m_dir.path()).filePath(c.name));
    }
}

TEST_F(ImageBoxTest, WindowsShowPhotographsUprightSignaturesReadThemAsStored)
{
    // A camera held upright stores a landscape picture and an EXIF orientation saying so: an
    // APP1 segment after the start marker, its one tag 0x0112 = 6, turn a quarter clockwise.
    QByteArray jpeg = encoded(gradient(40, 20), "jpeg");
    jpeg.insert(2, QByteArray("\xff\xe1\x00\x22" "Exif\0\0" "MM\0\x2a\0\0\0\x08"
                              "\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0" "\0\0\0\0", 36));
    const QString path = write("upright.jpg", jpeg);
    EXPECT_EQ(ImageBox::decode(path).size(), QSize(40, 20));
    ImageBox box;
    ASSERT_TRUE(box.setFileName(path));
    EXPECT_EQ(QSize(box.width(), box.height()), QSize(20, 40));
}

// JPEG files are decoded by the component's own path; each kind must give the very pixels the
// toolkit's reader gives.
TEST_F(ImageBoxTest, JpegFilesGiveTheToolkitsPixels)
{
    const QImage colour = gradient(37, 23); // sizes that end inside a block
    struct Case
    {
        const char *name;
        QImage image;
        int quality;
        bool progressive;
    };
    const Case cases[] = {
        {"fine.jpg", colour, 95, false},
        {"coarse.jpg", colour, 30, false},
        {"progressive.jpg", gradient(130, 70), 80, true},
        {"grey.jpg", colour.convertToFormat(QImage::Format_Grayscale8), 85, false},
    };
    for (const Case &c : cases) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(c.quality);
        writer.setProgressiveScanWrite(c.progressive);
        ASSERT_TRUE(writer.write(c.image)) << c.name;
        const QString path = write(c.name, bytes);
        QImageReader toolkit(path, "jpeg");
        toolkit.setAutoTransform(false);
        const QImage expected = toOpaqueRgb32(toolkit.read());
        ASSERT_FALSE(expected.isNull()) << c.name;
        EXPECT_EQ(ImageBox::decode(path), expected) << c.name;
    }
}

TEST_F(ImageBoxTest, DamagedOrHostileFilesFailAndLeaveTheBoxEmpty)
{
    const QByteArray jpeg = encoded(gradient(256, 256), "jpeg");
    const QByteArray png = encoded(gradient(64, 64), "png");
    const QByteArray bmp = encoded(gradient(64, 64), "bmp");
    const QByteArray hugeGif = "GIF89a" + le(0xFFFFFFFF, 4) + le(0, 3) + "," + le(0, 4) +
                               le(0xFFFFFFFF, 4) + le(0, 1) +
                               QByteArray("\x02\x02\x44\x01\x00;", 6);
    const QList<QPair<QString, QByteArray>> cases = {
        {"empty.jpg", {}},
        {"text.png", "not a picture"},
        {"cut.png", png.left(png.size() / 2)},
        // The decoders of these two would fill in what is missing.
        {"cut.jpg", jpeg.left(jpeg.size() * 6 / 10)},
        {"cut.bmp", bmp.left(bmp.size() / 2)},
        {"huge.gif", hugeGif}, // 65535 x 65535 would need 16 GB
        // A Macintosh drawing without a bitmap, named like a PC Paint picture: nothing to show.
        {"macintosh.pic", QByteArray(512, '\0') + QByteArray("\x00\x40\x00\x00\x00\x00\x00\x10"
                                                               "\x00\x10\x00\x11\x02\xff\x0c\x00", 16)
                              + QByteArray(24, '\0') + QByteArray("\x00\xff", 2)},
    };
    const QString good = write("good.png", png);
    for (const auto &[name, content] : cases) {
        ImageBox box;
        ASSERT_TRUE(box.setFileName(good));
        EXPECT_FALSE(box.setFileName(write(name, content))) << name.toStdString();
        EXPECT_FALSE(box.isLoaded());
        EXPECT_EQ(box.width(), 0);
        EXPECT_TRUE(box.fileName().isEmpty());
    }
    ImageBox box;
    EXPECT_FALSE(box.setFileName(QDir(m_dir.path()).filePath("missing.png")));
    ASSERT_TRUE(box.setFileName(good));
    EXPECT_TRUE(box.setFileName(QString())); // the empty name releases the picture
    EXPECT_TRUE(ReadPixels(box.picture()).isNull());
}
