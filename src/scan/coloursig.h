// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>

#include "pixelspan.h"

class PixelArray;
namespace Pattern {
class PatternSums;
}

// The colour signatures of one image as the catalogue stores them.
struct ColourValues
{
    qint16 x = 0;       // width in pixels
    qint16 y = 0;       // height in pixels
    QString rgb;        // "R128 G064 B032": whole-image average
    QString softRgb;    // |R - B|, |R - G|, |B - G| of those averages
    QString qrgb;       // the averages of the four quadrants
    QString softQrgb;   // their differences, quadrant by quadrant
    double xyRatio = 0; // width / height in single precision
};

// The average colour of the whole image and of its four quadrants, read in one pass. Nothing
// when the array is empty or a side is too large for a 16-bit size.
std::optional<ColourValues> ColourSignatures(const PixelArray &pixels);

// The same pass also works out every pixel's grey value and gathers in `pattern` what the
// pattern signature needs, so that a gather of both signatures reads each pixel once. The
// pixels keep their colours (PatternSignature(pixels, pattern) follows).
std::optional<ColourValues> ColourSignatures(const PixelArray &pixels,
                                             Pattern::PatternSums &pattern);

// The reading behind both: a picture's rows given one at a time, in any order, each once, so
// that a decoder's rows can be read while they are fresh in the processor's cache. With
// `pattern`, every pixel's grey value goes to the pattern's sums (the pixels keep their colours);
// with colour false only that is done.
class SignatureRows
{
public:
    SignatureRows(int width, int height, bool colour, Pattern::PatternSums *pattern);
    // False when a side is too large for a 16-bit size (or the picture is empty): add() then
    // does nothing and there are no signatures.
    bool fits() const { return m_fits; }
    // Row j (1 = bottom): width() pixels 0xXXRRGGBB.
    void add(const std::uint32_t *row, int j);
    std::optional<ColourValues> colour() const;

private:
    int m_width = 0;
    int m_height = 0;
    bool m_fits = false;
    bool m_colour = false;
    Pattern::PatternSums *m_pattern = nullptr;
    std::array<PixelSpan::ChannelSums, 4> m_quadrants; // LB, RB, LT, RT
};
