#include "gfx/block_decoding.h"

#include "base/byte_reader.h"

#include "gfx/premultiply.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <type_traits>

#if defined(__x86_64__)
#include <tmmintrin.h>
#define TISE_HAS_SSSE3_DECODER 1
#define TISE_SSSE3 __attribute__((target("ssse3")))
#endif

namespace gfx {

namespace {

constexpr Pixel OpaqueAlpha = 0xFF000000u;

std::uint64_t read48(const std::uint8_t* p) { return base::readLe32(p) | std::uint64_t(base::readLe16(p + 4)) << 32; }

std::uint64_t read64(const std::uint8_t* p) { return base::readLe32(p) | std::uint64_t(base::readLe32(p + 4)) << 32; }

// round(n / d) for non-negative n, halves up.
constexpr std::uint32_t roundedQuotient(std::uint32_t n, std::uint32_t d) { return (2 * n + d) / (2 * d); }

// table[s] = round(255 · s / divisor) for every s up to Limit. Indexed by a
// weighted sum of raw endpoint values, this gives endpoints (divisor m),
// thirds (3m) and halves (2m) straight from the stored bits.
template <std::uint32_t Limit>
constexpr std::array<std::uint8_t, Limit + 1> scaleTable(std::uint32_t divisor)
{
    std::array<std::uint8_t, Limit + 1> table{};
    for (std::uint32_t s = 0; s <= Limit; ++s)
        table[s] = static_cast<std::uint8_t>(roundedQuotient(255 * s, divisor));
    return table;
}

constexpr auto Endpoint5 = scaleTable<31>(31);
constexpr auto Endpoint6 = scaleTable<63>(63);
constexpr auto Third5 = scaleTable<3 * 31>(3 * 31);
constexpr auto Third6 = scaleTable<3 * 63>(3 * 63);
constexpr auto Half5 = scaleTable<2 * 31>(2 * 31);
constexpr auto Half6 = scaleTable<2 * 63>(2 * 63);

using Palette = std::array<Pixel, 4>;

Pixel bgra(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return b | g << 8 | r << 16; }

// The four colours of a colour block, alpha bits clear. The three-colour mode
// puts the half-way colour at index 2 and leaves index 3 zero.
[[gnu::always_inline]] inline Palette colourPalette(std::uint16_t c0, std::uint16_t c1, bool threeColours)
{
    const std::uint32_t r0 = c0 >> 11, g0 = (c0 >> 5) & 63, b0 = c0 & 31;
    const std::uint32_t r1 = c1 >> 11, g1 = (c1 >> 5) & 63, b1 = c1 & 31;
    Palette palette;
    palette[0] = bgra(Endpoint5[r0], Endpoint6[g0], Endpoint5[b0]);
    palette[1] = bgra(Endpoint5[r1], Endpoint6[g1], Endpoint5[b1]);
    if (threeColours) {
        palette[2] = bgra(Half5[r0 + r1], Half6[g0 + g1], Half5[b0 + b1]);
        palette[3] = 0;
    } else {
        palette[2] = bgra(Third5[2 * r0 + r1], Third6[2 * g0 + g1], Third5[2 * b0 + b1]);
        palette[3] = bgra(Third5[r0 + 2 * r1], Third6[g0 + 2 * g1], Third5[b0 + 2 * b1]);
    }
    return palette;
}

// A BC1 block's colours: alpha opaque, or transparent black at index 3 of
// the three-colour mode.
[[gnu::always_inline]] inline Palette bc1Palette(const std::uint8_t* in)
{
    const std::uint16_t c0 = base::readLe16(in), c1 = base::readLe16(in + 2);
    const bool threeColours = c0 <= c1;
    Palette palette = colourPalette(c0, c1, threeColours);
    for (Pixel& p : palette)
        p |= OpaqueAlpha;
    if (threeColours)
        palette[3] = 0;
    return palette;
}

// The eight alphas of a BC3 block.
std::array<std::uint32_t, 8> bc3Alphas(const std::uint8_t* in)
{
    const std::uint32_t a0 = in[0], a1 = in[1];
    std::array<std::uint32_t, 8> alpha{a0, a1};
    if (a0 > a1) {
        for (std::uint32_t i = 2; i < 8; ++i)
            alpha[i] = roundedQuotient((8 - i) * a0 + (i - 1) * a1, 7);
    } else {
        for (std::uint32_t i = 2; i < 6; ++i)
            alpha[i] = roundedQuotient((6 - i) * a0 + (i - 1) * a1, 5);
        alpha[6] = 0;
        alpha[7] = 255;
    }
    return alpha;
}

// Each format's block, unpacked for lookups: block[p] is pixel p (row by row)
// as stored, not premultiplied.
struct Bc1 {
    static constexpr std::size_t BlockBytes = 8;
    // BC1 colours are opaque or transparent black: premultiplying changes nothing.
    static constexpr bool NeedsPremultiplying = false;

    Palette palette;
    std::uint32_t indices;

    explicit Bc1(const std::uint8_t* in) : palette(bc1Palette(in)), indices(base::readLe32(in + 4)) {}
    Pixel operator[](unsigned p) const { return palette[(indices >> (2 * p)) & 3]; }
};

struct Bc2 {
    static constexpr std::size_t BlockBytes = 16;
    static constexpr bool NeedsPremultiplying = true;

    Palette palette;
    std::uint64_t alphas;
    std::uint32_t indices;

    explicit Bc2(const std::uint8_t* in)
        : palette(colourPalette(base::readLe16(in + 8), base::readLe16(in + 10), false)), alphas(read64(in)), indices(base::readLe32(in + 12))
    {
    }
    Pixel operator[](unsigned p) const
    {
        return palette[(indices >> (2 * p)) & 3] | static_cast<Pixel>(((alphas >> (4 * p)) & 15) * 17) << 24;
    }
};

struct Bc3 {
    static constexpr std::size_t BlockBytes = 16;
    static constexpr bool NeedsPremultiplying = true;

    Palette palette;
    std::array<std::uint32_t, 8> alpha;
    std::uint64_t alphaIndices;
    std::uint32_t indices;

    explicit Bc3(const std::uint8_t* in)
        : palette(colourPalette(base::readLe16(in + 8), base::readLe16(in + 10), false)), alpha(bc3Alphas(in)),
          alphaIndices(read48(in + 2)), indices(base::readLe32(in + 12))
    {
    }
    Pixel operator[](unsigned p) const
    {
        return palette[(indices >> (2 * p)) & 3] | alpha[(alphaIndices >> (3 * p)) & 7] << 24;
    }
};

// Where the rows of a block row go: source row y is bitmap row height − 1 − y.
struct TargetRows {
    std::uint8_t* rows[4];
    std::uint32_t count; // 4, or fewer at the bottom edge

    TargetRows(Bitmap& bitmap, std::uint32_t blockRow)
    {
        const std::uint32_t y0 = blockRow * 4;
        count = std::min<std::uint32_t>(4, static_cast<std::uint32_t>(bitmap.height) - y0);
        for (std::uint32_t j = 0; j < count; ++j)
            rows[j] = bitmap.row(bitmap.height - 1 - static_cast<int>(y0 + j));
    }
};

// Pixel by pixel, for any block, including those cut by the right or bottom edge.
template <class Format, bool Premultiply>
void storeBlock(const Format& block, const TargetRows& target, std::uint32_t x, std::uint32_t columns)
{
    for (std::uint32_t j = 0; j < target.count; ++j) {
        for (std::uint32_t i = 0; i < columns; ++i) {
            const Pixel p = Premultiply ? premultiply(block[4 * j + i]) : block[4 * j + i];
            std::memcpy(target.rows[j] + 4 * (x + i), &p, 4);
        }
    }
}

// The blocks of a block row from bx on, cut to the bitmap's width.
template <class Format, bool Premultiply>
void storeEdgeBlocks(const std::uint8_t* in, std::uint32_t bx, std::uint32_t width, const TargetRows& target)
{
    for (; bx * 4 < width; ++bx, in += Format::BlockBytes)
        storeBlock<Format, Premultiply>(Format(in), target, bx * 4, std::min<std::uint32_t>(4, width - bx * 4));
}

template <bool Premultiply>
void storeFour(std::uint8_t* out, Pixel p0, Pixel p1, Pixel p2, Pixel p3)
{
#if defined(__SSE2__)
    // Built in a register: going through memory would stall on store forwarding.
    __m128i pixels = _mm_set_epi32(static_cast<int>(p3), static_cast<int>(p2), static_cast<int>(p1),
                                   static_cast<int>(p0));
    if constexpr (Premultiply)
        pixels = premultiplyFour(pixels);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
#else
    const Pixel pixels[4] = {p0, p1, p2, p3};
    for (int i = 0; i < 4; ++i) {
        const Pixel p = Premultiply ? premultiply(pixels[i]) : pixels[i];
        std::memcpy(out + 4 * i, &p, 4);
    }
#endif
}

template <class Format, bool Premultiply>
void decodePortable(Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch)
{
    const auto width = static_cast<std::uint32_t>(bitmap.width);
    const auto blockRows = (static_cast<std::uint32_t>(bitmap.height) + 3) / 4;
    for (std::uint32_t by = 0; by < blockRows; ++by) {
        const std::uint8_t* in = data + by * pitch;
        const TargetRows target(bitmap, by);
        std::uint32_t bx = 0;
        if (target.count == 4) {
            for (; bx < width / 4; ++bx, in += Format::BlockBytes) {
                const Format block(in);
                for (unsigned j = 0; j < 4; ++j)
                    storeFour<Premultiply>(target.rows[j] + bx * 16, block[4 * j], block[4 * j + 1],
                                           block[4 * j + 2], block[4 * j + 3]);
            }
        }
        storeEdgeBlocks<Format, Premultiply>(in, bx, width, target);
    }
}

#if TISE_HAS_SSSE3_DECODER

// Everything below is inlined into the decoding loop, so that a block's
// registers never go through memory.
#define TISE_SSSE3_INLINE __attribute__((target("ssse3"), always_inline)) inline

// pshufb masks. A byte of 0x80 selects zero.
struct alignas(16) ShuffleMask {
    std::uint8_t bytes[16];
};

// For the byte of four 2-bit colour indices of a block row: the four 32-bit
// palette entries those indices choose.
constexpr std::array<ShuffleMask, 256> colourShuffles()
{
    std::array<ShuffleMask, 256> masks{};
    for (unsigned row = 0; row < 256; ++row) {
        for (unsigned i = 0; i < 4; ++i) {
            for (unsigned k = 0; k < 4; ++k)
                masks[row].bytes[4 * i + k] = static_cast<std::uint8_t>(4 * ((row >> (2 * i)) & 3) + k);
        }
    }
    return masks;
}

constexpr auto ColourShuffles = colourShuffles();

// The 16-bit windows of a BC3 block's 48 index bits (bytes 2 to 7) that hold
// the 3-bit indices of pixels 8·half to 8·half + 7: pixel p's bits start at
// bit 3p, so its window is the two bytes from 2 + 3p / 8.
constexpr ShuffleMask alphaIndexWindows(unsigned half)
{
    ShuffleMask mask{};
    for (unsigned lane = 0; lane < 8; ++lane) {
        const unsigned p = 8 * half + lane;
        mask.bytes[2 * lane] = static_cast<std::uint8_t>(2 + 3 * p / 8);
        mask.bytes[2 * lane + 1] = static_cast<std::uint8_t>(3 + 3 * p / 8);
    }
    return mask;
}

// Pixel p's 3-bit index starts at bit 3p % 8 of its window; multiplying by
// 2^(13 − that) moves it to the top three bits of the 16-bit lane.
struct alignas(16) LaneConstants {
    std::uint16_t lanes[8];
};
constexpr LaneConstants alphaIndexLifts(unsigned half)
{
    LaneConstants lifts{};
    for (unsigned lane = 0; lane < 8; ++lane)
        lifts.lanes[lane] = static_cast<std::uint16_t>(1u << (13 - 3 * (8 * half + lane) % 8));
    return lifts;
}

// For row j of a block: where its four alphas (bytes 4j to 4j + 3 of the
// sixteen) go, as alpha bytes (AlphaBytes) or in all four 16-bit lanes of
// pixels 0 and 1 (LowAlphaLanes) or 2 and 3 (HighAlphaLanes).
enum class AlphaSpread { AlphaBytes, LowAlphaLanes, HighAlphaLanes };
constexpr ShuffleMask alphaSpread(AlphaSpread spread, unsigned row)
{
    ShuffleMask mask{};
    for (unsigned b = 0; b < 16; ++b) {
        const unsigned pixel = b / 4;
        switch (spread) {
        case AlphaSpread::AlphaBytes: mask.bytes[b] = b % 4 == 3 ? static_cast<std::uint8_t>(4 * row + pixel) : 0x80; break;
        case AlphaSpread::LowAlphaLanes:
        case AlphaSpread::HighAlphaLanes: {
            const unsigned first = spread == AlphaSpread::LowAlphaLanes ? 0 : 2;
            mask.bytes[b] = b % 2 == 0 ? static_cast<std::uint8_t>(4 * row + first + b / 8) : 0x80;
            break;
        }
        }
    }
    return mask;
}

template <AlphaSpread Spread>
constexpr std::array<ShuffleMask, 4> AlphaSpreads{alphaSpread(Spread, 0), alphaSpread(Spread, 1),
                                                  alphaSpread(Spread, 2), alphaSpread(Spread, 3)};

constexpr ShuffleMask AlphaIndexWindows[2]{alphaIndexWindows(0), alphaIndexWindows(1)};
constexpr LaneConstants AlphaIndexLifts[2]{alphaIndexLifts(0), alphaIndexLifts(1)};

TISE_SSSE3_INLINE __m128i load(const void* bytes) { return _mm_load_si128(static_cast<const __m128i*>(bytes)); }

TISE_SSSE3_INLINE __m128i lanes(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, std::uint16_t e,
                                std::uint16_t f, std::uint16_t g, std::uint16_t h)
{
    return _mm_setr_epi16(static_cast<short>(a), static_cast<short>(b), static_cast<short>(c), static_cast<short>(d),
                          static_cast<short>(e), static_cast<short>(f), static_cast<short>(g), static_cast<short>(h));
}

// The four colours of the colour block whose endpoints are the 16-bit words
// `first` and first + 1 of block, as colourPalette() gives them (alpha bytes
// clear). In 16-bit lanes (blue, green, red, alpha of two colours), each
// channel is n / d rounded down for n = k·s + m: s is the weighted sum of the
// endpoints' raw values (3·x0 for an endpoint, 2·x0 + x1 for a third, x0 + x1
// for a half), m the channel's maximum (31 or 63), k 340 or 170 (510 or 255 for
// halves) and d 124 or 126. The division is the high half of n times a
// rounded-up reciprocal, shifted by 6: exact for every n up to 32193, the
// largest here.
TISE_SSSE3_INLINE __m128i paletteRegister(__m128i block, unsigned first, bool threeColours)
{
    const auto w = static_cast<char>(2 * first);
    // c0 in lanes 0-3, c1 in lanes 4-7.
    const __m128i endpoints = _mm_shuffle_epi8(block, _mm_setr_epi8(w, w + 1, w, w + 1, w, w + 1, w, w + 1, w + 2, w + 3,
                                                                    w + 2, w + 3, w + 2, w + 3, w + 2, w + 3));
    // Blue (bits 0-4), green (5-10) and red (11-15) to the bottom of their lanes.
    const __m128i raw = _mm_mulhi_epu16(_mm_mullo_epi16(endpoints, lanes(2048, 32, 1, 0, 2048, 32, 1, 0)),
                                        lanes(32, 64, 32, 0, 32, 64, 32, 0));
    const __m128i first0 = _mm_unpacklo_epi64(raw, raw), first1 = _mm_unpackhi_epi64(raw, raw);
    const __m128i reciprocal = lanes(33826, 33289, 33826, 0, 33826, 33289, 33826, 0);
    const __m128i maxima = lanes(62, 63, 62, 0, 62, 63, 62, 0);
    const __m128i n01 = _mm_add_epi16(_mm_mullo_epi16(raw, lanes(1020, 510, 1020, 0, 1020, 510, 1020, 0)), maxima);
    __m128i n23;
    if (threeColours) {
        const __m128i halves = lanes(510, 255, 510, 0, 0, 0, 0, 0);
        n23 = _mm_add_epi16(_mm_mullo_epi16(_mm_add_epi16(first0, first1), halves), lanes(62, 63, 62, 0, 0, 0, 0, 0));
    } else {
        n23 = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(first0, lanes(680, 340, 680, 0, 340, 170, 340, 0)),
                                          _mm_mullo_epi16(first1, lanes(340, 170, 340, 0, 680, 340, 680, 0))),
                            maxima);
    }
    const __m128i c01 = _mm_srli_epi16(_mm_mulhi_epu16(n01, reciprocal), 6);
    const __m128i c23 = _mm_srli_epi16(_mm_mulhi_epu16(n23, reciprocal), 6);
    return _mm_packus_epi16(c01, c23);
}

// The eight alphas of a BC3 block as bytes 0-7, computed as bc3Alphas does:
// weighted sums n in 16-bit lanes, then round(n / d) = (2n + d) / 2d by
// multiplying with ceil(65536 / 2d) and keeping the high half, which is exact
// for every sum that 8-bit endpoints can give.
TISE_SSSE3_INLINE __m128i bc3AlphaRegister(const std::uint8_t* in)
{
    const __m128i a0 = _mm_set1_epi16(in[0]), a1 = _mm_set1_epi16(in[1]);
    const __m128i eight = _mm_add_epi16(_mm_mullo_epi16(a0, _mm_setr_epi16(7, 0, 6, 5, 4, 3, 2, 1)),
                                        _mm_mullo_epi16(a1, _mm_setr_epi16(0, 7, 1, 2, 3, 4, 5, 6)));
    const __m128i six = _mm_add_epi16(_mm_mullo_epi16(a0, _mm_setr_epi16(5, 0, 4, 3, 2, 1, 0, 0)),
                                      _mm_mullo_epi16(a1, _mm_setr_epi16(0, 5, 1, 2, 3, 4, 0, 0)));
    const __m128i byEight = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(eight, eight), _mm_set1_epi16(7)),
                                            _mm_set1_epi16(4682)); // ceil(65536 / 14)
    __m128i bySix = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(six, six), _mm_set1_epi16(5)),
                                    _mm_set1_epi16(6554)); // ceil(65536 / 10)
    bySix = _mm_or_si128(_mm_and_si128(bySix, _mm_setr_epi16(-1, -1, -1, -1, -1, -1, 0, 0)),
                         _mm_setr_epi16(0, 0, 0, 0, 0, 0, 0, 255));
    const __m128i eightValues = _mm_set1_epi16(static_cast<short>(in[0] > in[1] ? -1 : 0));
    const __m128i alphas = _mm_or_si128(_mm_and_si128(eightValues, byEight), _mm_andnot_si128(eightValues, bySix));
    return _mm_packus_epi16(alphas, alphas);
}

// The sixteen alphas of a BC3 block, pixel by pixel: its 3-bit indices cut
// out in 16-bit lanes (see AlphaIndexWindows and AlphaIndexLifts), then
// looked up among the eight alphas.
TISE_SSSE3_INLINE __m128i bc3Alphas16(__m128i block, const std::uint8_t* in)
{
    const __m128i low = _mm_srli_epi16(
        _mm_mullo_epi16(_mm_shuffle_epi8(block, load(AlphaIndexWindows[0].bytes)), load(AlphaIndexLifts[0].lanes)), 13);
    const __m128i high = _mm_srli_epi16(
        _mm_mullo_epi16(_mm_shuffle_epi8(block, load(AlphaIndexWindows[1].bytes)), load(AlphaIndexLifts[1].lanes)), 13);
    return _mm_shuffle_epi8(bc3AlphaRegister(in), _mm_packus_epi16(low, high));
}

// The sixteen alphas of a BC2 block, pixel by pixel: each 4-bit value n is n·17.
TISE_SSSE3_INLINE __m128i bc2Alphas16(__m128i block)
{
    const __m128i times17 = _mm_setr_epi8(0, 17, 34, 51, 68, 85, 102, 119, -120, -103, -86, -69, -52, -35, -18, -1);
    const __m128i lowNibbles = _mm_set1_epi8(0x0F);
    const __m128i nibbles = _mm_unpacklo_epi8(_mm_and_si128(block, lowNibbles),
                                              _mm_and_si128(_mm_srli_epi16(block, 4), lowNibbles));
    return _mm_shuffle_epi8(times17, nibbles);
}

// The four pixels of block row j, chosen from a palette register.
TISE_SSSE3_INLINE __m128i colourRow(__m128i palette, const std::uint8_t* indices, unsigned j)
{
    return _mm_shuffle_epi8(palette, load(ColourShuffles[indices[j]].bytes));
}

// Each format's block as a palette and, for formats with alpha, sixteen
// alphas in pixel order.
struct Bc1Block {
    using Format = Bc1;
    static constexpr bool HasAlphas = false;
    static constexpr std::size_t ColourOffset = 0;
    __m128i palette;

    TISE_SSSE3_INLINE explicit Bc1Block(const std::uint8_t* in)
    {
        const __m128i block = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
        const bool threeColours = base::readLe16(in) <= base::readLe16(in + 2);
        // Opaque, but transparent black at index 3 of the three-colour mode.
        const __m128i alphas = threeColours ? _mm_setr_epi32(-16777216, -16777216, -16777216, 0)
                                            : _mm_set1_epi32(-16777216);
        palette = _mm_or_si128(paletteRegister(block, 0, threeColours), alphas);
    }
};

template <class F>
struct AlphaBlock {
    using Format = F;
    static constexpr bool HasAlphas = true;
    static constexpr std::size_t ColourOffset = 8;
    __m128i palette;
    __m128i alphas;

    TISE_SSSE3_INLINE explicit AlphaBlock(const std::uint8_t* in)
    {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        palette = paletteRegister(block, 4, false);
        if constexpr (std::is_same_v<F, Bc3>)
            alphas = bc3Alphas16(block, in);
        else
            alphas = bc2Alphas16(block);
    }
};

using Bc2Block = AlphaBlock<Bc2>;
using Bc3Block = AlphaBlock<Bc3>;

// Row j of a block with alphas, premultiplied as premultiply() rounds. The
// palette's alpha bytes are 255, so its alpha lanes come out as the alpha.
TISE_SSSE3_INLINE __m128i premultipliedRow(__m128i opaquePalette, __m128i alphas, const std::uint8_t* indices, unsigned j)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colours = colourRow(opaquePalette, indices, j);
    const __m128i low = premultiplyLanes(_mm_unpacklo_epi8(colours, zero),
                                         _mm_shuffle_epi8(alphas, load(AlphaSpreads<AlphaSpread::LowAlphaLanes>[j].bytes)));
    const __m128i high = premultiplyLanes(_mm_unpackhi_epi8(colours, zero),
                                          _mm_shuffle_epi8(alphas, load(AlphaSpreads<AlphaSpread::HighAlphaLanes>[j].bytes)));
    return _mm_packus_epi16(low, high);
}

template <class Block, bool Premultiply>
TISE_SSSE3 void decodeSsse3(Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch)
{
    using Format = typename Block::Format;
    const __m128i opaque = _mm_set1_epi32(-16777216);
    const auto width = static_cast<std::uint32_t>(bitmap.width);
    const auto blockRows = (static_cast<std::uint32_t>(bitmap.height) + 3) / 4;
    for (std::uint32_t by = 0; by < blockRows; ++by) {
        const std::uint8_t* in = data + by * pitch;
        const TargetRows target(bitmap, by);
        std::uint32_t bx = 0;
        if (target.count == 4) {
            for (; bx < width / 4; ++bx, in += Format::BlockBytes) {
                const Block block(in);
                const std::uint8_t* indices = in + Block::ColourOffset + 4;
                for (unsigned j = 0; j < 4; ++j) {
                    __m128i row;
                    if constexpr (!Block::HasAlphas)
                        row = colourRow(block.palette, indices, j);
                    else if constexpr (Premultiply)
                        row = premultipliedRow(_mm_or_si128(block.palette, opaque), block.alphas, indices, j);
                    else
                        row = _mm_or_si128(colourRow(block.palette, indices, j),
                                           _mm_shuffle_epi8(block.alphas,
                                                            load(AlphaSpreads<AlphaSpread::AlphaBytes>[j].bytes)));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(target.rows[j] + bx * 16), row);
                }
            }
        }
        storeEdgeBlocks<Format, Premultiply>(in, bx, width, target);
    }
}

#endif

template <class Format, class Rows>
void decode(BlockDecoder decoder, Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch, bool premultiply)
{
    premultiply = premultiply && Format::NeedsPremultiplying;
#if TISE_HAS_SSSE3_DECODER
    if (decoder == BlockDecoder::Ssse3) {
        if (premultiply)
            decodeSsse3<Rows, true>(bitmap, data, pitch);
        else
            decodeSsse3<Rows, false>(bitmap, data, pitch);
        return;
    }
#else
    (void)decoder;
#endif
    if (premultiply)
        decodePortable<Format, true>(bitmap, data, pitch);
    else
        decodePortable<Format, false>(bitmap, data, pitch);
}

} // namespace

bool available(BlockDecoder decoder)
{
    if (decoder == BlockDecoder::Portable)
        return true;
#if TISE_HAS_SSSE3_DECODER
    static const bool ssse3 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return ssse3;
#else
    return false;
#endif
}

BlockDecoder fastestBlockDecoder()
{
    return available(BlockDecoder::Ssse3) ? BlockDecoder::Ssse3 : BlockDecoder::Portable;
}

void decodeBlocks(BlockDecoder decoder, Bitmap& bitmap, TextureFormat format, const std::uint8_t* data,
                  std::size_t pitch, bool premultiply)
{
    if (!available(decoder))
        throw std::logic_error("block decoder not available");
#if TISE_HAS_SSSE3_DECODER
    using Bc1Ssse3 = Bc1Block;
    using Bc2Ssse3 = Bc2Block;
    using Bc3Ssse3 = Bc3Block;
#else
    using Bc1Ssse3 = void;
    using Bc2Ssse3 = void;
    using Bc3Ssse3 = void;
#endif
    switch (format) {
    case TextureFormat::BC1: decode<Bc1, Bc1Ssse3>(decoder, bitmap, data, pitch, premultiply); return;
    case TextureFormat::BC2: decode<Bc2, Bc2Ssse3>(decoder, bitmap, data, pitch, premultiply); return;
    case TextureFormat::BC3: decode<Bc3, Bc3Ssse3>(decoder, bitmap, data, pitch, premultiply); return;
    default: throw std::logic_error("not a block format");
    }
}

} // namespace gfx
