#include "gfx/font_name_table.h"

#include "gfx/sfnt_reader.h"

#include <algorithm>

namespace gfx {

namespace {

using sfnt::Bytes;
using sfnt::tag;

// Bound on what a hostile file can make us collect.
constexpr std::size_t maxNamesPerKind = 256;

std::u16string utf16BigEndian(std::string_view raw)
{
    std::u16string text;
    text.reserve(raw.size() / 2);
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
        text.push_back(static_cast<char16_t>((static_cast<unsigned char>(raw[i]) << 8) |
                                             static_cast<unsigned char>(raw[i + 1])));
    return text;
}

// Mac Roman, used only when a font has no Unicode names: ASCII is kept, the
// rest becomes the replacement character.
std::u16string macRoman(std::string_view raw)
{
    std::u16string text;
    for (char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(b < 0x80 ? static_cast<char16_t>(b) : u'\uFFFD');
    }
    return text;
}

std::u16string lowerAscii(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

void addName(std::vector<LocalizedName>& names, std::u16string locale, std::u16string text)
{
    if (text.empty() || locale.empty() || names.size() >= maxNamesPerKind)
        return;
    for (const LocalizedName& existing : names)
        if (existing.locale == locale)
            return;
    names.push_back({std::move(locale), std::move(text)});
}

struct NameSet {
    std::vector<LocalizedName> unicode[4]; // name IDs 1, 2, 16, 17 from Unicode platforms
    std::vector<LocalizedName> mac[4];     // the same from Mac Roman English records
};

int slotOf(std::uint16_t nameId)
{
    switch (nameId) {
    case 1: return 0;
    case 2: return 1;
    case 16: return 2;
    case 17: return 3;
    default: return -1;
    }
}

NameSet readNames(std::string_view tableBytes)
{
    NameSet names;
    const sfnt::NameTable table = sfnt::readNameTable(tableBytes);
    for (const sfnt::NameRecord& record : table.records) {
        const int slot = slotOf(record.nameId);
        if (slot < 0)
            continue;
        if (record.platform == 3 && (record.encoding == 0 || record.encoding == 1 || record.encoding == 10)) {
            std::u16string locale;
            if (record.language >= 0x8000) {
                const std::size_t index = record.language - 0x8000u;
                if (index >= table.languageTags.size())
                    continue;
                locale = lowerAscii(utf16BigEndian(table.languageTags[index]));
            } else {
                locale = localeForLanguageId(record.language);
            }
            addName(names.unicode[slot], std::move(locale), utf16BigEndian(record.text));
        } else if (record.platform == 0) {
            addName(names.unicode[slot], u"en-us", utf16BigEndian(record.text));
        } else if (record.platform == 1 && record.encoding == 0 && record.language == 0) {
            addName(names.mac[slot], u"en-us", macRoman(record.text));
        }
    }
    return names;
}

std::vector<LocalizedName> pick(NameSet& names, int preferred, int legacy)
{
    if (!names.unicode[preferred].empty())
        return std::move(names.unicode[preferred]);
    if (!names.unicode[legacy].empty())
        return std::move(names.unicode[legacy]);
    if (!names.mac[preferred].empty())
        return std::move(names.mac[preferred]);
    return std::move(names.mac[legacy]);
}

void readStyle(std::string_view tableBytes, FontFace& font)
{
    const Bytes os2(tableBytes);
    if (const auto weight = os2.u16(4)) {
        int value = *weight;
        if (value >= 1 && value <= 9) // some old fonts give the weight in hundreds
            value *= 100;
        if (value >= 1)
            font.weight = static_cast<FontWeight>(std::min(value, 999));
    }
    if (const auto width = os2.u16(6); width && *width >= 1 && *width <= 9)
        font.stretch = static_cast<FontStretch>(*width);
    if (const auto selection = os2.u16(62)) {
        if (*selection & 0x0001)
            font.style = FontStyle::Italic;
        else if (*selection & 0x0200)
            font.style = FontStyle::Oblique;
    }
}

} // namespace

std::vector<FontFace> readFontFaces(std::string_view data)
{
    const Bytes bytes(data);
    std::vector<FontFace> fonts;
    const std::vector<std::uint64_t> offsets = sfnt::fontOffsets(bytes);
    for (std::size_t index = 0; index < offsets.size(); ++index) {
        const auto name = sfnt::findTable(bytes, offsets[index], tag("name"));
        if (!name)
            continue;
        NameSet names = readNames(bytes.slice(name->offset, name->length));
        FontFace font;
        font.fontIndex = static_cast<std::uint32_t>(index);
        font.familyNames = pick(names, 2, 0);
        font.faceNames = pick(names, 3, 1);
        if (font.familyNames.empty())
            continue;
        if (const auto os2 = sfnt::findTable(bytes, offsets[index], tag("OS/2")))
            readStyle(bytes.slice(os2->offset, os2->length), font);
        fonts.push_back(std::move(font));
    }
    return fonts;
}

std::u16string localeForLanguageId(unsigned languageId)
{
    struct Entry {
        unsigned id;
        const char16_t* locale;
    };
    static constexpr Entry table[] = {
        {0x0401, u"ar-sa"}, {0x0402, u"bg-bg"}, {0x0403, u"ca-es"}, {0x0404, u"zh-tw"},
        {0x0405, u"cs-cz"}, {0x0406, u"da-dk"}, {0x0407, u"de-de"}, {0x0408, u"el-gr"},
        {0x0409, u"en-us"}, {0x040B, u"fi-fi"}, {0x040C, u"fr-fr"}, {0x040D, u"he-il"},
        {0x040E, u"hu-hu"}, {0x040F, u"is-is"}, {0x0410, u"it-it"}, {0x0411, u"ja-jp"},
        {0x0412, u"ko-kr"}, {0x0413, u"nl-nl"}, {0x0414, u"nb-no"}, {0x0415, u"pl-pl"},
        {0x0416, u"pt-br"}, {0x0418, u"ro-ro"}, {0x0419, u"ru-ru"}, {0x041A, u"hr-hr"},
        {0x041B, u"sk-sk"}, {0x041D, u"sv-se"}, {0x041E, u"th-th"}, {0x041F, u"tr-tr"},
        {0x0422, u"uk-ua"}, {0x0424, u"sl-si"}, {0x0425, u"et-ee"}, {0x0426, u"lv-lv"},
        {0x0427, u"lt-lt"}, {0x042A, u"vi-vn"}, {0x0804, u"zh-cn"}, {0x0807, u"de-ch"},
        {0x0809, u"en-gb"}, {0x080A, u"es-mx"}, {0x080C, u"fr-be"}, {0x0810, u"it-ch"},
        {0x0813, u"nl-be"}, {0x0816, u"pt-pt"}, {0x0C04, u"zh-hk"}, {0x0C07, u"de-at"},
        {0x0C09, u"en-au"}, {0x0C0A, u"es-es"}, {0x0C0C, u"fr-ca"}, {0x1004, u"zh-sg"},
        {0x1009, u"en-ca"}, {0x100C, u"fr-ch"}, {0x1404, u"zh-mo"},
    };
    for (const Entry& entry : table)
        if (entry.id == languageId)
            return entry.locale;
    static constexpr char16_t hex[] = u"0123456789abcdef";
    std::u16string locale = u"lcid-";
    for (int shift = 12; shift >= 0; shift -= 4)
        locale.push_back(hex[(languageId >> shift) & 0xF]);
    return locale;
}

} // namespace gfx
