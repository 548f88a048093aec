#include "data/ansi_text.h"

#include <cstdint>

namespace Mod {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the other bytes map to the same code point.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf16(std::u16string& out, std::uint32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

// Decodes strict UTF-8 into out; false at the first invalid sequence.
bool decodeUtf8(std::string_view text, std::u16string& out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t codePoint;
        std::size_t extra;
        if (lead < 0x80) {
            codePoint = lead;
            extra = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            codePoint = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            codePoint = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            codePoint = lead & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        static constexpr std::uint32_t Smallest[4] = {0, 0x80, 0x800, 0x10000};
        if (codePoint < Smallest[extra] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        appendUtf16(out, codePoint);
        i += extra + 1;
    }
    return true;
}

} // namespace

std::u16string ansiToUtf16(std::string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    if (decodeUtf8(text, result))
        return result;
    result.clear();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        result.push_back(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
    }
    return result;
}

bool isUtf8(std::string_view text)
{
    std::u16string decoded;
    return decodeUtf8(text, decoded);
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD; // a lone surrogate
        }
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            out.push_back(static_cast<char>(0xC0 | codePoint >> 6));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | codePoint >> 12));
            out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | codePoint >> 18));
            out.push_back(static_cast<char>(0x80 | (codePoint >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return out;
}

} // namespace Mod
