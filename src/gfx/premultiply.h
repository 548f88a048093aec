#pragma once
// Premultiplying straight-alpha pixels, as the texture conversion does it:
// each colour channel becomes c·a/255 rounded to nearest. Pixels are 32-bit
// words whose little-endian bytes are blue, green, red, alpha.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

using Pixel = std::uint32_t;

// With t = c·a + 128, (t + t / 256) / 256 is round(c·a / 255) for all 8-bit
// c and a. Red and blue are done together, 16 bits apart, where their
// products cannot overlap.
inline Pixel premultiply(Pixel p)
{
    const std::uint32_t a = p >> 24;
    std::uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t g = ((p >> 8) & 0xFFu) * a + 0x80u;
    g = ((g + (g >> 8)) >> 8) & 0xFFu;
    return rb | g << 8 | (p & 0xFF000000u);
}

#if defined(__SSE2__)
// Channels in 16-bit lanes times alphas in the matching lanes, rounded as
// above: (t + t / 256) / 256 is the high half of t · 257.
inline __m128i premultiplyLanes(__m128i channels, __m128i alphas)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(channels, alphas), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Four pixels at once. The alpha lane is multiplied by 255, which the
// rounding turns back into alpha.
inline __m128i premultiplyFour(__m128i pixels)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaLane = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i low = _mm_unpacklo_epi8(pixels, zero), high = _mm_unpackhi_epi8(pixels, zero);
    const auto alphas = [&](__m128i channels) {
        return _mm_or_si128(_mm_shufflehi_epi16(_mm_shufflelo_epi16(channels, 0xFF), 0xFF), alphaLane);
    };
    return _mm_packus_epi16(premultiplyLanes(low, alphas(low)), premultiplyLanes(high, alphas(high)));
}
#endif

} // namespace gfx
