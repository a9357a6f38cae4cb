// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

class MainState;
class PixelArray;

// The pattern signature of one image as the catalogue stores it.
struct PatternValues
{
    qint16 x = 0;   // width in pixels
    qint16 y = 0;   // height in pixels
    QString pxlray; // 100 cells, "*" darker than the mean, or the too-small text
    qint16 pxlnum = 0;
};

namespace Pattern {

// The text stored for an image narrower or lower than 100 pixels.
inline QString tooSmallText()
{
    return QStringLiteral("Image too small...");
}

// A distance that means "cannot be compared".
constexpr int NotComparable = 999;

// Grey g = T76[red] + T150[green] + T28[blue], where Tw[c] = w * c / 255 rounded to the
// nearest integer (the weights are even, so no value falls on a half). g lies in 0..254.
// Tw[c] = floor((w c + 127) / 255), and for y below 65535 floor(y / 255) equals
// (y + 1) * 257 / 65536 floored: integer steps only, which the processor can run on many
// pixels at a time where a table look-up would take one pixel at a time.
inline std::uint32_t weighted(std::uint32_t weight, std::uint32_t c)
{
    return ((weight * c + 128) * 257) >> 16;
}
inline std::uint32_t greyOf(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return weighted(76, red) + weighted(150, green) + weighted(28, blue);
}

// A grey pixel keeps its grey value in all three colour bytes.
inline std::uint32_t greyPixel(std::uint32_t g)
{
    return 0xFF000000u | g * 0x010101u;
}

// What one reading of an image's grey values gathers for the pattern: the grey sum and the cell
// sums of the 50 x 50 grid and of the untrimmed 10 x 10 grid. Whoever reads the pixels feeds it
// row by row, so the pixels are read once however many grids need them.
class PatternSums
{
public:
    PatternSums(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Room for the grey values of one row, columns 1..width at [0..width - 1].
    std::uint16_t *greyRow() { return m_row.data(); }
    // Adds row j (1 = bottom), whose grey values are in greyRow(). Every row once, in any order:
    // a decoder's rows come top first.
    void addRow(int j);
    // Whether the pixels the sums came from were turned grey or keep their colours, for the
    // second reading that a trimmed frame needs.
    void setPixelsTurnedGrey(bool grey) { m_turnedGrey = grey; }
    bool pixelsTurnedGrey() const { return m_turnedGrey; }

    // A grid of n x n cells laid over part of the image, with each cell's pixel bounds and sum.
    struct Grid
    {
        int n = 0;
        float cellWidth = 0;
        float cellHeight = 0;
        int firstColumn = 1;                 // first pixel column of the covered area
        std::vector<int> xlo, xhi, ylo, yhi; // cell bounds, per grid column / grid row
        std::vector<int> loCut, hiCut;       // the cuts (below) before and after each column
        std::vector<std::uint64_t> sums;     // cell (a, b) at a * n + b

        void layOut(int cells, int left, int width, int bottom, int height);
        // Adds row j, given the row's running sums at the cuts.
        void addRow(int j, const std::uint32_t *atCuts);
    };

    // Places where a row is cut so that each cell's part of the row is the difference of two
    // running sums taken there: one reading of the row serves every grid over it.
    struct Cuts
    {
        std::vector<int> at;             // counted from the grids' first column, 0 and the end
        std::vector<std::uint32_t> sums; // running sums of the last row at each cut

        void build(int width, std::initializer_list<Grid *> grids);
        void take(const std::uint16_t *grey);
        std::uint32_t total() const { return sums.back(); }
    };

    std::uint64_t greySum() const { return m_greySum; }
    int rowsAdded() const { return m_rows; }
    const Grid &fine() const { return m_fine; }
    const Grid &coarse() const { return m_coarse; }

private:
    int m_width = 0;
    int m_height = 0;
    bool m_gridded = false; // large enough for a pattern
    bool m_turnedGrey = true;
    int m_rows = 0;
    std::uint64_t m_greySum = 0;
    std::vector<std::uint16_t> m_row;
    Grid m_fine;
    Grid m_coarse;
    Cuts m_cuts;
};

} // namespace Pattern

// Replaces each pixel's colour by its grey value. With `sums`, also gathers what the pattern
// signature needs in the same pass.
void ConvertToGrey(PixelArray &pixels, Pattern::PatternSums *sums = nullptr);

// The pattern signature of a grey pixel array. Nothing when the array is empty or a side is too
// large for a 16-bit size.
std::optional<PatternValues> PatternSignature(const PixelArray &grey);
// The same from sums already gathered from these pixels, by ConvertToGrey or by
// ColourSignatures; reads the pixels again only when a frame is trimmed.
std::optional<PatternValues> PatternSignature(const PixelArray &pixels,
                                              const Pattern::PatternSums &sums);

// The number of cells in which two pattern texts differ; with soft matching the smallest such
// number over the six orientations. NotComparable (999) when either text is shorter than three
// characters or is the too-small text.
int PatternDistance(const QString &p, const QString &q, bool softMatch);
// The same with soft matching as the options say; lets the user interface process its events
// after a comparison, as the matching loops rely on to stay responsive.
int PatternDistance(const QString &p, const QString &q, const MainState &options);
