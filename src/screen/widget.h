#pragma once
// A widget of a loaded screen: a node of the control tree built from one
// widget table of the screen file (widget_factory.h), with its child widgets
// and its art items as child controls. Properties are read once, at build
// time; the widget tree panel may change `visible`, and hovering a widget
// changes the text of its tooltip widget, both written back into the widget's
// Lua table.
//
// Geometry: a widget's position and size are in its parent's units (the view
// spans the unit square); its transform is a translation, so its children use
// the same units. Its children and art items are in build order, which is the
// reverse of their Lua lists (element n first): front to back.
//
// Painting: a widget that is neither visible nor shown for the current
// selection draws nothing, not even its children; otherwise it draws its art
// items (Lua order, bottom to top), then its child widgets.
//
// Text: names, texts and type names keep the bytes the screen gave (any
// bytes); what is shown is decoded with Mod::ansiToUtf16 or, for `text`,
// Mod::LocaliseText.

#include "screen/keywords.h"
#include "screen/model_values.h"
#include "ui/container_control.h"
#include "ui/damage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct lua_State;

namespace screen {

class ArtItem;
class ScreenView;

class Widget : public ui::ContainerControl {
public:
    // Removes its name from the registry (when it still names this widget)
    // and releases its table reference, in protected calls.
    ~Widget() override;

    WidgetKind kind() const { return kind_; }
    // "PlainWidget", "ShapeWidget" or "CustomWidget".
    const char* kindName() const;
    // The raw `type` value (numbers as their text); absent when not given.
    const std::optional<std::string>& typeName() const { return typeName_; }
    // `name`; "Untitled" when not given.
    const std::string& name() const { return name_; }
    // `text`; absent when not given.
    const std::optional<std::string>& text() const { return text_; }
    // `tooltip_text`; empty when not given.
    const std::string& tooltipText() const { return tooltipText_; }
    bool visible() const { return visible_; }
    // Set on the emphasized widget, its direct children and its ancestors.
    bool shownForSelection() const { return shownForSelection_; }
    // The widget `tooltip_name` named, or null.
    Widget* tooltipWidget() const { return tooltipWidget_; }
    Bounds bounds() const;
    const StyleReference& style() const { return style_; }
    const std::vector<ArtItem*>& artItems() const { return artItems_; }
    const std::vector<Widget*>& children() const { return children_; }
    // The widget's table in the registry of lua(); negative for a widget
    // made from a value that is not a table.
    int tableRef() const { return tableRef_; }
    // The line of the screen file where the widget's table was created
    // (the line of its `{`); nothing for a widget not made from a table of
    // the screen's chunk.
    std::optional<int> line() const;
    lua_State* lua() const { return lua_; }
    ScreenView& screen() const { return *screen_; }

    // Sets `visible` and stores it in the widget's table.
    void setVisible(bool visible);
    // A different text is stored in the widget's table (widgets without a
    // table keep theirs) and every art item is told (text art drops its
    // layout).
    void setText(std::string text);

    // 2 while the pointer is over the widget or a descendant, else 1: the
    // state flag that the widget's art items need set to draw.
    int artState() const;
    // The pointer came or went: repaints the art that shows in one of the
    // two states alone (and a custom widget's box).
    void hoverChanged() override;

    // Nothing for a widget neither visible nor shown for selection;
    // otherwise the child found at the point, or the widget itself.
    ui::Control* hitTarget(float x, float y) override;
    // Miss for a widget neither visible nor shown for selection; otherwise
    // the container rule (hit only where a child is).
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

protected:
    Widget(ScreenView& screen, lua_State* lua, WidgetKind kind);

    bool shown() const { return visible_ || shownForSelection_; }
    // Where on the last paint's target the art items that pass the filter
    // draw (in whichever state they show), added to ink; false before the
    // view's first paint.
    bool addArtInk(ui::Damage& ink, bool (*filter)(const ArtItem&)) const;
    // Repaints what changed there; this widget and its ancestors now reach
    // it.
    void damage(const ui::Damage& ink);
    // Whether painting may leave the widget out: what it drew last lies
    // outside the target's clip and nothing changed it since, the pointer
    // is not over it, and no widget is lifted out of the dimming.
    bool outsideClip(const gfx::RenderTarget& target) const;
    // When hovered itself: becomes the source of the view's current tooltip.
    void handOverTooltip();
    // Around the emphasized widget's own drawing: the view's dimming layer
    // is popped before and pushed again after.
    void leaveEmphasis(gfx::RenderTarget& target);
    void reenterEmphasis(gfx::RenderTarget& target);

private:
    friend class WidgetFactory;
    friend class ScreenView;

    ScreenView* screen_;
    lua_State* lua_;
    int tableRef_ = -2;
    const void* table_ = nullptr; // the table it was built from (kept alive by tableRef_)
    bool nameRegistered_ = false;
    WidgetKind kind_;
    Widget* tooltipWidget_ = nullptr;
    std::optional<std::string> typeName_;
    std::string name_ = "Untitled";
    std::optional<std::string> text_;
    std::string tooltipText_;
    bool visible_ = true;
    bool shownForSelection_ = false;
    StyleReference style_;
    std::vector<ArtItem*> artItems_;
    std::vector<Widget*> children_;
    // Where the widget and all it holds drew in the last paint that did not
    // leave it out, grown by what changed since; stands while drawnStamp_
    // is the view's.
    gfx::Rect drawn_;
    std::uint64_t drawnStamp_ = 0;
};

// "Button" and every widget table of another or no type: a target wherever a
// child is hit.
class PlainWidget final : public Widget {
public:
    PlainWidget(ScreenView& screen, lua_State* lua) : Widget(screen, lua, WidgetKind::Plain) {}
};

// "Group": a target only where one of its art items is solidly hit.
class ShapeWidget final : public Widget {
public:
    ShapeWidget(ScreenView& screen, lua_State* lua) : Widget(screen, lua, WidgetKind::Shape) {}

    // A child widget found at the point; else the group itself where one of
    // its art items reports Hit; else nothing.
    ui::Control* hitTarget(float x, float y) override;
};

} // namespace screen
