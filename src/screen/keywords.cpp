#include "screen/keywords.h"

#include "screen/lua_hash.h"

#include <cstdint>
#include <span>

namespace screen {

namespace {

struct Keyword {
    std::size_t length;
    std::uint32_t hash;
    int value;
};

// What a string of that length and hash stands for, if anything.
std::optional<int> match(std::span<const Keyword> keywords, std::string_view text)
{
    const std::uint32_t hash = luaHash(text);
    for (const Keyword& k : keywords)
        if (k.length == text.size() && k.hash == hash)
            return k.value;
    return std::nullopt;
}

constexpr Keyword WidgetTypes[] = {
    {5, 301056964u, static_cast<int>(WidgetKind::Shape)},   // Group
    {6, 1565890988u, static_cast<int>(WidgetKind::Plain)},  // Button
    {6, 2142491162u, static_cast<int>(WidgetKind::Custom)}, // Custom
};

constexpr Keyword GameWidgetTypes[] = {
    {5, 301056964u, 0},    // Group
    {9, 1075490970u, 1},   // TextLabel
    {11, 3411837466u, 2},  // CheckButton
    {8, 2851096142u, 3},   // ComboBox
    {11, 1436872294u, 4},  // ProgressBar
    {8, 1944721126u, 5},   // EditText
    {6, 1565890988u, 6},   // Button
    {6, 2142491162u, 7},   // Custom
    {11, 3600013691u, 8},  // RadioButton
    {11, 2514548251u, 9},  // TextListBox
    {13, 3082028516u, 10}, // known by length and hash only
    {8, 3663160424u, 11},  // known by length and hash only
    {3, 205275u, 12},      // Swf
};

constexpr Keyword ArtTypes[] = {
    {7, 1408413413u, static_cast<int>(ArtKind::Texture)},   // Graphic
    {4, 7903477u, static_cast<int>(ArtKind::Text)},         // Text
    {9, 3769334599u, static_cast<int>(ArtKind::Rectangle)}, // Rectangle
    {4, 7864041u, static_cast<int>(ArtKind::Line)},         // Line
    {3, 205275u, static_cast<int>(ArtKind::Flash)},         // Swf
};

constexpr Keyword States[] = {
    {8, 1065089186u, 0},  // Disabled
    {6, 1659526928u, 1},  // Normal
    {5, 305255248u, 2},   // Hover
    {6, 1263637891u, 3},  // Active
    {15, 3315179915u, 4}, // CheckedDisabled
    {7, 3688526818u, 5},  // Checked
    {12, 1892777196u, 6}, // CheckedHover
    {13, 3922995643u, 7}, // CheckedActive
};

constexpr Keyword HorizontalAlignments[] = {
    {5, 316292869u, static_cast<int>(gfx::TextAlignment::Trailing)}, // Right
    {6, 1266386506u, static_cast<int>(gfx::TextAlignment::Center)},  // Centre
};

constexpr Keyword VerticalAlignments[] = {
    {3, 236184u, static_cast<int>(gfx::ParagraphAlignment::Near)},    // Top
    {6, 2142481171u, static_cast<int>(gfx::ParagraphAlignment::Far)}, // Bottom
};

constexpr Keyword RectangleTypes[] = {
    {6, 2011155910u, 1}, // Border
};

} // namespace

std::optional<int> gameWidgetTypeOf(std::string_view type) { return match(GameWidgetTypes, type); }

std::optional<WidgetKind> widgetKindOf(std::string_view type)
{
    if (const auto value = match(WidgetTypes, type))
        return static_cast<WidgetKind>(*value);
    return std::nullopt;
}

std::optional<ArtKind> artKindOf(std::string_view type)
{
    if (const auto value = match(ArtTypes, type))
        return static_cast<ArtKind>(*value);
    return std::nullopt;
}

std::optional<int> stateFlagOf(std::string_view entry) { return match(States, entry); }

std::optional<gfx::TextAlignment> horzAlignOf(std::string_view word)
{
    if (const auto value = match(HorizontalAlignments, word))
        return static_cast<gfx::TextAlignment>(*value);
    return std::nullopt;
}

std::optional<gfx::ParagraphAlignment> vertAlignOf(std::string_view word)
{
    if (const auto value = match(VerticalAlignments, word))
        return static_cast<gfx::ParagraphAlignment>(*value);
    return std::nullopt;
}

bool isBorderKeyword(std::string_view word) { return match(RectangleTypes, word).has_value(); }

const std::vector<std::string_view>& widgetTypeWords()
{
    static const std::vector<std::string_view> words{"Group",    "TextLabel", "CheckButton", "ComboBox",
                                                     "ProgressBar", "EditText", "Button",     "Custom",
                                                     "RadioButton", "TextListBox", "Swf"};
    return words;
}

const std::vector<std::string_view>& artTypeWords()
{
    static const std::vector<std::string_view> words{"Graphic", "Text", "Rectangle", "Line", "Swf"};
    return words;
}

const std::vector<std::string_view>& stateWords()
{
    static const std::vector<std::string_view> words{"Disabled", "Normal",       "Hover",         "Active",
                                                     "CheckedDisabled", "Checked", "CheckedHover", "CheckedActive"};
    return words;
}

const std::vector<std::string_view>& horzAlignWords()
{
    static const std::vector<std::string_view> words{"Right", "Centre"};
    return words;
}

const std::vector<std::string_view>& vertAlignWords()
{
    static const std::vector<std::string_view> words{"Top", "Bottom"};
    return words;
}

} // namespace screen
