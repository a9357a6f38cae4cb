// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "patternsig.h"

// The one loop over a run of pixels that the signatures share: it adds up the colour channels
// and works out the grey values for the pattern's cell sums, writing them back into the pixels
// only where the pixels are to be turned grey. SSE2, part of every x86-64 processor, takes eight
// pixels at a time; the rest go one by one with the same integer steps, so both ways give the
// same values.
namespace PixelSpan {

struct ChannelSums
{
    std::uint64_t r = 0, g = 0, b = 0;
};

// Adds the channels of n pixels to `sums` when Colour is set; when Grey is set writes the grey
// values into grey[0..n - 1], and with Write also replaces each pixel by its grey value.
template <bool Colour, bool Grey, bool Write, typename Pixel>
inline void run(Pixel *px, int n, ChannelSums &sums, std::uint16_t *grey)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i vr = zero, vg = zero, vb = zero;
    for (; i + 8 <= n; i += 8) {
        const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(px + i));
        const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(px + i + 4));
        if constexpr (Colour) {
            // Each half of a sum of absolute differences against zero adds up eight bytes: here
            // the one channel byte of two pixels.
            auto add = [&](__m128i &acc, int mask) {
                const __m128i m = _mm_set1_epi32(mask);
                acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_and_si128(p0, m), zero));
                acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_and_si128(p1, m), zero));
            };
            add(vr, 0xFF0000);
            add(vg, 0xFF00);
            add(vb, 0xFF);
        }
        if constexpr (Grey) {
            // 16-bit lanes: blue and red of each pixel; the eight greens.
            const __m128i byteMask = _mm_set1_epi32(0x00FF00FF);
            const __m128i br0 = _mm_and_si128(p0, byteMask);
            const __m128i br1 = _mm_and_si128(p1, byteMask);
            const __m128i greens =
                _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 8), _mm_set1_epi32(0xFF)),
                                _mm_and_si128(_mm_srli_epi32(p1, 8), _mm_set1_epi32(0xFF)));
            // Tw[c] = (w c + 128) * 257 / 65536: w c + 128 stays below 65536.
            const __m128i k128 = _mm_set1_epi16(128);
            const __m128i k257 = _mm_set1_epi16(257);
            auto weigh = [&](__m128i c, __m128i w) {
                return _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(c, w), k128), k257);
            };
            const __m128i blueRed = _mm_set1_epi32(0x004C001C); // 28 for blue, 76 for red
            const __m128i one = _mm_set1_epi16(1);
            const __m128i tbr0 = _mm_madd_epi16(weigh(br0, blueRed), one);
            const __m128i tbr1 = _mm_madd_epi16(weigh(br1, blueRed), one);
            const __m128i g =
                _mm_add_epi16(_mm_packs_epi32(tbr0, tbr1), weigh(greens, _mm_set1_epi16(150)));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(grey + i), g);
            if constexpr (Write) {
                auto store = [&](__m128i g32, int at) {
                    const __m128i out = _mm_or_si128(
                        _mm_or_si128(g32, _mm_slli_epi32(g32, 8)),
                        _mm_or_si128(_mm_slli_epi32(g32, 16), _mm_set1_epi32(int(0xFF000000u))));
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(px + at), out);
                };
                store(_mm_unpacklo_epi16(g, zero), i);
                store(_mm_unpackhi_epi16(g, zero), i + 4);
            }
        }
    }
    if constexpr (Colour) {
        auto total = [](__m128i v) {
            return std::uint64_t(_mm_cvtsi128_si64(v)) +
                   std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
        };
        sums.r += total(vr);
        sums.g += total(vg);
        sums.b += total(vb);
    }
#endif
    std::uint32_t r = 0, g = 0, b = 0;
    for (; i < n; ++i) {
        const std::uint32_t p = px[i];
        const std::uint32_t pr = (p >> 16) & 0xFF;
        const std::uint32_t pg = (p >> 8) & 0xFF;
        const std::uint32_t pb = p & 0xFF;
        if constexpr (Colour) {
            r += pr;
            g += pg;
            b += pb;
        }
        if constexpr (Grey) {
            const std::uint32_t y = Pattern::greyOf(pr, pg, pb);
            if constexpr (Write)
                px[i] = Pattern::greyPixel(y);
            grey[i] = std::uint16_t(y);
        }
    }
    if constexpr (Colour) {
        sums.r += r;
        sums.g += g;
        sums.b += b;
    }
}

} // namespace PixelSpan
