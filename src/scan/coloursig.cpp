// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "coloursig.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "patternsig.h"
#include "pixelarray.h"
#include "pixelspan.h"

namespace {

constexpr int MaxSide = 32767; // sizes are stored as 16-bit integers

using Channels = PixelSpan::ChannelSums;

// A number with at least three digits, zero-padded.
void appendPadded(QString &text, std::int64_t v)
{
    const QString digits = QString::number(v);
    for (auto k = digits.size(); k < 3; ++k)
        text.append(QLatin1Char('0'));
    text.append(digits);
}

// "R", a, " G", b, " B", c, where each group holds one or four numbers separated by spaces.
template <std::size_t N>
QString layOut(const std::array<std::int64_t, N> &r, const std::array<std::int64_t, N> &g,
               const std::array<std::int64_t, N> &b)
{
    QString text;
    text.reserve(int(N) * 12 + 2);
    const char *labels[] = {"R", " G", " B"};
    const std::array<std::int64_t, N> *groups[] = {&r, &g, &b};
    for (int k = 0; k < 3; ++k) {
        text.append(QLatin1String(labels[k]));
        for (std::size_t q = 0; q < N; ++q) {
            if (q)
                text.append(QLatin1Char(' '));
            appendPadded(text, (*groups[k])[q]);
        }
    }
    return text;
}

ColourValues fromSums(int X, int Y, const std::array<Channels, 4> &quadrants)
{
    ColourValues out;
    out.x = qint16(X);
    out.y = qint16(Y);

    Channels all;
    for (const Channels &q : quadrants) {
        all.r += q.r;
        all.g += q.g;
        all.b += q.b;
    }
    // Whole-image averages: the sum divided by X and then by Y, in double, floored.
    const double dx = X;
    const double dy = Y;
    auto average = [&](std::int64_t sum) {
        return std::int64_t(std::floor(double(sum) / dx / dy));
    };
    const std::array<std::int64_t, 1> r{average(all.r)}, g{average(all.g)}, b{average(all.b)};
    out.rgb = layOut(r, g, b);
    out.softRgb =
        layOut<1>({std::abs(r[0] - b[0])}, {std::abs(r[0] - g[0])}, {std::abs(b[0] - g[0])});

    // Quadrant averages divide by a quarter of the image's pixels, X / 2 and Y / 2 taken in
    // single precision, whatever the quadrant's own pixel count.
    const double h = double(float(X) / 2.0f);
    const double v = double(float(Y) / 2.0f);
    auto quarter = [&](std::int64_t sum) { return std::int64_t(std::floor(double(sum) / h / v)); };
    std::array<std::int64_t, 4> qr{}, qg{}, qb{}, sr{}, sg{}, sb{};
    for (std::size_t q = 0; q < 4; ++q) {
        qr[q] = quarter(quadrants[q].r);
        qg[q] = quarter(quadrants[q].g);
        qb[q] = quarter(quadrants[q].b);
        sr[q] = std::abs(qr[q] - qb[q]);
        sg[q] = std::abs(qr[q] - qg[q]);
        sb[q] = std::abs(qb[q] - qg[q]);
    }
    out.qrgb = layOut(qr, qg, qb);
    out.softQrgb = layOut(sr, sg, sb);

    out.xyRatio = double(float(X) / float(Y));
    return out;
}

// Quadrants in the order LB, RB, LT, RT; with ToGrey the grey values of each row go to the
// pattern's sums. Of an odd width the left half is the smaller; of an
// odd height the bottom half.
template <bool ToGrey>
std::optional<ColourValues> colourPass(const PixelArray &pixels, Pattern::PatternSums *pattern)
{
    const int X = pixels.width();
    const int Y = pixels.height();
    if (pixels.isNull() || X > MaxSide || Y > MaxSide)
        return std::nullopt;
    Q_ASSERT(!ToGrey || (pattern->width() == X && pattern->height() == Y));

    const int leftColumns = X / 2;
    const int bottomRows = Y / 2;
    std::array<Channels, 4> quadrants;
    for (int j = 1; j <= Y; ++j) {
        const std::uint32_t *px = pixels.row(j);
        std::uint16_t *grey = ToGrey ? pattern->greyRow() : nullptr;
        const std::size_t q = j <= bottomRows ? 0 : 2;
        PixelSpan::run<true, ToGrey, false>(px, leftColumns, quadrants[q], grey);
        PixelSpan::run<true, ToGrey, false>(px + leftColumns, X - leftColumns, quadrants[q + 1],
                                            ToGrey ? grey + leftColumns : nullptr);
        if constexpr (ToGrey)
            pattern->addRow(j);
    }
    return fromSums(X, Y, quadrants);
}

} // namespace

std::optional<ColourValues> ColourSignatures(const PixelArray &pixels)
{
    return colourPass<false>(pixels, nullptr);
}

std::optional<ColourValues> ColourSignatures(const PixelArray &pixels,
                                             Pattern::PatternSums &pattern)
{
    pattern.setPixelsTurnedGrey(false);
    return colourPass<true>(pixels, &pattern);
}
