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

} // namespace

// Quadrants in the order LB, RB, LT, RT. Of an odd width the left half is the smaller; of an odd
// height the bottom half.
SignatureRows::SignatureRows(int width, int height, bool colour, Pattern::PatternSums *pattern)
    : m_width(width), m_height(height),
      m_fits(width > 0 && height > 0 && width <= MaxSide && height <= MaxSide), m_colour(colour),
      m_pattern(pattern)
{
    Q_ASSERT(!pattern || (pattern->width() == width && pattern->height() == height));
    if (pattern)
        pattern->setPixelsTurnedGrey(false);
}

void SignatureRows::add(const std::uint32_t *px, int j)
{
    if (!m_fits)
        return;
    const int left = m_width / 2;
    const std::size_t q = j <= m_height / 2 ? 0 : 2;
    if (m_pattern) {
        std::uint16_t *grey = m_pattern->greyRow();
        if (m_colour) {
            PixelSpan::run<true, true, false>(px, left, m_quadrants[q], grey);
            PixelSpan::run<true, true, false>(px + left, m_width - left, m_quadrants[q + 1],
                                              grey + left);
        } else {
            PixelSpan::run<false, true, false>(px, m_width, m_quadrants[q], grey);
        }
        m_pattern->addRow(j);
    } else if (m_colour) {
        PixelSpan::run<true, false, false>(px, left, m_quadrants[q], nullptr);
        PixelSpan::run<true, false, false>(px + left, m_width - left, m_quadrants[q + 1], nullptr);
    }
}

std::optional<ColourValues> SignatureRows::colour() const
{
    if (!m_fits || !m_colour)
        return std::nullopt;
    return fromSums(m_width, m_height, m_quadrants);
}

namespace {

std::optional<ColourValues> colourPass(const PixelArray &pixels, Pattern::PatternSums *pattern)
{
    SignatureRows rows(pixels.width(), pixels.height(), true, pattern);
    for (int j = 1; rows.fits() && j <= pixels.height(); ++j)
        rows.add(pixels.row(j), j);
    return rows.colour();
}

} // namespace

std::optional<ColourValues> ColourSignatures(const PixelArray &pixels)
{
    return colourPass(pixels, nullptr);
}

std::optional<ColourValues> ColourSignatures(const PixelArray &pixels,
                                             Pattern::PatternSums &pattern)
{
    return colourPass(pixels, &pattern);
}
