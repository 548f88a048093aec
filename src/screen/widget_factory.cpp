#include "screen/widget_factory.h"

#include "assets/screen_assets.h"
#include "base/closest_name.h"
#include "data/localise_text.h"
#include "data/mod_context.h"
#include "data/text_compare.h"
#include "screen/custom_widget.h"
#include "screen/flash_art.h"
#include "screen/line_art.h"
#include "screen/property_reader.h"
#include "screen/rectangle_art.h"
#include "screen/screen_findings.h"
#include "screen/screen_view.h"
#include "screen/table_watch.h"
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

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The table on top of the stack as written: { 255, 0, 0 }.
std::string describeList(lua_State* L)
{
    reserveStack(L, 1);
    std::string out = "{";
    const auto length = static_cast<int>(std::min<std::size_t>(lua_rawlen(L, -1), 4));
    for (int i = 1; i <= length; ++i) {
        lua_rawgeti(L, -1, i);
        out += (i == 1 ? " " : ", ") + describeValue(L, -1);
        lua_pop(L, 1);
    }
    return out + (length > 0 ? " }" : "}");
}

std::array<bool, ArtItem::StateFlagCount> readStates(const TableRef& own, TextAllowance& allowance,
                                                     TableWatch* watch, bool& given)
{
    std::array<bool, ArtItem::StateFlagCount> flags{};
    lua_State* L = own.lua;
    pushField(own, "states");
    given = lua_istable(L, -1);
    if (given) {
        for (auto i = static_cast<lua_Integer>(lua_rawlen(L, -1)); i >= 1; --i) {
            lua_rawgeti(L, -1, static_cast<int>(i));
            const std::optional<std::string> entry = textAt(L, -1, allowance);
            const std::optional<int> flag = entry ? stateFlagOf(*entry) : std::nullopt;
            if (flag)
                flags[*flag] = true;
            else if (watch)
                watch->note("bad-value", ": states entry " + describeValue(L, -1) + " is no state: it is ignored",
                            entry ? base::didYouMean(base::closestNames(*entry, stateWords())) : std::nullopt);
            lua_pop(L, 1);
        }
    } else if (watch && !lua_isnil(L, -1)) {
        watch->wrongKind("states", Want::Table, L);
    }
    lua_pop(L, 1);
    return flags;
}

// Reads a colour property of the table itself into colour (kept when the
// value is neither a key nor a table), noting on watch what is ignored.
void readColourField(const Properties& own, const char* key, const assets::ColourTable& colours, ColourValue& colour,
                     TableWatch* watch)
{
    lua_State* L = own.push(key, Want::Present);
    if (!L)
        return;
    const ColourRead read = readColour(L, colours, colour, own.allowance());
    if (watch && read == ColourRead::WrongKind) {
        watch->note("bad-value",
                    ": " + std::string(key) + " = " + describeValue(L, -1) +
                        " is neither a colour-table key nor { red, green, blue, alpha }: it is ignored",
                    "write " + std::string(key) + " = \"KEY\" or " + key + " = { 255, 255, 255, 255 }");
    } else if (watch && read == ColourRead::Incomplete) {
        const bool noAlpha = lua_rawlen(L, -1) == 3;
        watch->note("bad-value",
                    ": " + std::string(key) + " = " + describeList(L) +
                        (noAlpha ? " has no alpha: it is fully transparent"
                                 : " has a missing or non-numeric element: that channel is 0"),
                    std::string("give red, green, blue and alpha, each from 0 to 255: { 255, 255, 255, 255 }"));
    } else if (watch && read == ColourRead::KeyMissing) {
        if (colours.loaded()) {
            const std::vector<std::string> keys = colours.keys();
            watch->note("colour-key-missing",
                        ": " + std::string(key) + " " + quoted(*colour.key) +
                            " is not in the colour table: it draws opaque black",
                        base::didYouMean(base::closestNames(
                            *colour.key, std::vector<std::string_view>(keys.begin(), keys.end()))));
        } else {
            watch->note("colour-key-missing",
                        ": " + std::string(key) + " " + quoted(*colour.key) + " draws opaque black: the colour table " +
                            assets::ColourTable::path() + " is missing or fails to run",
                        std::nullopt);
        }
    }
    lua_pop(L, 1);
}

gfx::Point readPointField(const Properties& own, const char* key, TableWatch* watch)
{
    gfx::Point point;
    if (lua_State* L = own.push(key, Want::Present)) {
        bool incomplete = false;
        point = readPoint(L, &incomplete);
        if (watch && !lua_istable(L, -1))
            watch->wrongKind(key, Want::Table, L);
        else if (watch && incomplete)
            watch->note("bad-value",
                        ": " + std::string(key) + " = " + describeList(L) +
                            " has a missing or non-numeric element: it reads as 0",
                        "write " + std::string(key) + " = { X, Y }, in fractions of the widget's size");
        lua_pop(L, 1);
    }
    return point;
}

// A word that is no keyword of its property: ignored, unless it names what
// the property is without one (such as "Left").
void keywordIgnored(TableWatch* watch, const char* key, const std::string& word,
                    const std::vector<std::string_view>& keywords, std::initializer_list<std::string_view> defaults,
                    const char* result)
{
    if (!watch)
        return;
    for (const std::string_view same : defaults)
        if (word == same)
            return;
    std::optional<std::string> hint = base::didYouMean(base::closestNames(word, keywords));
    if (!hint) {
        std::string words;
        for (const std::string_view k : keywords)
            words += (words.empty() ? "" : " or ") + quoted(std::string(k));
        hint = "the keywords are " + words;
    }
    watch->note("bad-value", ": " + std::string(key) + " = " + quoted(word) + " is no keyword: it is ignored (" +
                                 result + ")",
                std::move(hint));
}

// The art item of a drawing kind with its properties; null for the base kind.
std::unique_ptr<ArtItem> makeArt(ArtKind kind, ScreenView& view, lua_State* state, const Properties& own,
                                 TableWatch* watch);

} // namespace

WidgetFactory::WidgetFactory(ScreenView& view, lua_State* state, const void** building)
    : view_(&view), lua_(state), building_(building), text_(MaxStringBytes, MaxTextBytes)
{
}

Widget& WidgetFactory::build(ui::ContainerControl& parent) { return buildWidget(parent, 1, 0); }

void WidgetFactory::count()
{
    if (++built_ > MaxWidgetsAndArtItems)
        luaL_error(lua_, "too many widgets and art items (more than %d)", MaxWidgetsAndArtItems);
}

void WidgetFactory::say(TableWatch& watch, const Widget& widget)
{
    for (TableWatch::Note& note : watch.take())
        said_[&widget].push_back({note.code, "widget " + quoted(widget.name()) + note.text, std::move(note.hint)});
}

void WidgetFactory::say(TableWatch& watch, const ArtItem& art, int element)
{
    if (watch.empty())
        return;
    const Widget* owner = art.widget();
    const std::string name = "widget " + quoted(owner ? owner->name() : std::string("Untitled"));
    const std::string item = name + ", art " + std::to_string(element) +
                             (art.typeName() ? " (" + *art.typeName() + ")" : std::string());
    for (TableWatch::Note& note : watch.take())
        said_[&art].push_back(
            {note.code, (note.code == std::string("unknown-type") ? name : item) + note.text, std::move(note.hint)});
}

void WidgetFactory::addSaid(const Widget& widget)
{
    ScreenFindings& findings = view_->screenFindings();
    if (const auto found = said_.find(&widget); found != said_.end())
        for (Said& said : found->second)
            findings.add(said.code, std::move(said.message), std::move(said.hint), widget);
    for (auto art = widget.artItems().rbegin(); art != widget.artItems().rend(); ++art)
        if (const auto found = said_.find(*art); found != said_.end())
            for (Said& said : found->second)
                findings.add(said.code, std::move(said.message), std::move(said.hint), **art);
    for (auto child = widget.children().rbegin(); child != widget.children().rend(); ++child)
        addSaid(**child);
}

TableRef WidgetFactory::lookupStyle(const TableRef& own, StyleReference& record, TableWatch* watch)
{
    lua_State* L = own.lua;
    pushField(own, "style");
    if (!lua_istable(L, -1)) {
        if (watch && !lua_isnil(L, -1))
            watch->note("bad-value", ": style = " + describeValue(L, -1) + " is not a table: it is ignored",
                        std::string("write style = { \"SHEET\", \"NAME\" }"));
        lua_pop(L, 1);
        return {};
    }
    lua_rawgeti(L, -1, 1);
    record.sheet = textAt(L, -1, text_);
    lua_pop(L, 1);
    lua_rawgeti(L, -1, 2);
    record.name = textAt(L, -1, text_);
    lua_pop(L, 1);
    if (!record.sheet || !record.name) {
        if (watch)
            watch->note("bad-value",
                        ": style = " + describeList(L) + " does not name a sheet and a style: it is ignored",
                        std::string("write style = { \"SHEET\", \"NAME\" }"));
        lua_pop(L, 1);
        return {};
    }
    lua_pop(L, 1);
    assets::StyleSheets& sheets = view_->assets().styleSheets();
    lua_State* sheet = sheets.find(record.sheet->c_str(), record.name->c_str());
    if (sheet) {
        record.found = true;
        return takeReference(sheet);
    }
    if (!watch)
        return {};
    std::string failure;
    const std::string path = assets::StyleSheets::path(*record.sheet);
    switch (sheets.status(*record.sheet, &failure)) {
    case assets::StyleSheets::Status::Missing: {
        std::vector<std::string> files;
        view_->files().source->list("art/ui/styles/", files);
        std::vector<std::string> names;
        for (const std::string& file : files)
            if (file.size() > 7 && Mod::toLowerAscii(file.substr(file.size() - 7)) == ".styles")
                names.push_back(file.substr(0, file.size() - 7));
        watch->note("style-sheet-missing",
                    ": style sheet " + quoted(*record.sheet) + " does not exist (no file " + path +
                        "): the widget is built without its style",
                    base::didYouMean(base::closestNames(*record.sheet,
                                                        std::vector<std::string_view>(names.begin(), names.end()))));
        break;
    }
    case assets::StyleSheets::Status::Failed:
        watch->note("style-sheet-missing",
                    ": style sheet " + quoted(*record.sheet) + " (" + path + ") fails to load: " + failure,
                    std::string("a style sheet sets StyleSheet = { Styles = { { name = \"NAME\", ... }, ... } }"));
        break;
    case assets::StyleSheets::Status::Loaded: {
        const std::vector<std::string> styles = sheets.styleNames(*record.sheet);
        watch->note("style-missing",
                    ": style " + quoted(*record.name) + " is not in style sheet " + quoted(*record.sheet) +
                        ": the widget is built without its style",
                    base::didYouMean(
                        base::closestNames(*record.name, std::vector<std::string_view>(styles.begin(), styles.end()))));
        break;
    }
    }
    return {};
}

Widget& WidgetFactory::buildWidget(ui::ContainerControl& parent, int depth, int element)
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
    if (!lua_istable(L, -1)) {
        if (parentWidget) {
            TableWatch watch;
            watch.note("bad-value",
                       ": Children[" + std::to_string(element) + "] = " + describeValue(L, -1) +
                           " is not a widget table: it becomes an empty widget",
                       std::string("each element of Children is a table: { name = \"...\", ... }"));
            say(watch, *parentWidget);
        }
        return adopt(std::make_unique<PlainWidget>(*view_, L));
    }

    const void* table = lua_topointer(L, -1);
    const void* outer = building_ ? *building_ : nullptr;
    if (building_)
        *building_ = table;
    TableWatch watch;
    luaL_checkstack(L, 8, nullptr);
    lua_pushvalue(L, -1);
    const TableRef own = takeReference(L);
    const Properties ownOnly(text_, own, {}, &watch);
    const std::optional<std::string> type = ownOnly.text("type", Want::Text);
    const WidgetKind kind = type ? widgetKindOf(*type).value_or(WidgetKind::Plain) : WidgetKind::Plain;
    Widget& widget = adopt(kind == WidgetKind::Shape    ? std::unique_ptr<Widget>(std::make_unique<ShapeWidget>(*view_, L))
                           : kind == WidgetKind::Custom ? std::unique_ptr<Widget>(std::make_unique<CustomWidget>(*view_, L))
                                                        : std::unique_ptr<Widget>(std::make_unique<PlainWidget>(*view_, L)));
    widget.tableRef_ = own.ref;
    widget.table_ = table;

    const TableRef style = lookupStyle(own, widget.style_, &watch);
    const Properties properties(text_, own, style, &watch);
    const Bounds layout = readLayout(properties, L);
    widget.setBounds(layout.x, layout.y, layout.width, layout.height);
    widget.typeName_ = type;
    if (type && kind == WidgetKind::Plain && !gameWidgetTypeOf(*type))
        watch.note("unknown-type", " has the unknown type " + quoted(*type) + " (drawn as a plain widget)",
                   base::didYouMean(base::closestNames(*type, widgetTypeWords())));

    if (std::optional<std::string> name = ownOnly.text("name", Want::Text)) {
        widget.name_ = std::move(*name);
        lua_pushlstring(L, widget.name_.data(), widget.name_.size());
        lua_rawget(L, LUA_REGISTRYINDEX);
        if (const auto* earlier = static_cast<const Widget*>(lua_touserdata(L, -1))) {
            const std::optional<int> at = earlier->line();
            watch.note("duplicate-name",
                       " has the same name as the widget " + (at ? "on line " + std::to_string(*at) + ", " : "") +
                           "built before it (lists are built from their last element): tooltip_name finds this one "
                           "from here on",
                       std::string("give every widget a name of its own"));
        }
        lua_pop(L, 1);
        lua_pushlstring(L, widget.name_.data(), widget.name_.size());
        lua_pushlightuserdata(L, &widget);
        lua_rawset(L, LUA_REGISTRYINDEX);
        widget.nameRegistered_ = true;
    }
    say(watch, widget);

    pushField(own, "Children");
    if (lua_istable(L, -1)) {
        luaL_checkstack(L, 40, "Widget recursion too deep");
        for (auto i = static_cast<lua_Integer>(lua_rawlen(L, -1)); i >= 1; --i) {
            if (depth >= MaxNestingDepth)
                luaL_error(L, "stack overflow (%s)", "Widget recursion too deep");
            lua_rawgeti(L, -1, static_cast<int>(i));
            buildWidget(widget, depth + 1, static_cast<int>(i));
            lua_pop(L, 1);
        }
    } else if (!lua_isnil(L, -1)) {
        watch.wrongKind("Children", Want::Table, L);
    }
    lua_pop(L, 1);

    if (lua_State* P = properties.push("Presentation", Want::Table)) {
        const bool fromScreen = P == L;
        lua_pushstring(P, "Art");
        lua_rawget(P, -2);
        lua_remove(P, -2);
        if (lua_istable(P, -1)) {
            const TableRef art = takeReference(P);
            buildArtList(widget, art, fromScreen);
            dropReference(art);
        } else {
            if (fromScreen && !lua_isnil(P, -1))
                watch.wrongKind("Presentation.Art", Want::Table, P);
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
        else
            unresolved_.push_back({&widget, *tipName});
        lua_pop(L, 1);
    }
    const auto missingString = [&](const char* field, const std::string& text) {
        if (!text.empty() && text[0] == '$' && !Mod::FindLocalisedString(text.c_str(), view_->files()))
            watch.note("string-missing", ": " + std::string(field) + " " + text + " is in no string table",
                       "no .ucs file of the language " + view_->files().language + " has this id");
    };
    if (widget.text_)
        missingString("text", *widget.text_);
    if (widget.tooltipWidget_)
        missingString("tooltip_text", widget.tooltipText_);
    say(watch, widget);
    dropReference(style);
    if (building_)
        *building_ = outer;
    return widget;
}

void WidgetFactory::buildArtList(Widget& widget, const TableRef& list, bool fromScreen)
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
        buildArtItem(widget, P, static_cast<int>(i), fromScreen);
    }
}

void WidgetFactory::buildArtItem(Widget& widget, lua_State* P, int element, bool fromScreen)
{
    count();
    std::unique_ptr<ArtItem> item;
    TableWatch watch;
    TableWatch* watching = fromScreen ? &watch : nullptr;
    if (!lua_istable(P, -1)) {
        if (fromScreen)
            watch.note("bad-value",
                       ": Presentation.Art[" + std::to_string(element) + "] = " + describeValue(P, -1) +
                           " is not an art table: it draws nothing",
                       std::string("each element of Art is a table: { type = \"Graphic\", ... }"));
        say(watch, widget);
        lua_pop(P, 1);
        item.reset(new ArtItem(*view_, P, ArtKind::Base));
    } else {
        const void* table = lua_topointer(P, -1);
        const void* outer = building_ ? *building_ : nullptr;
        if (building_ && P == lua_)
            *building_ = table;
        const TableRef own = takeReference(P);
        const Properties ownOnly(text_, own, {}, watching);
        const std::optional<std::string> type = ownOnly.text("type", Want::Text);
        StyleReference styleRecord;
        const TableRef style = lookupStyle(own, styleRecord, watching);
        const Bounds layout = readLayout(Properties(text_, own, style, watching), lua_);
        dropReference(style);
        double id = 0.0;
        if (lua_State* L = ownOnly.push("ID", Want::Present)) {
            if (watching && !lua_isnumber(L, -1))
                watch.wrongKind("ID", Want::Number, L);
            id = lua_tonumber(L, -1);
            lua_pop(L, 1);
        }
        bool statesGiven = false;
        const std::array<bool, ArtItem::StateFlagCount> states = readStates(own, text_, watching, statesGiven);

        const ArtKind kind = type ? artKindOf(*type).value_or(ArtKind::Base) : ArtKind::Base;
        item = makeArt(kind, *view_, P, ownOnly, watching);
        if (!item)
            item.reset(new ArtItem(*view_, P, ArtKind::Base));
        item->tableRef_ = own.ref;
        item->table_ = table;
        item->typeName_ = type;
        item->style_ = std::move(styleRecord);
        item->id_ = roundedId(id);
        item->stateFlags_ = states;
        item->setBounds(layout.x, layout.y, layout.width, layout.height);
        // The one thing said of a style sheet's art too, as before lines were known.
        if (kind == ArtKind::Base)
            watch.note("unknown-type",
                       type ? " has an art item of the unknown type " + quoted(*type) + " (it draws nothing)"
                            : std::string(" has an art item without a type (it draws nothing)"),
                       type ? base::didYouMean(base::closestNames(*type, artTypeWords())) : std::nullopt);
        if (watching && !statesGiven && kind != ArtKind::Base && kind != ArtKind::Flash)
            watch.note("art-never-drawn", ": it has no `states`, so it is never drawn",
                       std::string("add states = { \"Normal\", \"Hover\" } to draw it normally and under the pointer"));
        if (building_)
            *building_ = outer;
    }
    ArtItem& adopted = *item;
    widget.addChild(std::move(item));
    widget.artItems_.push_back(&adopted);
    say(watch, adopted, element);
}

void WidgetFactory::finish()
{
    if (!said_.empty())
        for (const Widget* root : {view_->widgetsRoot(), view_->tooltipRoot()})
            if (root)
                addSaid(*root);
    said_.clear();
    if (unresolved_.empty())
        return;
    std::vector<std::string> names;
    std::vector<const Widget*> pending{view_->widgetsRoot(), view_->tooltipRoot()};
    while (!pending.empty()) {
        const Widget* w = pending.back();
        pending.pop_back();
        if (!w)
            continue;
        names.push_back(w->name());
        pending.insert(pending.end(), w->children().begin(), w->children().end());
    }
    for (const Unresolved& u : unresolved_) {
        std::optional<std::string> hint;
        if (view_->findWidget(u.tooltipName))
            hint = "the widget " + quoted(u.tooltipName) +
                   " is built after this one: tooltip widgets go in Screen.TooltipWidgets, which is built first";
        else
            hint = base::didYouMean(
                base::closestNames(u.tooltipName, std::vector<std::string_view>(names.begin(), names.end())));
        view_->screenFindings().add("tooltip-missing",
                                    "widget " + quoted(u.widget->name()) + ": tooltip_name " + quoted(u.tooltipName) +
                                        " names no widget built before it: it shows no tooltip",
                                    std::move(hint), *u.widget);
    }
    unresolved_.clear();
}

namespace {

std::unique_ptr<ArtItem> makeArt(ArtKind kind, ScreenView& view, lua_State* state, const Properties& own,
                                 TableWatch* watch)
{
    const assets::ColourTable& colours = view.assets().colours();
    switch (kind) {
    case ArtKind::Texture: {
        TextureArt::Properties p;
        if (std::optional<std::string> texture = own.text("texture", Want::Text)) {
            p.texture = std::move(*texture);
            if (watch && p.texture.empty())
                watch->note("texture-no-name", ": its texture is \"\": it draws nothing",
                            std::string("name the texture: texture = \"Art/UI/Textures/NAME\""));
        } else {
            p.named = false;
            if (watch)
                watch->note("texture-no-name",
                            ": it has no texture name: it draws the missing-texture placeholder of \"art/\"",
                            std::string("name the texture: texture = \"Art/UI/Textures/NAME\" (.dds, then .tga, "
                                        "is tried)"));
        }
        p.flipHorizontal = own.boolean("flipHorizontal").value_or(p.flipHorizontal);
        p.flipVertical = own.boolean("flipVertical").value_or(p.flipVertical);
        readColourField(own, "colour", colours, p.colour, watch);
        return std::make_unique<TextureArt>(view, state, std::move(p));
    }
    case ArtKind::Text: {
        TextArt::Properties p;
        readColourField(own, "textColourTop", colours, p.textColourTop, watch);
        readColourField(own, "textColourBottom", colours, p.textColourBottom, watch);
        if (std::optional<std::string> font = own.text("fontname", Want::Text))
            p.fontname = std::move(*font);
        p.multiline = own.boolean("multiline").value_or(p.multiline);
        p.dropShadow = own.boolean("dropShadow").value_or(p.dropShadow);
        if (const std::optional<std::string> word = own.text("horzAlign", Want::String)) {
            if (const auto alignment = horzAlignOf(*word))
                p.horzAlign = *alignment;
            else
                keywordIgnored(watch, "horzAlign", *word, horzAlignWords(), {"Left"}, "left-aligned");
        }
        if (const std::optional<std::string> word = own.text("vertAlign", Want::String)) {
            if (const auto alignment = vertAlignOf(*word))
                p.vertAlign = *alignment;
            else
                keywordIgnored(watch, "vertAlign", *word, vertAlignWords(), {"Centre", "Center", "Middle"},
                               "centred");
        }
        return std::make_unique<TextArt>(view, state, std::move(p));
    }
    case ArtKind::Rectangle: {
        RectangleArt::Properties p;
        readColourField(own, "colour", colours, p.colour, watch);
        if (const std::optional<std::string> word = own.text("rectangleType", Want::Text)) {
            p.border = isBorderKeyword(*word);
            if (!p.border)
                keywordIgnored(watch, "rectangleType", *word, {"Border"}, {"Filled", "Fill"}, "filled");
        }
        return std::make_unique<RectangleArt>(view, state, std::move(p));
    }
    case ArtKind::Line: {
        LineArt::Properties p;
        readColourField(own, "colour", colours, p.colour, watch);
        p.p1 = readPointField(own, "p1", watch);
        p.p2 = readPointField(own, "p2", watch);
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
