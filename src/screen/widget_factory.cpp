#include "screen/widget_factory.h"

#include "assets/screen_assets.h"
#include "screen/custom_widget.h"
#include "screen/flash_art.h"
#include "screen/line_art.h"
#include "screen/property_reader.h"
#include "screen/rectangle_art.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"

#include <lua.hpp>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace screen {

namespace {

// `ID`: the nearest integer, ties to even (the default rounding mode).
int roundedId(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<int>(rounded);
}

// Pushes table[key], whatever it is.
void pushField(const TableRef& table, const char* key)
{
    reserveStack(table.lua, 3);
    pushTable(table);
    lua_pushstring(table.lua, key);
    lua_rawget(table.lua, -2);
    lua_remove(table.lua, -2);
}

// The style table named by the table's `style` = {sheet, name}, as a
// reference in the sheet's state; none when not named or not found.
TableRef lookupStyle(assets::StyleSheets& sheets, const TableRef& own, StyleReference& record, TextAllowance& allowance)
{
    lua_State* L = own.lua;
    pushField(own, "style");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return {};
    }
    lua_rawgeti(L, -1, 1);
    record.sheet = textAt(L, -1, allowance);
    lua_pop(L, 1);
    lua_rawgeti(L, -1, 2);
    record.name = textAt(L, -1, allowance);
    lua_pop(L, 2);
    if (!record.sheet || !record.name)
        return {};
    lua_State* sheet = sheets.find(record.sheet->c_str(), record.name->c_str());
    if (!sheet)
        return {};
    record.found = true;
    return takeReference(sheet);
}

std::array<bool, ArtItem::StateFlagCount> readStates(const TableRef& own, TextAllowance& allowance)
{
    std::array<bool, ArtItem::StateFlagCount> flags{};
    lua_State* L = own.lua;
    pushField(own, "states");
    if (lua_istable(L, -1)) {
        for (auto i = static_cast<lua_Integer>(lua_rawlen(L, -1)); i >= 1; --i) {
            lua_rawgeti(L, -1, static_cast<int>(i));
            if (const std::optional<std::string> entry = textAt(L, -1, allowance))
                if (const std::optional<int> flag = stateFlagOf(*entry))
                    flags[*flag] = true;
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
    return flags;
}

// Reads a colour property of the table itself into colour (kept when the
// value is neither a key nor a table).
void readColourField(const Properties& own, const char* key, const assets::ColourTable& colours, ColourValue& colour)
{
    if (lua_State* L = own.push(key, Want::Present)) {
        readColour(L, colours, colour, own.allowance());
        lua_pop(L, 1);
    }
}

gfx::Point readPointField(const Properties& own, const char* key)
{
    gfx::Point point;
    if (lua_State* L = own.push(key, Want::Present)) {
        point = readPoint(L);
        lua_pop(L, 1);
    }
    return point;
}

// The art item of a drawing kind with its properties; null for the base kind.
std::unique_ptr<ArtItem> makeArt(ArtKind kind, ScreenView& view, lua_State* state, const Properties& own);

} // namespace

WidgetFactory::WidgetFactory(ScreenView& view, lua_State* state)
    : view_(&view), lua_(state), text_(MaxStringBytes, MaxTextBytes)
{
}

Widget& WidgetFactory::build(ui::ContainerControl& parent) { return buildWidget(parent, 1); }

void WidgetFactory::count()
{
    if (++built_ > MaxWidgetsAndArtItems)
        luaL_error(lua_, "too many widgets and art items (more than %d)", MaxWidgetsAndArtItems);
}

Widget& WidgetFactory::buildWidget(ui::ContainerControl& parent, int depth)
{
    lua_State* L = lua_;
    count();
    auto* parentWidget = dynamic_cast<Widget*>(&parent);
    const auto adopt = [&](std::unique_ptr<Widget> made) -> Widget& {
        Widget& widget = *made;
        parent.addChild(std::move(made));
        if (parentWidget)
            parentWidget->children_.push_back(&widget);
        return widget;
    };
    if (!lua_istable(L, -1))
        return adopt(std::make_unique<PlainWidget>(*view_, L));

    luaL_checkstack(L, 8, nullptr);
    lua_pushvalue(L, -1);
    const TableRef own = takeReference(L);
    const Properties ownOnly(text_, own);
    const std::optional<std::string> type = ownOnly.text("type", Want::Text);
    const WidgetKind kind = type ? widgetKindOf(*type).value_or(WidgetKind::Plain) : WidgetKind::Plain;
    Widget& widget = adopt(kind == WidgetKind::Shape    ? std::unique_ptr<Widget>(std::make_unique<ShapeWidget>(*view_, L))
                           : kind == WidgetKind::Custom ? std::unique_ptr<Widget>(std::make_unique<CustomWidget>(*view_, L))
                                                        : std::unique_ptr<Widget>(std::make_unique<PlainWidget>(*view_, L)));
    widget.tableRef_ = own.ref;

    const TableRef style = lookupStyle(view_->assets().styleSheets(), own, widget.style_, text_);
    const Properties properties(text_, own, style);
    const Bounds layout = readLayout(properties, L);
    widget.setBounds(layout.x, layout.y, layout.width, layout.height);
    widget.typeName_ = type;

    if (std::optional<std::string> name = ownOnly.text("name", Want::Text)) {
        widget.name_ = std::move(*name);
        lua_pushlstring(L, widget.name_.data(), widget.name_.size());
        lua_pushlightuserdata(L, &widget);
        lua_rawset(L, LUA_REGISTRYINDEX);
        widget.nameRegistered_ = true;
    }

    pushField(own, "Children");
    if (lua_istable(L, -1)) {
        luaL_checkstack(L, 40, "Widget recursion too deep");
        for (auto i = static_cast<lua_Integer>(lua_rawlen(L, -1)); i >= 1; --i) {
            if (depth >= MaxNestingDepth)
                luaL_error(L, "stack overflow (%s)", "Widget recursion too deep");
            lua_rawgeti(L, -1, static_cast<int>(i));
            buildWidget(widget, depth + 1);
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);

    if (lua_State* P = properties.push("Presentation", Want::Table)) {
        lua_pushstring(P, "Art");
        lua_rawget(P, -2);
        lua_remove(P, -2);
        if (lua_istable(P, -1)) {
            const TableRef art = takeReference(P);
            buildArtList(widget, art);
            dropReference(art);
        } else {
            lua_pop(P, 1);
        }
    }

    if (const std::optional<bool> visible = properties.boolean("visible"))
        widget.visible_ = *visible;
    if (std::optional<std::string> text = properties.text("text", Want::String))
        widget.text_ = std::move(text);
    if (std::optional<std::string> tip = properties.text("tooltip_text", Want::String))
        widget.tooltipText_ = std::move(*tip);
    if (const std::optional<std::string> tipName = properties.text("tooltip_name", Want::String)) {
        lua_pushlstring(L, tipName->data(), tipName->size());
        lua_rawget(L, LUA_REGISTRYINDEX);
        if (lua_islightuserdata(L, -1))
            widget.tooltipWidget_ = static_cast<Widget*>(lua_touserdata(L, -1));
        lua_pop(L, 1);
    }
    dropReference(style);
    return widget;
}

void WidgetFactory::buildArtList(Widget& widget, const TableRef& list)
{
    lua_State* P = list.lua;
    reserveStack(P, 2);
    pushTable(list);
    const auto length = static_cast<lua_Integer>(lua_rawlen(P, -1));
    lua_pop(P, 1);
    for (lua_Integer i = length; i >= 1; --i) {
        // Only the element is left on the stack: a style lookup while it is
        // built may empty the stack of this state.
        reserveStack(P, 2);
        pushTable(list);
        lua_rawgeti(P, -1, static_cast<int>(i));
        lua_remove(P, -2);
        buildArtItem(widget, P);
    }
}

void WidgetFactory::buildArtItem(Widget& widget, lua_State* P)
{
    count();
    std::unique_ptr<ArtItem> item;
    if (!lua_istable(P, -1)) {
        lua_pop(P, 1);
        item.reset(new ArtItem(*view_, P, ArtKind::Base));
    } else {
        const TableRef own = takeReference(P);
        const Properties ownOnly(text_, own);
        const std::optional<std::string> type = ownOnly.text("type", Want::Text);
        StyleReference styleRecord;
        const TableRef style = lookupStyle(view_->assets().styleSheets(), own, styleRecord, text_);
        const Bounds layout = readLayout(Properties(text_, own, style), lua_);
        dropReference(style);
        double id = 0.0;
        if (lua_State* L = ownOnly.push("ID", Want::Present)) {
            id = lua_tonumber(L, -1);
            lua_pop(L, 1);
        }
        const std::array<bool, ArtItem::StateFlagCount> states = readStates(own, text_);

        item = makeArt(type ? artKindOf(*type).value_or(ArtKind::Base) : ArtKind::Base, *view_, P, ownOnly);
        if (!item)
            item.reset(new ArtItem(*view_, P, ArtKind::Base));
        item->tableRef_ = own.ref;
        item->typeName_ = type;
        item->style_ = std::move(styleRecord);
        item->id_ = roundedId(id);
        item->stateFlags_ = states;
        item->setBounds(layout.x, layout.y, layout.width, layout.height);
    }
    ArtItem& adopted = *item;
    widget.addChild(std::move(item));
    widget.artItems_.push_back(&adopted);
}

namespace {

std::unique_ptr<ArtItem> makeArt(ArtKind kind, ScreenView& view, lua_State* state, const Properties& own)
{
    const assets::ColourTable& colours = view.assets().colours();
    switch (kind) {
    case ArtKind::Texture: {
        TextureArt::Properties p;
        if (std::optional<std::string> texture = own.text("texture", Want::Text))
            p.texture = std::move(*texture);
        p.flipHorizontal = own.boolean("flipHorizontal").value_or(p.flipHorizontal);
        p.flipVertical = own.boolean("flipVertical").value_or(p.flipVertical);
        readColourField(own, "colour", colours, p.colour);
        return std::make_unique<TextureArt>(view, state, std::move(p));
    }
    case ArtKind::Text: {
        TextArt::Properties p;
        readColourField(own, "textColourTop", colours, p.textColourTop);
        readColourField(own, "textColourBottom", colours, p.textColourBottom);
        if (std::optional<std::string> font = own.text("fontname", Want::Text))
            p.fontname = std::move(*font);
        p.multiline = own.boolean("multiline").value_or(p.multiline);
        p.dropShadow = own.boolean("dropShadow").value_or(p.dropShadow);
        if (const std::optional<std::string> word = own.text("horzAlign", Want::String))
            p.horzAlign = horzAlignOf(*word).value_or(p.horzAlign);
        if (const std::optional<std::string> word = own.text("vertAlign", Want::String))
            p.vertAlign = vertAlignOf(*word).value_or(p.vertAlign);
        return std::make_unique<TextArt>(view, state, std::move(p));
    }
    case ArtKind::Rectangle: {
        RectangleArt::Properties p;
        readColourField(own, "colour", colours, p.colour);
        if (const std::optional<std::string> word = own.text("rectangleType", Want::Text))
            p.border = isBorderKeyword(*word);
        return std::make_unique<RectangleArt>(view, state, std::move(p));
    }
    case ArtKind::Line: {
        LineArt::Properties p;
        readColourField(own, "colour", colours, p.colour);
        p.p1 = readPointField(own, "p1");
        p.p2 = readPointField(own, "p2");
        return std::make_unique<LineArt>(view, state, std::move(p));
    }
    case ArtKind::Flash: {
        FlashArt::Properties p;
        if (std::optional<std::string> swf = own.text("swf", Want::Text))
            p.swf = std::move(*swf);
        p.alpha = static_cast<float>(own.number("alpha").value_or(p.alpha));
        return std::make_unique<FlashArt>(view, state, std::move(p));
    }
    case ArtKind::Base: break;
    }
    return nullptr;
}

} // namespace

} // namespace screen
