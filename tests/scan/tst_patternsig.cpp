// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "patternsig.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <functional>
#include <random>

#include "coloursig.h"
#include "mainstate.h"
#include "pixelarray.h"
#include "qtprinters.h"

using Pattern::PatternSums;

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);

std::optional<PatternValues> patternOf(QImage img)
{
    PixelArray pixels(std::move(img));
    ConvertToGrey(pixels);
    return PatternSignature(pixels);
}

// A pattern text from a rule on grid column a (from the left) and row b (from the bottom).
QString textOf(const std::function<bool(int a, int b)> &dark)
{
    QString s;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            s += dark(a, b) ? QLatin1Char('*') : QLatin1Char(' ');
    return s;
}

bool evenCell(int a, int b)
{
    return (a + b) % 2 == 0;
}

// A w x h picture: borders of the given widths in their colours, inside them a 10 x 10
// checkerboard, black where column + row is even.
struct Framed
{
    int w, h, left, right, bottom, top;
    QRgb bottomColour = Black, topColour = Black;
};

QImage framed(const Framed &f)
{
    QImage img(f.w, f.h, QImage::Format_RGB32);
    img.fill(Black);
    QPainter p(&img);
    p.fillRect(0, 0, f.w, f.top, f.topColour);
    p.fillRect(0, f.h - f.bottom, f.w, f.bottom, f.bottomColour);
    const int cw = (f.w - f.left - f.right) / 10;
    const int ch = (f.h - f.bottom - f.top) / 10;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            if (!evenCell(a, b))
                p.fillRect(f.left + a * cw, f.h - f.bottom - (b + 1) * ch, cw, ch, White);
    return img;
}

QImage noise(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, random() | 0xFF000000u);
    return img;
}

// Blocks of random tone in a 20 x 20 layout, so that the coarse cells differ clearly.
QImage blocks(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int a = 0; a < 20; ++a)
        for (int b = 0; b < 20; ++b)
            p.fillRect(a * w / 20, b * h / 20, w / 20 + 1, h / 20 + 1, QColor::fromRgb(random()));
    return img;
}

} // namespace

TEST(PatternSignature, GreyWeighsTheChannels)
{
    // round(76 r / 255) + round(150 g / 255) + round(28 b / 255).
    const struct
    {
        QRgb colour;
        unsigned grey;
    } cases[] = {{White, 254},          {Black, 0},
                 {qRgb(255, 0, 0), 76}, {qRgb(0, 255, 0), 150},
                 {qRgb(0, 0, 255), 28}, {qRgb(128, 128, 128), 38 + 75 + 14},
                 {qRgb(1, 1, 1), 1},    {qRgb(100, 50, 200), 30 + 29 + 22}};
    // One row of 57 pixels, the colours in turn: runs of sixteen and of eight go through the
    // vector paths and the rest one by one, in the whole row and in either half of it; every
    // pixel's grey must come out in its own place.
    constexpr int Width = 57;
    QImage img(Width, 1, QImage::Format_RGB32);
    std::uint64_t greySum = 0;
    for (int i = 0; i < Width; ++i) {
        img.setPixel(i, 0, cases[i % 8].colour);
        greySum += cases[i % 8].grey;
    }
    PixelArray pixels(img);
    PatternSums fromColour(Width, 1);
    ColourSignatures(pixels, fromColour);
    EXPECT_EQ(fromColour.greySum(), greySum);
    for (int i = 0; i < Width; ++i)
        EXPECT_EQ(fromColour.greyRow()[i], cases[i % 8].grey) << i;
    PatternSums fromGrey(Width, 1);
    ConvertToGrey(pixels, &fromGrey);
    EXPECT_EQ(fromGrey.greySum(), greySum);
    for (int i = 0; i < Width; ++i)
        EXPECT_EQ(pixels.at(i + 1, 1) & 0xFFFFFFu, cases[i % 8].grey * 0x010101u) << i;
}

TEST(PatternSignature, UniformAndTooSmallImages)
{
    // Under 100 pixels either way the picture is too small; a uniform one has no dark cell.
    const QString blank(100, QLatin1Char(' ')), small = QStringLiteral("Image too small...");
    const struct
    {
        int w, h;
        QString pxlray;
    } cases[] = {{99, 500, small}, {500, 99, small}, {100, 100, blank}, {200, 300, blank}};
    for (const auto &c : cases) {
        QImage img(c.w, c.h, QImage::Format_RGB32);
        img.fill(qRgb(90, 90, 90));
        const auto v = patternOf(img);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(QSize(v->x, v->y), QSize(c.w, c.h));
        EXPECT_EQ(v->pxlray, c.pxlray) << c.w;
        EXPECT_EQ(v->pxlnum, 0);
    }
    EXPECT_FALSE(patternOf(QImage(32768, 100, QImage::Format_RGB32)).has_value());

    // 105 x 100 white (grey 254): cells are 10.5 pixels wide, bounds round half to even, so
    // columns 1-10, 12-21, 22-32, 32-42, 43-52, 54-63, 64-74, 74-84, 85-94, 96-105. Each value
    // divides by the nominal 105 pixels: a 10-wide cell gives 242, under the mean; an 11-wide
    // one 266, capped at 255. Nothing is trimmed: the fine cells are all 2 pixels high, so
    // every fine column is uniform, the sides trim past half the width and are then dropped
    // as leaving under 100 pixels.
    QImage white(105, 100, QImage::Format_RGB32);
    white.fill(White);
    const auto v = patternOf(white);
    EXPECT_EQ(v->pxlray, textOf([](int a, int) { return a != 2 && a != 3 && a != 6 && a != 7; }));
    EXPECT_EQ(v->pxlnum, 60);
}

TEST(PatternSignature, CellBoundsAreTakenInSinglePrecision)
{
    // 101 wide: cw = 101 / 50 is 2.0199999809 in single precision. 24 cw = 48.4799995, plus cw
    // is 50.4999995, which single precision rounds to 50.5: the half goes to even, 50. 25 cw
    // rounds to 50.5, plus 1 is 51.5, so the next cell starts at 52 and column 51 is in no
    // cell. In double, 24 x 2.02 + 2.02 is just over 50.5 and the cell would end at 51.
    const PatternSums sums(101, 100);
    EXPECT_EQ(sums.fine().xlo[24], 49);
    EXPECT_EQ(sums.fine().xhi[24], 50);
    EXPECT_EQ(sums.fine().xlo[25], 52);
}

TEST(PatternSignature, CellValuesRoundHalfToEven)
{
    // 100 x 100 of grey 101 (colour 102), with one cell of grey 103 (colour 103) and the
    // bottom-left cell half grey 100 (colour 100), half 101. The mean is 1010150 / 10000, so
    // 101; the bottom-left cell's value is 10050 / 100 = 100.5, rounded to even 100, under it.
    // Nothing is trimmed: the bottom fine row and the leftmost fine column are mixed.
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(qRgb(102, 102, 102));
    QPainter p(&img);
    p.fillRect(0, 90, 5, 10, QColor(100, 100, 100));
    p.fillRect(90, 0, 10, 10, QColor(103, 103, 103));
    p.end();
    const auto v = patternOf(img);
    EXPECT_EQ(v->pxlray, textOf([](int a, int b) { return a == 0 && b == 0; }));
}

TEST(PatternSignature, TrimmingThatLeavesUnder100PixelsIsUndone)
{
    // 300 x 300, black but for a white 80 x 80 square in the middle: the borders trim to 18
    // fine cells, 108 pixels a side, leaving 84 < 100, so the whole picture is gridded. The mean
    // is 254 x 6400 / 90000, so 18; the cells of columns and rows 3..6 hold white, at least
    // 10 x 10 pixels of it (254 x 100 / 900 = 28), the others are black.
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Black);
    QPainter(&img).fillRect(110, 110, 80, 80, White);
    const auto v = patternOf(img);
    auto inside = [](int k) { return k >= 3 && k <= 6; };
    EXPECT_EQ(v->pxlray, textOf([&](int a, int b) { return !(inside(a) && inside(b)); }));
    EXPECT_EQ(v->pxlnum, 84);
}

TEST(PatternSignature, BordersAreTrimmedOnlyInPairsThatAgree)
{
    // 300 x 300 with 30-pixel borders: five fine cells of 6 pixels each side. Trimmed, the
    // pattern is the checkerboard inside.
    const Framed frame{300, 300, 30, 30, 30, 30};
    const Framed letterbox{300, 300, 0, 0, 30, 30};
    EXPECT_EQ(patternOf(framed(frame))->pxlray, textOf(evenCell));
    EXPECT_EQ(patternOf(framed(letterbox))->pxlray, textOf(evenCell));

    // A bar on the top alone, or bars of different tones: nothing is trimmed, so the grid rows
    // at the bars show the bars (the cells inside no longer fit the checkerboard's).
    const QString topOnly = patternOf(framed({240, 270, 0, 0, 0, 30}))->pxlray;
    Framed twoTones = letterbox;
    twoTones.topColour = White;
    const QString tones = patternOf(framed(twoTones))->pxlray;
    for (int a = 0; a < 10; ++a) {
        EXPECT_EQ(topOnly[10 * a + 9], QLatin1Char('*')) << a;
        EXPECT_EQ(tones[10 * a], QLatin1Char('*')) << a;
        EXPECT_EQ(tones[10 * a + 9], QLatin1Char(' ')) << a;
    }
}

TEST(PatternSignature, OneReadingGivesTheSameAsSeparatePasses)
{
    // Noise of odd size; a frame, trimmed, which is read again from the colour pixels; blocks.
    const QImage images[] = {noise(257, 131, 1), framed({311, 233, 17, 14, 23, 20}),
                             blocks(640, 480, 2)};
    for (const QImage &img : images) {
        const auto separate = patternOf(img);
        const PixelArray pixels(img);
        PatternSums sums(pixels.width(), pixels.height());
        ColourSignatures(pixels, sums);
        const auto together = PatternSignature(pixels, sums);
        // Rows top first, as a decoder gives them.
        PatternSums fromTop(pixels.width(), pixels.height());
        SignatureRows rows(pixels.width(), pixels.height(), true, &fromTop);
        for (int j = pixels.height(); j >= 1; --j)
            rows.add(pixels.row(j), j);
        const auto topFirst = PatternSignature(pixels, fromTop);
        ASSERT_TRUE(separate && together && topFirst);
        EXPECT_EQ(together->pxlray, separate->pxlray) << img.width();
        EXPECT_EQ(together->pxlnum, separate->pxlnum);
        EXPECT_EQ(topFirst->pxlray, separate->pxlray) << img.width();
        EXPECT_EQ(rows.colour()->qrgb, ColourSignatures(pixels)->qrgb);
    }
}

TEST(PatternSignature, TurnedAndMirroredPicturesMatchUnderSoftMatching)
{
    // Sizes whose cells are whole pixels, so a turned picture's cells hold the same pixels. Each
    // turn and mirror is matched only by its own column of the orientation table.
    const QImage original = blocks(300, 200, 3);
    const QString p = patternOf(original)->pxlray;
    const QImage turned[] = {original.transformed(QTransform().rotate(90)),
                             original.transformed(QTransform().rotate(180)),
                             original.transformed(QTransform().rotate(270)),
                             original.mirrored(true, false), original.mirrored(false, true)};
    for (const QImage &t : turned) {
        const QString q = patternOf(t)->pxlray;
        EXPECT_EQ(PatternDistance(p, q, true), 0);
        EXPECT_GT(PatternDistance(p, q, false), 10);
    }
}

TEST(PatternDistance, CountsDifferingCells)
{
    const QString blank(100, QLatin1Char(' '));
    auto with = [&](std::initializer_list<int> cells) {
        QString s = blank;
        for (int k : cells)
            s[k - 1] = QLatin1Char('*');
        return s;
    };
    const struct
    {
        const char *name;
        QString p, q;
        int hard, soft;
    } cases[] = {
        {"same", with({5, 77}), with({5, 77}), 0, 0},
        {"one cell", with({5}), blank, 1, 1},
        // Bottom-left corner turned clockwise is the top-left, anticlockwise the bottom-right.
        {"quarter turn", with({1}), with({10}), 2, 0},
        {"other quarter turn", with({1}), with({91}), 2, 0},
        // Swapping rows and columns is none of the six orientations.
        {"transposed", with({1, 2}), with({1, 11}), 2, 2},
        {"shorter second text", blank, QString(50, QLatin1Char(' ')), 50, 50},
        {"too small", QStringLiteral("Image too small..."), blank, 999, 999},
        {"too small second", blank, QStringLiteral("Image too small..."), 999, 999},
        {"placeholder", QStringLiteral(" "), blank, 999, 999},
        {"two characters", blank, QStringLiteral("**"), 999, 999},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PatternDistance(c.p, c.q, false), c.hard) << c.name;
        EXPECT_EQ(PatternDistance(c.p, c.q, true), c.soft) << c.name;
    }

    MainState options;
    options.setChecked(MainState::Check::SoftMatch, true);
    EXPECT_EQ(PatternDistance(with({1}), with({10}), options), 0);
    options.setChecked(MainState::Check::SoftMatch, false);
    EXPECT_EQ(PatternDistance(with({1}), with({10}), options), 2);
}
