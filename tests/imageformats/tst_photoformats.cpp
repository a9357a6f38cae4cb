// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Today's photo types: files made by Debian's encoders (tests/data/alltypes) are found by their
// content and decoded, the HEIF and AVIF plugins each take only their own brands, and files
// cut short never bring the program down.
#include "imagecheck.h"
#include "photobrands.h"

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char *name)
{
    return fileBytes(QStringLiteral(ALLTYPES_FIXTURES "/") + QLatin1String(name));
}

QByteArray ftyp(const QByteArray &major, const QList<QByteArray> &compatible)
{
    QByteArray box = QByteArray(4, 0) + "ftyp" + major + QByteArray(4, 0);
    for (const QByteArray &b : compatible)
        box += b;
    box[3] = char(box.size());
    return box + QByteArray(16, 0);
}

TEST(PhotoFormats, BrandsSendEachFileToItsPlugin)
{
    const struct
    {
        const char *name;
        QByteArray head;
        bool heif, avif;
    } cases[] = {
        {"a phone's HEIC", ftyp("heic", {"mif1", "heic"}), true, false},
        {"generic HEIF of AV1 pictures", ftyp("mif1", {"mif1", "avif", "miaf"}), false, true},
        {"an AVIF sequence", ftyp("avis", {"msf1"}), false, true},
        {"an MP4 video", ftyp("isom", {"iso2", "mp41"}), false, false},
        {"too short",
         QByteArray("\0\0\0\x18"
                    "ftypheic",
                    12),
         false, false},
    };
    for (const auto &c : cases) {
        QBuffer buffer;
        buffer.setData(c.head);
        buffer.open(QIODevice::ReadOnly);
        const QList<QByteArray> brands = ImageFormats::Photo::brands(&buffer);
        EXPECT_EQ(ImageFormats::Photo::isHeif(brands), c.heif) << c.name;
        EXPECT_EQ(ImageFormats::Photo::isAvif(brands), c.avif) << c.name;
        EXPECT_EQ(buffer.pos(), 0) << c.name;
    }
}

TEST(PhotoFormats, EncodersFilesDecodeAndDamagedOnesFailSafely)
{
    const QImage source(QStringLiteral(ALLTYPES_FIXTURES "/picture.png"));
    const struct
    {
        const char *file;
        QByteArray format;
        bool lossless;
    } cases[] = {{"picture.webp", "webp", true},
                 {"picture.avif", "avif", true},
                 {"picture.heic", "heic", false},
                 {"picture.heif", "heic", false}};
    for (const auto &c : cases) {
        const QByteArray bytes = fixture(c.file);
        QByteArray detected;
        const QImage image = readBytes(bytes, {}, &detected);
        EXPECT_EQ(detected, c.format) << c.file;
        EXPECT_EQ(image.size(), source.size()) << c.file;
        if (c.lossless)
            EXPECT_EQ(difference(image, source), "") << c.file;
        for (int n = 0; n < bytes.size(); n += std::max<int>(1, int(bytes.size()) / 40))
            readBytes(bytes.left(n), c.format);
    }
}

} // namespace
