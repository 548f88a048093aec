#pragma once
// What a widget of a loaded screen was built from and what each of its
// values resolved to, gathered in one place for readers that explain a
// screen: the widget tree panel's tooltips and `tise-cli tree --resolved`.
//
// A report is a snapshot: it copies names and values, and resolving a
// texture or a font goes through the view's caches exactly as drawing does
// (a texture not drawn yet is decoded now, and kept). Game strings keep their
// bytes; readers decode them as they show them. Reporting never fails for
// bad data; only a failure to draw a texture placeholder
// (Kestra::COMException) leaves it.

#include "assets/texture_cache.h"
#include "data/file_origin.h"
#include "gfx/geometry.h"
#include "screen/model_values.h"

#include <optional>
#include <string>
#include <vector>

namespace screen {

class ArtItem;
class ScreenView;
class Widget;

// A colour property under its Lua name ("colour", "textColourTop", ...).
struct NamedColour {
    const char* property;
    ColourValue value;
};

struct ArtReport {
    const ArtItem* item = nullptr;
    const char* kind = "ArtItem";     // ArtItem::kindName
    std::optional<std::string> type; // the raw `type`
    std::vector<int> states;          // the numbers of the flags set, ascending
    Bounds bounds;                    // in fractions of the widget's size
    std::optional<int> line;          // of the table that built it (ArtItem::line)

    // Texture art with a texture name (an empty name draws nothing and is
    // not resolved).
    std::optional<std::string> texture;
    assets::TextureCache::Status textureStatus = assets::TextureCache::Status::Ok;
    // Missing: "no file A, B or C" (the names tried); invalid: the file and
    // the decoder's message; empty when the texture resolved.
    std::string textureReason;
    // The source that served the texture's file (data/file_origin.h); none
    // when no file was found.
    std::optional<Mod::FileOrigin> textureOrigin;

    // Text art: the font name, the typeface its description resolved to
    // (the system's "Microsoft Sans Serif" when it fell back) and the size in
    // DIPs that text of this item has in a view of the reference width.
    std::optional<std::string> fontname;
    std::u16string typeface;
    float fontSize = 0.0f;
    bool fontFallback = false;
    std::optional<int> horzAlign; // gfx::TextAlignment as a number
    std::optional<int> vertAlign; // gfx::ParagraphAlignment as a number

    std::vector<NamedColour> colours; // in the order the tree JSON lists them
};

struct WidgetReport {
    const Widget* widget = nullptr;
    const char* kind = "PlainWidget"; // Widget::kindName
    std::optional<std::string> type;
    std::string name;
    std::optional<int> line; // of the table that built it (Widget::line)
    Bounds bounds;          // in the parent's units
    gfx::Rect pixelBounds;  // left, top, right, bottom in the view's DIPs at its current size
    StyleReference style;
    bool visible = true;
    std::optional<std::string> text;
    std::optional<std::u16string> localisedText; // with text: the string tables' text, or the text itself
    std::string tooltipText;
    std::optional<std::string> tooltipWidget; // the name of the widget `tooltip_name` found
    std::vector<ArtReport> art;               // in Lua order (element 1 first)
};

// The report of widget, font sizes taken at the view's reference width.
WidgetReport reportWidget(const Widget& widget);

// "no file A, B or C": the files tried for a texture name that none has.
std::string missingTextureReason(const std::string& textureName);

// The source that serves the view's screen file; none when no source has it
// (any more).
std::optional<Mod::FileOrigin> screenOrigin(const ScreenView& view);

} // namespace screen
