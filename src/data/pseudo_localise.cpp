#include "data/pseudo_localise.h"

#include <array>

namespace Mod {

namespace {

// A to Z and a to z; a letter without a precomposed accented form in
// Latin-1 or Latin Extended-A stays.
constexpr std::array<char16_t, 26> Upper = {
    u'\u00C5', u'B', u'\u00C7', u'\u010E', u'\u00C9', u'F', u'\u011C', u'\u0124', u'\u00CE',
    u'\u0134', u'\u0136', u'\u0139', u'M', u'\u00D1', u'\u00D6', u'P', u'Q', u'\u0154',
    u'\u0160', u'\u0162', u'\u00DC', u'V', u'\u0174', u'X', u'\u00DD', u'\u017D'};
constexpr std::array<char16_t, 26> Lower = {
    u'\u00E1', u'b', u'\u00E7', u'\u010F', u'\u00E9', u'f', u'\u011D', u'\u0125', u'\u00EE',
    u'\u0135', u'\u0137', u'\u013A', u'm', u'\u00F1', u'\u00F6', u'p', u'q', u'\u0155',
    u'\u0161', u'\u0163', u'\u00FC', u'v', u'\u0175', u'x', u'\u00FD', u'\u017E'};

bool isPlaceholderChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

char16_t accented(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return Upper[static_cast<std::size_t>(c - u'A')];
    if (c >= u'a' && c <= u'z')
        return Lower[static_cast<std::size_t>(c - u'a')];
    return c;
}

} // namespace

std::u16string pseudoLocalise(std::u16string_view text)
{
    if (text.empty())
        return {};
    const std::size_t padding = (text.size() * 2 + 4) / 5; // ceil(40 %)
    std::u16string result;
    result.reserve(text.size() + padding + 2);
    result += u'[';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            result += text.substr(i, 2);
            ++i;
        } else if (c == u'%') {
            std::size_t end = i + 1;
            while (end < text.size() && isPlaceholderChar(text[end]))
                ++end;
            result += text.substr(i, end - i);
            i = end - 1;
        } else {
            result += accented(c);
        }
    }
    for (std::size_t k = 0; k < padding; ++k)
        result += k % 6 == 5 && k + 1 < padding ? u' ' : u'~';
    result += u']';
    return result;
}

} // namespace Mod
