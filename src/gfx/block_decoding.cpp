#include "gfx/block_decoding.h"

#include "base/byte_reader.h"

#include "gfx/premultiply.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

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

// For six bits of 3-bit alpha indices: the alpha bytes of two pixels (the
// first two of a row, or the last two), chosen from eight alphas in bytes 0-7.
// The other pixel pair's alpha bytes are 0xFF and everything else 0x80, so
// that the two masks of a row combine with AND.
constexpr std::array<ShuffleMask, 64> alphaShuffles(unsigned pair)
{
    std::array<ShuffleMask, 64> masks{};
    for (unsigned bits = 0; bits < 64; ++bits) {
        for (unsigned b = 0; b < 16; ++b)
            masks[bits].bytes[b] = b % 4 == 3 ? 0xFF : 0x80;
        masks[bits].bytes[8 * pair + 3] = static_cast<std::uint8_t>(bits & 7);
        masks[bits].bytes[8 * pair + 7] = static_cast<std::uint8_t>(bits >> 3);
    }
    return masks;
}

constexpr auto ColourShuffles = colourShuffles();
constexpr auto FirstAlphaShuffles = alphaShuffles(0);
constexpr auto LastAlphaShuffles = alphaShuffles(1);

TISE_SSSE3 __m128i load(const ShuffleMask& mask) { return _mm_load_si128(reinterpret_cast<const __m128i*>(mask.bytes)); }

// Two 64-bit halves rather than four stores and a load, which would stall
// on store forwarding.
TISE_SSSE3 __m128i paletteRegister(const Palette& palette)
{
    return _mm_set_epi64x(static_cast<long long>(palette[2] | std::uint64_t{palette[3]} << 32),
                          static_cast<long long>(palette[0] | std::uint64_t{palette[1]} << 32));
}

// The eight alphas of a BC3 block as bytes 0-7, computed as bc3Alphas does:
// weighted sums n in 16-bit lanes, then round(n / d) = (2n + d) / 2d by
// multiplying with ceil(65536 / 2d) and keeping the high half, which is exact
// for every sum that 8-bit endpoints can give.
TISE_SSSE3 __m128i bc3AlphaRegister(const std::uint8_t* in)
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

// The four pixels of block row j, chosen from a palette register.
TISE_SSSE3 __m128i colourRow(__m128i palette, std::uint32_t indices, unsigned j)
{
    return _mm_shuffle_epi8(palette, load(ColourShuffles[(indices >> (8 * j)) & 0xFF]));
}

// A block's rows as colours with alpha bytes clear, and alphas with only
// the alpha bytes set (BC1: alphas zero, colours complete).
struct Bc1Rows {
    using Format = Bc1;
    TISE_SSSE3 static void rows(const std::uint8_t* in, __m128i colours[4], __m128i alphas[4])
    {
        const __m128i palette = paletteRegister(bc1Palette(in));
        const std::uint32_t indices = base::readLe32(in + 4);
        for (unsigned j = 0; j < 4; ++j) {
            colours[j] = colourRow(palette, indices, j);
            alphas[j] = _mm_setzero_si128();
        }
    }
};

struct Bc2Rows {
    using Format = Bc2;
    TISE_SSSE3 static void rows(const std::uint8_t* in, __m128i colours[4], __m128i alphas[4])
    {
        // The sixteen alphas n·17, and where a row's four nibbles go.
        const __m128i times17 = _mm_setr_epi8(0, 17, 34, 51, 68, 85, 102, 119, -120, -103, -86, -69, -52, -35, -18, -1);
        const __m128i toAlphaBytes = _mm_setr_epi8(-128, -128, -128, 0, -128, -128, -128, 1, -128, -128, -128, 2,
                                                   -128, -128, -128, 3);
        const __m128i lowNibbles = _mm_set1_epi8(0x0F);
        const __m128i palette = paletteRegister(colourPalette(base::readLe16(in + 8), base::readLe16(in + 10), false));
        const std::uint32_t indices = base::readLe32(in + 12);
        for (unsigned j = 0; j < 4; ++j) {
            const __m128i packed = _mm_cvtsi32_si128(base::readLe16(in + 2 * j));
            const __m128i nibbles = _mm_unpacklo_epi8(_mm_and_si128(packed, lowNibbles),
                                                      _mm_and_si128(_mm_srli_epi16(packed, 4), lowNibbles));
            colours[j] = colourRow(palette, indices, j);
            alphas[j] = _mm_shuffle_epi8(times17, _mm_shuffle_epi8(nibbles, toAlphaBytes));
        }
    }
};

struct Bc3Rows {
    using Format = Bc3;
    TISE_SSSE3 static void rows(const std::uint8_t* in, __m128i colours[4], __m128i alphas[4])
    {
        const __m128i alphaValues = bc3AlphaRegister(in);
        const __m128i palette = paletteRegister(colourPalette(base::readLe16(in + 8), base::readLe16(in + 10), false));
        const std::uint64_t alphaIndices = read48(in + 2);
        const std::uint32_t indices = base::readLe32(in + 12);
        for (unsigned j = 0; j < 4; ++j) {
            const auto bits = static_cast<unsigned>(alphaIndices >> (12 * j));
            const __m128i mask = _mm_and_si128(load(FirstAlphaShuffles[bits & 63]), load(LastAlphaShuffles[(bits >> 6) & 63]));
            colours[j] = colourRow(palette, indices, j);
            alphas[j] = _mm_shuffle_epi8(alphaValues, mask);
        }
    }
};

// Colours (alpha bytes clear) times alphas (only alpha bytes set), rounded
// as premultiply() does, with the alphas put back.
TISE_SSSE3 __m128i premultiplySplit(__m128i colours, __m128i alphas)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowAlphas = _mm_setr_epi8(3, -128, 3, -128, 3, -128, -128, -128, 7, -128, 7, -128, 7, -128, -128, -128);
    const __m128i highAlphas = _mm_setr_epi8(11, -128, 11, -128, 11, -128, -128, -128, 15, -128, 15, -128, 15, -128,
                                             -128, -128);
    const __m128i low = premultiplyLanes(_mm_unpacklo_epi8(colours, zero), _mm_shuffle_epi8(alphas, lowAlphas));
    const __m128i high = premultiplyLanes(_mm_unpackhi_epi8(colours, zero), _mm_shuffle_epi8(alphas, highAlphas));
    return _mm_or_si128(_mm_packus_epi16(low, high), alphas);
}

template <class Rows, bool Premultiply>
TISE_SSSE3 void decodeSsse3(Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch)
{
    using Format = typename Rows::Format;
    const auto width = static_cast<std::uint32_t>(bitmap.width);
    const auto blockRows = (static_cast<std::uint32_t>(bitmap.height) + 3) / 4;
    for (std::uint32_t by = 0; by < blockRows; ++by) {
        const std::uint8_t* in = data + by * pitch;
        const TargetRows target(bitmap, by);
        std::uint32_t bx = 0;
        if (target.count == 4) {
            for (; bx < width / 4; ++bx, in += Format::BlockBytes) {
                __m128i colours[4], alphas[4];
                Rows::rows(in, colours, alphas);
                for (unsigned j = 0; j < 4; ++j) {
                    const __m128i row = Premultiply ? premultiplySplit(colours[j], alphas[j])
                                                    : _mm_or_si128(colours[j], alphas[j]);
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
    using Bc1Ssse3 = Bc1Rows;
    using Bc2Ssse3 = Bc2Rows;
    using Bc3Ssse3 = Bc3Rows;
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
