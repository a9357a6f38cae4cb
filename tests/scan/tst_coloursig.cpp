// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "coloursig.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "patternsig.h"
#include "pixelarray.h"
#include "qtprinters.h"

namespace {

QImage filled(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

struct TextsCase
{
    const char *name;
    QImage image;
    const char *rgb, *softRgb, *qrgb, *softQrgb;
};

QImage quadrantLayout()
{
    // 6 x 4: every quadrant 3 x 2 pixels, so each quadrant average is its own colour.
    QImage img = filled(6, 4, qRgb(10, 20, 30)); // left bottom
    QPainter p(&img);
    p.fillRect(3, 2, 3, 2, QColor(40, 50, 60));    // right bottom
    p.fillRect(0, 0, 3, 2, QColor(70, 80, 90));    // left top
    p.fillRect(3, 0, 3, 2, QColor(100, 110, 121)); // right top
    return img;
}

QImage twoReds()
{
    QImage img = filled(2, 1, qRgb(100, 0, 0));
    img.setPixel(1, 0, qRgb(101, 0, 0));
    return img;
}

} // namespace

TEST(ColourSignatures, TextsFollowTheAveragingRules)
{
    const TextsCase cases[] = {
        {"uniform 4x4", filled(4, 4, qRgb(200, 100, 50)), "R200 G100 B050", "R150 G100 B050",
         "R200 200 200 200 G100 100 100 100 B050 050 050 050",
         "R150 150 150 150 G100 100 100 100 B050 050 050 050"},
        // Left columns 1-2, right 3-5; every quadrant divides by 2.5 x 2 = 5 pixels.
        {"odd width", filled(5, 4, qRgb(100, 0, 0)), "R100 G000 B000", "R100 G100 B000",
         "R080 120 080 120 G000 000 000 000 B000 000 000 000",
         "R080 120 080 120 G080 120 080 120 B000 000 000 000"},
        // 5 x 3: LB 2 pixels, RB 3, LT 4, RT 6, each divided by 2.5 x 1.5 = 3.75.
        {"odd both", filled(5, 3, qRgb(60, 30, 90)), "R060 G030 B090", "R030 G030 B060",
         "R032 048 064 096 G016 024 032 048 B048 072 096 144",
         "R016 024 032 048 G016 024 032 048 B032 048 064 096"},
        // Blue averages (30 + 60 + 90 + 121) / 4 = 75.25, floored.
        {"quadrant layout", quadrantLayout(), "R055 G065 B075", "R020 G010 B010",
         "R010 040 070 100 G020 050 080 110 B030 060 090 121",
         "R020 020 020 021 G010 010 010 010 B010 010 010 011"},
        // One row: v = 0.5, so no row is a bottom row and the top quadrants divide by 1 x 0.5.
        {"floors, one row", twoReds(), "R100 G000 B000", "R100 G100 B000",
         "R000 000 200 202 G000 000 000 000 B000 000 000 000",
         "R000 000 200 202 G000 000 200 202 B000 000 000 000"},
        // Quadrant averages above 255 keep all their digits: 255 / 0.75 and 510 / 0.75.
        {"three digits or more", filled(3, 1, qRgb(255, 255, 255)), "R255 G255 B255",
         "R000 G000 B000", "R000 000 340 680 G000 000 340 680 B000 000 340 680",
         "R000 000 000 000 G000 000 000 000 B000 000 000 000"},
    };
    for (const TextsCase &c : cases) {
        SCOPED_TRACE(c.name);
        const PixelArray pixels(c.image);
        const auto v = ColourSignatures(pixels);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(QSize(v->x, v->y), c.image.size());
        EXPECT_EQ(v->rgb, QLatin1String(c.rgb));
        EXPECT_EQ(v->softRgb, QLatin1String(c.softRgb));
        EXPECT_EQ(v->qrgb, QLatin1String(c.qrgb));
        EXPECT_EQ(v->softQrgb, QLatin1String(c.softQrgb));
    }
    // The width over the height, divided in single precision.
    EXPECT_EQ(ColourSignatures(PixelArray(filled(200, 300, 0)))->xyRatio, double(0.6666667f));
    EXPECT_EQ(ColourSignatures(PixelArray(filled(300, 200, 0)))->xyRatio, 1.5);
    // Sizes a row cannot store give nothing.
    EXPECT_FALSE(ColourSignatures(PixelArray()).has_value());
    EXPECT_FALSE(ColourSignatures(PixelArray(filled(32768, 1, 0))).has_value());
    EXPECT_FALSE(ColourSignatures(PixelArray(filled(1, 32768, 0))).has_value());
    EXPECT_EQ(ColourSignatures(PixelArray(filled(32767, 1, 0)))->x, 32767);
}

TEST(ColourSignatures, SumsBeyond32BitsStayExact)
{
    // 4000 x 3000 checkerboard of 400 x 300 cells, grey 230 where column + row is even, white
    // elsewhere: each channel sums to about 2.9e9, past both 2^31 and 2^32. The whole image
    // averages 242.5; a quadrant of 5 x 5 cells holds 13 cells of one tone and 12 of the other.
    QImage img = filled(4000, 3000, qRgb(255, 255, 255));
    {
        QPainter p(&img);
        for (int a = 0; a < 10; ++a)
            for (int b = 0; b < 10; ++b)
                if ((a + b) % 2 == 0)
                    p.fillRect(400 * a, 3000 - 300 * (b + 1), 400, 300, QColor(230, 230, 230));
    }
    const PixelArray pixels(img);
    Pattern::PatternSums sums(pixels.width(), pixels.height());
    const auto v = ColourSignatures(pixels, sums);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->rgb, QLatin1String("R242 G242 B242"));
    EXPECT_EQ(v->qrgb, QLatin1String("R242 243 243 242 G242 243 243 242 B242 243 243 242"));

    // Grey 229 and 254 average 241.5; the grey cells are the dark ones.
    const auto p = PatternSignature(pixels, sums);
    ASSERT_TRUE(p.has_value());
    QString expected;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            expected += (a + b) % 2 == 0 ? QLatin1Char('*') : QLatin1Char(' ');
    EXPECT_EQ(p->pxlray, expected);
    EXPECT_EQ(p->pxlnum, 50);
}
