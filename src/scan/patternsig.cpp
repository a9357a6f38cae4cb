// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "patternsig.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>

#include "mainstate.h"
#include "orientation.h"
#include "pixelarray.h"
#include "pixelspan.h"

// Cell sizes and cell bounds are single-precision values and every step on them is taken in
// single precision, rounded to the nearest integer with halves to even (the default rounding
// mode). Done in double, some cell bounds and trimmed borders of odd sizes move by a pixel and
// stored patterns would no longer be reproduced. The build keeps the compiler from fusing a
// multiply and an add into one step for this file.

namespace Pattern {
namespace {

constexpr int FineCells = 50;
constexpr int CoarseCells = 10;
constexpr int MinSide = 100;
constexpr int MaxSide = 32767; // sizes are stored as 16-bit integers

int roundEven(float v)
{
    return int(std::nearbyint(v));
}

// A cell's value: its sum over its nominal area, rounded, capped at 255. The sum is divided in
// double by the single-precision area.
int cellValue(std::uint64_t sum, float area)
{
    const double v = std::nearbyint(double(sum) / double(area));
    return v > 255.0 ? 255 : int(v);
}

bool sideFits(const PixelArray &pixels)
{
    return !pixels.isNull() && pixels.width() <= MaxSide && pixels.height() <= MaxSide;
}

// Lines of the fine grid that are all dark or all light.
struct FineBits
{
    std::array<std::array<bool, FineCells>, FineCells> f{}; // f[column][row], 0-based
    std::array<int, FineCells> columnSum{};
    std::array<int, FineCells> rowSum{};

    // Sum of column c or row r counted from 1; a line outside the grid sums to 0.
    int column(int c) const { return c >= 1 && c <= FineCells ? columnSum[c - 1] : 0; }
    int row(int r) const { return r >= 1 && r <= FineCells ? rowSum[r - 1] : 0; }
};

bool uniform(int lineSum)
{
    return lineSum == 0 || lineSum == FineCells;
}

struct Trim
{
    int left = 0, right = 0, bottom = 0, top = 0;
    bool any() const { return left || right || bottom || top; }
};

// Trims uniform borders off the fine grid, one line per side and round, and turns the kept
// counts into pixels. A pair of opposite borders is kept only when both sides were trimmed and
// the middle cells on those sides agree, so a frame is trimmed but a bar on one side is not.
Trim findBorders(const FineBits &bits, const PatternSums::Grid &fine, int X, int Y)
{
    int L = 0, R = 0, D = 0, U = 0;
    for (;;) {
        const int sl = bits.column(L + 1);
        const int sr = bits.column(FineCells - R);
        const int sd = bits.row(D + 1);
        const int su = bits.row(FineCells - U);
        bool grew = false;
        if (uniform(su)) {
            ++U;
            grew = true;
        }
        if (uniform(sd)) {
            ++D;
            grew = true;
        }
        if (uniform(sl)) {
            ++L;
            grew = true;
        }
        if (uniform(sr)) {
            ++R;
            grew = true;
        }
        // Cell counts against half the pixel height and width.
        if (!grew || 2 * U >= Y || 2 * L >= X)
            break;
    }

    Trim t;
    const auto &f = bits.f;
    if (U > 0 && D > 0 && f[24][0] == f[24][FineCells - 1]) {
        t.bottom = roundEven(float(D) * fine.cellHeight);
        t.top = roundEven(float(U) * fine.cellHeight);
    }
    if (L > 0 && R > 0 && f[0][24] == f[FineCells - 1][24]) {
        t.left = roundEven(float(L) * fine.cellWidth);
        t.right = roundEven(float(R) * fine.cellWidth);
    }
    if (Y - t.bottom - t.top < MinSide)
        t.bottom = t.top = 0;
    if (X - t.left - t.right < MinSide)
        t.left = t.right = 0;
    return t;
}

// Sum of n grey values; a loop the compiler runs on many values at a time.
std::uint32_t rangeSum(const std::uint16_t *grey, int n)
{
    std::uint32_t sum = 0;
    for (int k = 0; k < n; ++k)
        sum += grey[k];
    return sum;
}

// The grey values of columns first..last of row j into out[0..], from pixels turned grey or
// still in colour.
void readGrey(const PixelArray &pixels, bool turnedGrey, int j, int first, int last,
              std::uint16_t *out)
{
    const std::uint32_t *px = pixels.row(j) + (first - 1);
    const int n = last - first + 1;
    if (!turnedGrey) {
        PixelSpan::ChannelSums unused;
        PixelSpan::run<false, true, false>(px, n, unused, out);
        return;
    }
    for (int k = 0; k < n; ++k)
        out[k] = std::uint16_t(px[k] & 0xFFu);
}

} // namespace

void PatternSums::Grid::layOut(int cells, int left, int width, int bottom, int height)
{
    n = cells;
    cellWidth = float(width) / float(cells);
    cellHeight = float(height) / float(cells);
    firstColumn = left + 1;
    xlo.assign(std::size_t(n), 0);
    xhi.assign(std::size_t(n), 0);
    ylo.assign(std::size_t(n), 0);
    yhi.assign(std::size_t(n), 0);
    const float fl = float(left);
    const float fd = float(bottom);
    for (int a = 0; a < n; ++a) {
        // round(a·cw + 1 + L) to round(a·cw + cw + L), step by step in single precision.
        const float ax = float(a) * cellWidth;
        const float xFrom = (ax + 1.0f) + fl;
        const float xTo = (ax + cellWidth) + fl;
        xlo[std::size_t(a)] = std::max(roundEven(xFrom), left + 1);
        xhi[std::size_t(a)] = std::min(roundEven(xTo), left + width);
        const float by = float(a) * cellHeight;
        const float yFrom = (by + 1.0f) + fd;
        const float yTo = (by + cellHeight) + fd;
        ylo[std::size_t(a)] = std::max(roundEven(yFrom), bottom + 1);
        yhi[std::size_t(a)] = std::min(roundEven(yTo), bottom + height);
    }
    sums.assign(std::size_t(n * n), 0);
}

void PatternSums::Grid::addRow(int j, const std::uint32_t *atCuts)
{
    // Grid rows rise with the pixel rows: the first that reaches row j, and those after it that
    // start at or below it. Rounded bounds may leave a row in no grid row, or in two
    // neighbouring ones.
    const int first = int(std::lower_bound(yhi.begin(), yhi.end(), j) - yhi.begin());
    for (int b = first; b < n && ylo[std::size_t(b)] <= j; ++b) {
        if (yhi[std::size_t(b)] < j)
            continue;
        for (int a = 0; a < n; ++a)
            sums[std::size_t(a * n + b)] +=
                atCuts[hiCut[std::size_t(a)]] - atCuts[loCut[std::size_t(a)]];
    }
}

void PatternSums::Cuts::build(int width, std::initializer_list<Grid *> grids)
{
    at = {0, width};
    for (const Grid *g : grids) {
        for (int a = 0; a < g->n; ++a) {
            at.push_back(g->xlo[std::size_t(a)] - g->firstColumn);
            at.push_back(g->xhi[std::size_t(a)] - g->firstColumn + 1);
        }
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    sums.assign(at.size(), 0);
    auto cut = [&](int column) {
        return int(std::lower_bound(at.begin(), at.end(), column) - at.begin());
    };
    for (Grid *g : grids) {
        g->loCut.assign(std::size_t(g->n), 0);
        g->hiCut.assign(std::size_t(g->n), 0);
        for (int a = 0; a < g->n; ++a) {
            const int lo = g->xlo[std::size_t(a)] - g->firstColumn;
            const int hi = g->xhi[std::size_t(a)] - g->firstColumn + 1;
            if (lo < hi) { // an empty cell keeps both cuts at 0
                g->loCut[std::size_t(a)] = cut(lo);
                g->hiCut[std::size_t(a)] = cut(hi);
            }
        }
    }
}

void PatternSums::Cuts::take(const std::uint16_t *grey)
{
    std::uint32_t running = 0;
    for (std::size_t k = 1; k < at.size(); ++k) {
        running += rangeSum(grey + at[k - 1], at[k] - at[k - 1]);
        sums[k] = running;
    }
}

PatternSums::PatternSums(int width, int height)
    : m_width(width), m_height(height),
      m_gridded(width >= MinSide && height >= MinSide && width <= MaxSide && height <= MaxSide),
      m_row(std::size_t(std::max(width, 0)), 0)
{
    if (m_gridded) {
        m_fine.layOut(FineCells, 0, width, 0, height);
        m_coarse.layOut(CoarseCells, 0, width, 0, height);
        m_cuts.build(width, {&m_fine, &m_coarse});
    } else {
        m_cuts.build(std::max(width, 0), {});
    }
}

void PatternSums::addRow(int j)
{
    Q_ASSERT(j >= 1 && j <= m_height);
    ++m_rows;
    m_cuts.take(m_row.data());
    m_greySum += m_cuts.total();
    if (m_gridded) {
        m_fine.addRow(j, m_cuts.sums.data());
        m_coarse.addRow(j, m_cuts.sums.data());
    }
}

} // namespace Pattern

using namespace Pattern;

void ConvertToGrey(PixelArray &pixels, PatternSums *sums)
{
    Q_ASSERT(!sums || (sums->width() == pixels.width() && sums->height() == pixels.height()));
    std::vector<std::uint16_t> ownRow(sums ? 0 : std::size_t(pixels.width()));
    std::uint16_t *row = sums ? sums->greyRow() : ownRow.data();
    if (sums)
        sums->setPixelsTurnedGrey(true);
    PixelSpan::ChannelSums unused;
    for (int j = 1; j <= pixels.height(); ++j) {
        PixelSpan::run<false, true, true>(pixels.mutableRow(j), pixels.width(), unused, row);
        if (sums)
            sums->addRow(j);
    }
}

std::optional<PatternValues> PatternSignature(const PixelArray &grey)
{
    if (!sideFits(grey))
        return std::nullopt;
    PatternSums sums(grey.width(), grey.height());
    for (int j = 1; j <= grey.height(); ++j) {
        readGrey(grey, true, j, 1, grey.width(), sums.greyRow());
        sums.addRow(j);
    }
    return PatternSignature(grey, sums);
}

std::optional<PatternValues> PatternSignature(const PixelArray &pixels, const PatternSums &sums)
{
    if (!sideFits(pixels))
        return std::nullopt;
    const int X = pixels.width();
    const int Y = pixels.height();
    Q_ASSERT(sums.width() == X && sums.height() == Y && sums.rowsAdded() == Y);

    PatternValues out;
    out.x = qint16(X);
    out.y = qint16(Y);
    if (X < MinSide || Y < MinSide) {
        out.pxlray = tooSmallText();
        return out;
    }

    // Global mean, and the fine grid's cells against it.
    const std::uint64_t pixelCount = std::uint64_t(X) * std::uint64_t(Y);
    const int mean = int(sums.greySum() / pixelCount);
    const PatternSums::Grid &fine = sums.fine();
    const float fineArea = fine.cellWidth * fine.cellHeight;
    FineBits bits;
    for (int a = 0; a < FineCells; ++a) {
        for (int b = 0; b < FineCells; ++b) {
            const bool light =
                cellValue(fine.sums[std::size_t(a * FineCells + b)], fineArea) >= mean;
            bits.f[std::size_t(a)][std::size_t(b)] = light;
            bits.columnSum[std::size_t(a)] += light;
            bits.rowSum[std::size_t(b)] += light;
        }
    }

    const Trim trim = findBorders(bits, fine, X, Y);

    // The coarse grid over the trimmed area. Untrimmed, the sums gathered with the grey values
    // serve; a trimmed area is read again.
    const PatternSums::Grid *coarse = &sums.coarse();
    int areaMean = mean;
    PatternSums::Grid trimmed;
    if (trim.any()) {
        const int w = X - trim.left - trim.right;
        const int h = Y - trim.bottom - trim.top;
        trimmed.layOut(CoarseCells, trim.left, w, trim.bottom, h);
        PatternSums::Cuts cuts;
        cuts.build(w, {&trimmed});
        std::vector<std::uint16_t> row(std::size_t(w), 0);
        std::uint64_t areaSum = 0;
        for (int j = trim.bottom + 1; j <= Y - trim.top; ++j) {
            readGrey(pixels, sums.pixelsTurnedGrey(), j, trim.left + 1, X - trim.right, row.data());
            cuts.take(row.data());
            areaSum += cuts.total();
            trimmed.addRow(j, cuts.sums.data());
        }
        areaMean = int(areaSum / (std::uint64_t(w) * std::uint64_t(h)));
        coarse = &trimmed;
    }

    const float coarseArea = coarse->cellWidth * coarse->cellHeight;
    out.pxlray.reserve(CoarseCells * CoarseCells);
    for (int a = 0; a < CoarseCells; ++a) {
        for (int b = 0; b < CoarseCells; ++b) {
            if (cellValue(coarse->sums[std::size_t(a * CoarseCells + b)], coarseArea) < areaMean) {
                out.pxlray.append(QLatin1Char('*'));
                ++out.pxlnum;
            } else {
                out.pxlray.append(QLatin1Char(' '));
            }
        }
    }
    return out;
}

int PatternDistance(const QString &p, const QString &q, bool softMatch)
{
    const QString tooSmall = tooSmallText();
    if (p.size() < 3 || q.size() < 3 || p == tooSmall || q == tooSmall)
        return NotComparable;

    const int n = int(p.size());
    const int qn = int(q.size());
    const QChar *pc = p.constData();
    const QChar *qc = q.constData();
    // A position past the end of Q counts as different.
    auto differs = [&](int k, int at) { return at >= qn || pc[k] != qc[at]; };

    if (!softMatch) {
        int count = 0;
        for (int k = 0; k < n; ++k)
            count += differs(k, k);
        return count;
    }

    const Orientation::Table &table = Orientation::table();
    int best = -1;
    for (int o = 0; o < Orientation::Columns; ++o) {
        int count = 0;
        for (int k = 0; k < n; ++k) {
            // The table covers the 100 grid cells; longer texts compare the rest in place.
            const int at = k < 100 ? table[std::size_t(k)][std::size_t(o)] - 1 : k;
            count += differs(k, at);
        }
        if (best < 0 || count < best)
            best = count;
    }
    return best;
}

int PatternDistance(const QString &p, const QString &q, const MainState &options)
{
    const int d = PatternDistance(p, q, options.isChecked(MainState::Check::SoftMatch));
    if (d != NotComparable)
        QCoreApplication::processEvents();
    return d;
}
