// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VEXA_PIXELSPAN_AVX2 1
#endif

#include "patternsig.h"

// The one loop over a run of pixels that the signatures share: it adds up the colour channels
// and works out the grey values for the pattern's cell sums, writing them back into the pixels
// only where the pixels are to be turned grey. AVX2, where the processor has it, takes sixteen
// pixels at a time, SSE2 (part of every x86-64 processor) eight; the rest go one by one with
// the same integer steps, so every way gives the same values.
namespace PixelSpan {

struct ChannelSums
{
    std::uint64_t r = 0, g = 0, b = 0;
};

namespace detail {

template <bool Colour, bool Grey, bool Write, typename Pixel>
inline void runSse2(Pixel *px, int n, ChannelSums &sums, std::uint16_t *grey)
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

#ifdef VEXA_PIXELSPAN_AVX2
#define VEXA_AVX2 __attribute__((target("avx2")))

VEXA_AVX2 inline __m256i sumBytes(__m256i acc, __m256i p0, __m256i p1, int mask)
{
    const __m256i m = _mm256_set1_epi32(mask);
    const __m256i zero = _mm256_setzero_si256();
    acc = _mm256_add_epi64(acc, _mm256_sad_epu8(_mm256_and_si256(p0, m), zero));
    return _mm256_add_epi64(acc, _mm256_sad_epu8(_mm256_and_si256(p1, m), zero));
}

VEXA_AVX2 inline std::uint64_t total(__m256i v)
{
    const __m128i s = _mm_add_epi64(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    return std::uint64_t(_mm_cvtsi128_si64(s)) +
           std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s)));
}

// Tw[c] for 16-bit lanes, as in the SSE2 loop.
VEXA_AVX2 inline __m256i weigh(__m256i c, __m256i w)
{
    return _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(c, w), _mm256_set1_epi16(128)),
                              _mm256_set1_epi16(257));
}

VEXA_AVX2 inline __m256i greyPixels(__m256i g32)
{
    return _mm256_or_si256(
        _mm256_or_si256(g32, _mm256_slli_epi32(g32, 8)),
        _mm256_or_si256(_mm256_slli_epi32(g32, 16), _mm256_set1_epi32(int(0xFF000000u))));
}

template <bool Colour, bool Grey, bool Write, typename Pixel>
VEXA_AVX2 void runAvx2(Pixel *px, int n, ChannelSums &sums, std::uint16_t *grey)
{
    int i = 0;
    const __m256i zero = _mm256_setzero_si256();
    __m256i vr = zero, vg = zero, vb = zero;
    for (; i + 16 <= n; i += 16) {
        const __m256i p0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(px + i));
        const __m256i p1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(px + i + 8));
        if constexpr (Colour) {
            vr = sumBytes(vr, p0, p1, 0xFF0000);
            vg = sumBytes(vg, p0, p1, 0xFF00);
            vb = sumBytes(vb, p0, p1, 0xFF);
        }
        if constexpr (Grey) {
            // Packing works within each half of the register: the lanes come out as pixels
            // 0-3 and 8-11, then 4-7 and 12-15, the same order for every packed value.
            const __m256i byteMask = _mm256_set1_epi32(0x00FF00FF);
            const __m256i low = _mm256_set1_epi32(0xFF);
            const __m256i greens =
                _mm256_packs_epi32(_mm256_and_si256(_mm256_srli_epi32(p0, 8), low),
                                   _mm256_and_si256(_mm256_srli_epi32(p1, 8), low));
            const __m256i blueRed = _mm256_set1_epi32(0x004C001C); // 28 for blue, 76 for red
            const __m256i one = _mm256_set1_epi16(1);
            const __m256i tbr0 =
                _mm256_madd_epi16(weigh(_mm256_and_si256(p0, byteMask), blueRed), one);
            const __m256i tbr1 =
                _mm256_madd_epi16(weigh(_mm256_and_si256(p1, byteMask), blueRed), one);
            const __m256i g = _mm256_add_epi16(_mm256_packs_epi32(tbr0, tbr1),
                                               weigh(greens, _mm256_set1_epi16(150)));
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(grey + i),
                                _mm256_permute4x64_epi64(g, 0xD8));
            if constexpr (Write) {
                _mm256_storeu_si256(reinterpret_cast<__m256i *>(px + i),
                                    greyPixels(_mm256_unpacklo_epi16(g, zero)));
                _mm256_storeu_si256(reinterpret_cast<__m256i *>(px + i + 8),
                                    greyPixels(_mm256_unpackhi_epi16(g, zero)));
            }
        }
    }
    if constexpr (Colour) {
        sums.r += total(vr);
        sums.g += total(vg);
        sums.b += total(vb);
    }
    runSse2<Colour, Grey, Write>(px + i, n - i, sums, Grey ? grey + i : grey);
}

#undef VEXA_AVX2

inline bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace detail

// Adds the channels of n pixels to `sums` when Colour is set; when Grey is set writes the grey
// values into grey[0..n - 1], and with Write also replaces each pixel by its grey value.
template <bool Colour, bool Grey, bool Write, typename Pixel>
inline void run(Pixel *px, int n, ChannelSums &sums, std::uint16_t *grey)
{
#ifdef VEXA_PIXELSPAN_AVX2
    if (n >= 16 && detail::hasAvx2()) {
        detail::runAvx2<Colour, Grey, Write>(px, n, sums, grey);
        return;
    }
#endif
    detail::runSse2<Colour, Grey, Write>(px, n, sums, grey);
}

} // namespace PixelSpan
