// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "imagecheck.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The process's address space in use, in bytes.
qint64 virtualSize()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

// A TGA header: image type, colour map, size, bits per pixel and descriptor.
QByteArray header(int type, int width, int height, int bits, int descriptor, int mapLength = 0,
                  int mapBits = 0)
{
    QByteArray h(18, '\0');
    h[1] = char(mapLength ? 1 : 0);
    h[2] = char(type);
    h[5] = char(mapLength & 0xFF);
    h[6] = char(mapLength >> 8);
    h[7] = char(mapBits);
    h[12] = char(width & 0xFF);
    h[13] = char(width >> 8);
    h[14] = char(height & 0xFF);
    h[15] = char(height >> 8);
    h[16] = char(bits);
    h[17] = char(descriptor);
    return h;
}

QImage decode(const QByteArray &bytes)
{
    return readBytes(bytes, "vexatga");
}

} // namespace

TEST(TgaReader, ReadsTheCommonKinds)
{
    // 2 x 2 pictures: top row red, green; bottom row blue, white (BGR order in the file).
    const QByteArray bottomUp24 = header(2, 2, 2, 24, 0)
                                  + QByteArray("\xff\x00\x00" "\xff\xff\xff" // bottom row first
                                               "\x00\x00\xff" "\x00\xff\x00", 12);
    const QByteArray topDown32 = header(2, 2, 2, 32, 0x28)
                                 + QByteArray("\x00\x00\xff\xff" "\x00\xff\x00\x80"
                                              "\xff\x00\x00\xff" "\xff\xff\xff\xff", 16);
    // Run-length: a run of two red pixels (top row), then two literal pixels.
    const QByteArray rle24 = header(10, 2, 2, 24, 0x20)
                             + QByteArray("\x81\x00\x00\xff" "\x01\xff\x00\x00\xff\xff\xff", 11);
    const QByteArray mapped = header(1, 2, 2, 8, 0x20, 3, 24)
                              + QByteArray("\x00\x00\xff" "\x00\xff\x00" "\xff\x00\x00", 9)
                              + QByteArray("\x00\x01\x02\x00", 4);
    const QByteArray grey = header(3, 2, 2, 8, 0x20) + QByteArray("\x00\x40\x80\xff", 4);
    const struct
    {
        const char *name;
        QByteArray bytes;
        QRgb topLeft, topRight, bottomLeft, bottomRight;
    } cases[] = {
        {"24-bit bottom-up", bottomUp24, qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {"32-bit with alpha", topDown32, qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 128), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {"run-length", rle24, qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {"colour map", mapped, qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)},
        {"grey", grey, qRgb(0, 0, 0), qRgb(64, 64, 64), qRgb(128, 128, 128), qRgb(255, 255, 255)},
    };
    for (const auto &c : cases) {
        const QImage img = decode(c.bytes);
        ASSERT_EQ(img.size(), QSize(2, 2)) << c.name;
        EXPECT_EQ(img.pixel(0, 0), c.topLeft) << c.name;
        EXPECT_EQ(img.pixel(1, 0), c.topRight) << c.name;
        EXPECT_EQ(img.pixel(0, 1), c.bottomLeft) << c.name;
        EXPECT_EQ(img.pixel(1, 1), c.bottomRight) << c.name;
    }
}

TEST(TgaReader, RefusesWhatIsNotAPicture)
{
    const QByteArray cases[] = {
        QByteArray("short"),
        header(2, 0, 5, 24, 0),                // no width
        header(2, 40000, 1, 24, 0),            // wider than the catalogue can hold
        header(2, 30000, 30000, 24, 0),        // more than 256 megapixels
        header(7, 2, 2, 24, 0),                // no such image type
        header(2, 2, 2, 12, 0),                // no such depth
        header(1, 2, 2, 8, 0),                 // mapped without a map
        header(2, 2, 2, 24, 0),                // no pixels at all
    };
    for (const QByteArray &bytes : cases)
        EXPECT_TRUE(decode(bytes).isNull()) << bytes.toHex().toStdString();
    // A truncated file keeps the part it has.
    const QImage part = decode(header(2, 2, 2, 24, 0) + QByteArray("\xff\x00\x00", 3));
    ASSERT_FALSE(part.isNull());
    EXPECT_EQ(part.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(part.pixel(1, 1), qRgb(0, 0, 0));
}

// A header alone cannot make the reader take memory for a picture the file could never fill:
// the decoding runs in a child whose address space has little room left, and must refuse
// these files instead of failing to allocate.
TEST(TgaReader, AHeaderAloneTakesNoMemory)
{
    const QByteArray cases[] = {
        header(2, 16384, 16384, 24, 0),                                  // 18 bytes, no pixels
        header(10, 16384, 16384, 32, 0) + QByteArray("\xff\x10\x20\x30\x40", 5), // one run
        header(2, 16384, 16384, 32, 0) + QByteArray(4096, '\x7f'),       // a few pixels
    };
    for (const QByteArray &bytes : cases) {
        const pid_t child = ::fork();
        if (child == 0) {
            rlimit room;
            ::getrlimit(RLIMIT_AS, &room);
            room.rlim_cur = rlim_t(virtualSize() + (192 << 20));
            ::setrlimit(RLIMIT_AS, &room);
            try {
                ::_exit(decode(bytes).isNull() ? 0 : 1);
            } catch (...) {
                ::_exit(2); // the memory could not be had
            }
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "died for lack of memory: " << bytes.size() << " bytes";
        EXPECT_EQ(WEXITSTATUS(status), 0) << bytes.size() << " bytes";
    }
}
