#pragma once
// An art item: one entry of a widget's `Presentation.Art` list, a child
// control of its widget that draws one thing (a texture, a text, a
// rectangle, a line, a Flash placeholder) or, as this base kind, nothing.
//
// Geometry: position and size are fractions of the owning widget's size;
// the transform towards the widget scales by the widget's width and height,
// so the default art item (0, 0, 1, 1) covers its widget exactly.
//
// The state gate: texture, text, rectangle and line art draw only while the
// state flag numbered by the widget's art state is set (flag 1 normally,
// flag 2 while the pointer is over the widget); an item without `states`
// never draws. Flash placeholders draw regardless.
//
// Drawing resources (brushes, layouts, bitmaps) are made on the first paint
// and kept; a repaint makes none.

#include "screen/keywords.h"
#include "screen/model_values.h"
#include "ui/control.h"

#include <array>
#include <optional>
#include <string>

struct lua_State;

namespace gfx {
class InkMeter;
}

namespace screen {

class ScreenView;
class Widget;

class ArtItem : public ui::Control {
public:
    // How many state flags `states` can set.
    static constexpr int StateFlagCount = 8;

    // Releases the table reference, in a protected call.
    ~ArtItem() override;

    ArtKind kind() const { return kind_; }
    // "TextureArt", "TextArt", "RectangleArt", "LineArt", "FlashArt" or "ArtItem".
    const char* kindName() const;
    // The raw `type` value (numbers as their text); absent when not given.
    const std::optional<std::string>& typeName() const { return typeName_; }
    // `ID`, rounded to the nearest integer (ties to even); out-of-range
    // values saturate, non-numbers give 0.
    int id() const { return id_; }
    const std::array<bool, StateFlagCount>& stateFlags() const { return stateFlags_; }
    Bounds bounds() const;
    const StyleReference& style() const { return style_; }
    // The owning widget, or null for an item not (or no longer) in one.
    Widget* widget() const;
    // The art table in the registry of lua(): the screen's state, or the
    // state of the style sheet that supplied the widget's `Presentation`.
    int tableRef() const { return tableRef_; }
    // The line of the screen file where the art table was created (the line
    // of its `{`); nothing for an item not made from a table of the screen's
    // chunk, such as one of a style sheet's art.
    std::optional<int> line() const;
    lua_State* lua() const { return lua_; }
    ScreenView& screen() const { return *screen_; }

    // Scales by the owning widget's size and offsets by the item's position
    // in those units.
    const gfx::Matrix& transform() const override;

    // The owning widget's text changed.
    virtual void textChanged();

    // The device pixels the item draws on meter's transform (the one it is
    // painted with), as it draws in whichever state it shows.
    gfx::Rect ink(gfx::InkMeter& meter);

protected:
    ArtItem(ScreenView& screen, lua_State* lua, ArtKind kind);

    // Whether the state flag of the owning widget's art state is set.
    bool passesStateGate() const;

private:
    friend class WidgetFactory;

    ScreenView* screen_;
    lua_State* lua_;
    int tableRef_ = -2;
    const void* table_ = nullptr; // the table it was built from (kept alive by tableRef_)
    ArtKind kind_;
    int id_ = 0;
    std::array<bool, StateFlagCount> stateFlags_{};
    std::optional<std::string> typeName_;
    StyleReference style_;
    mutable gfx::Matrix itemTransform_;
    bool anyState_ = false; // measuring: the state gate lets it draw
    mutable ui::ContainerControl* ownerOf_ = nullptr; // the parent that owner_ was found for
    mutable Widget* owner_ = nullptr;
};

} // namespace screen
