// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Today's photo types: the HEIF and AVIF plugins each take only their own brands, and the files
// Debian's encoders made (tests/data/alltypes) are found by content, even cut short safely.
#include "imagecheck.h"
#include "photobrands.h"

#include <gtest/gtest.h>

namespace {

QByteArray ftyp(const QByteArray &brands)
{
    const QByteArray box = QByteArray(3, 0) + char(12 + brands.size()) + "ftyp" + brands.left(4) +
                           QByteArray(4, 0) + brands.mid(4);
    return box + QByteArray(16, 0);
}

TEST(PhotoFormats, EachPluginTakesItsBrandsAndFilesByContent)
{
    const struct
    {
        QByteArray head;
        bool heif, avif;
    } brands[] = {
        {ftyp("heicmif1heic"), true, false},     // a phone's photograph
        {ftyp("mif1mif1avifmiaf"), false, true}, // generic HEIF holding AV1 pictures
        {ftyp("avismsf1"), false, true},         // an AVIF sequence
        {ftyp("isomiso2mp41"), false, false},    // an MP4 video
    };
    for (const auto &c : brands) {
        QBuffer buffer;
        buffer.setData(c.head);
        buffer.open(QIODevice::ReadOnly);
        const QList<QByteArray> found = ImageFormats::Photo::brands(&buffer);
        EXPECT_EQ(ImageFormats::Photo::isHeif(found), c.heif) << c.head.mid(8, 4).data();
        EXPECT_EQ(ImageFormats::Photo::isAvif(found), c.avif) << c.head.mid(8, 4).data();
    }
    for (const char *file : {"picture.webp", "picture.avif", "picture.heic"}) {
        const QByteArray bytes = fileBytes(QStringLiteral(ALLTYPES_FIXTURES "/") + file);
        QByteArray detected;
        EXPECT_EQ(readBytes(bytes, {}, &detected).size(), QSize(120, 110)) << file;
        EXPECT_EQ(detected, QByteArray(file).mid(8)) << file;
        for (int n = 0; n < bytes.size(); n += std::max<int>(1, int(bytes.size()) / 40))
            readBytes(bytes.left(n), detected);
    }
}

} // namespace
