#pragma once
// The words of screen and style files that choose widget kinds, art kinds,
// state flags, text alignments and the border rectangle. A string is taken for
// a keyword when its length and its Lua hash (lua_hash.h) both equal the
// keyword's; the characters themselves are not compared, so another string
// that shares both is read as that keyword, as the game reads it.

#include "gfx/text_format.h"

#include <optional>
#include <string_view>
#include <vector>

namespace screen {

enum class WidgetKind : int {
    Plain,  // "Button", and every other or missing type
    Shape,  // "Group"
    Custom, // "Custom"
};

enum class ArtKind : int {
    Base,      // every other or missing type: draws nothing, never hit
    Texture,   // "Graphic"
    Text,      // "Text"
    Rectangle, // "Rectangle"
    Line,      // "Line"
    Flash,     // "Swf"
};

// The kind a `type` value names; nothing for a type that is no keyword
// (such widgets are plain, such art items the base kind).
std::optional<WidgetKind> widgetKindOf(std::string_view type);
std::optional<ArtKind> artKindOf(std::string_view type);

// The place of a widget `type` in the game's list of widget types: "Group" 0,
// "TextLabel" 1, "CheckButton" 2, "ComboBox" 3, "ProgressBar" 4, "EditText"
// 5, "Button" 6, "Custom" 7, "RadioButton" 8, "TextListBox" 9, two types
// known only by length and hash 10 and 11, "Swf" 12; nothing for a type the
// game does not know. Most of them draw as plain widgets here.
std::optional<int> gameWidgetTypeOf(std::string_view type);

// The number of the state flag a `states` entry sets: "Disabled" 0, "Normal" 1,
// "Hover" 2, "Active" 3, "CheckedDisabled" 4, "Checked" 5, "CheckedHover" 6,
// "CheckedActive" 7; nothing for other entries.
std::optional<int> stateFlagOf(std::string_view entry);

// `horzAlign`: "Right" trailing, "Centre" centred; nothing for other words.
std::optional<gfx::TextAlignment> horzAlignOf(std::string_view word);
// `vertAlign`: "Top" near, "Bottom" far; nothing for other words.
std::optional<gfx::ParagraphAlignment> vertAlignOf(std::string_view word);
// `rectangleType` "Border": an outline instead of a filled rectangle.
bool isBorderKeyword(std::string_view word);

// The words themselves, for hints about words that match none: the game's
// widget types (those known by their texts), the art types, the states,
// and the keywords of `horzAlign` and `vertAlign`.
const std::vector<std::string_view>& widgetTypeWords();
const std::vector<std::string_view>& artTypeWords();
const std::vector<std::string_view>& stateWords();
const std::vector<std::string_view>& horzAlignWords();
const std::vector<std::string_view>& vertAlignWords();

} // namespace screen
