#include "screen/screen_view.h"

#include "base/closest_name.h"
#include "data/lua_chunk.h"
#include "data/mod_context.h"
#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/key_check.h"
#include "screen/screen_load_error.h"
#include "screen/table_lines.h"
#include "screen/table_watch.h"
#include "screen/widget.h"
#include "screen/widget_factory.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <vector>

namespace screen {

namespace {

// Depth first in Lua order: children are kept last element first.
Widget* findIn(Widget* widget, std::string_view name)
{
    if (!widget)
        return nullptr;
    if (widget->name() == name)
        return widget;
    const std::vector<Widget*>& children = widget->children();
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        if (Widget* found = findIn(*child, name))
            return found;
    return nullptr;
}

// The module's files; a module that was never mounted has none.
std::shared_ptr<Mod::FileSource> sourceOf(const Mod::ModContext& files, const std::string& path)
{
    if (!files.source)
        throw std::runtime_error("Cannot open screen file " + path);
    return files.source;
}

} // namespace

ScreenView::ScreenView(const gfx::GraphicsContext& graphics, const Mod::ModContext& files, const std::string& path,
                       const assets::Limits& limits)
    : graphics_(&graphics), files_(&files), path_(path), assets_(graphics, sourceOf(files, path), limits),
      resources_(graphics), findings_(files, path)
{
    Mod::FilePtr file = files.source->open(path);
    if (!Mod::hasData(file))
        throw std::runtime_error("Cannot open screen file " + path);

    lua_ = assets::newState(limits);
    lua_State* L = lua_.get();
    tableLines_ = std::make_unique<TableLines>(file);
    try {
        const char* stage = "load";
        assets::observeChunk(L, tableLines_.get());
        int status = Mod::LoadLuaChunk(L, std::move(file));
        if (status == LUA_OK)
            status = lua_pcall(L, 0, 0, 0);
        assets::observeChunk(L, nullptr);
        if (status == LUA_OK) {
            stage = "instantiate";
            lua_pushcfunction(L, instantiate);
            lua_pushlightuserdata(L, this);
            status = lua_pcall(L, 1, 0, 0);
        }
        if (status != LUA_OK) {
            const std::string lua = assets::errorText(L);
            const std::string message = "Cannot " + std::string(stage) + " screen file " + path + ": " + lua;
            // Lua names the line of a load error; an instantiate error is at
            // the table that was being built.
            const std::optional<int> line = std::string(stage) == "load" ? luaMessageLine(lua)
                                                                       : tableLine(buildingTable_);
            throw ScreenLoadError(message, findings_.loadError(message, line));
        }
    } catch (...) {
        // The widgets release their references while the state is open; the
        // state goes before the error leaves.
        assets::observeChunk(L, nullptr);
        closing_ = true;
        clearChildren();
        tooltipRoot_ = widgetsRoot_ = nullptr;
        lua_.reset();
        throw;
    }
}

const base::FindingList& ScreenView::findings() const
{
    if (!keysChecked_) {
        keysChecked_ = true;
        checkTableKeys(*this, findings_);
        // Widgets are built last element first: in file order, a modder reads them.
        findings_.list().sortByLine();
    }
    return findings_.list();
}

std::optional<int> ScreenView::tableLine(const void* table) const
{
    if (!tableLines_ || !table)
        return std::nullopt;
    return tableLines_->line(table);
}

ScreenView::~ScreenView()
{
    closing_ = true;
    clearChildren();
    lua_.reset();
}

int ScreenView::instantiate(lua_State* state)
{
    auto* view = static_cast<ScreenView*>(lua_touserdata(state, 1));
    // Lua's own errors pass through as they are; anything else the build
    // throws becomes a Lua error of the stage, with its message.
    std::string failure;
    bool failed = false;
    try {
        view->buildRoots(state);
    } catch (const std::exception& error) {
        failure = error.what();
        failed = true;
    }
    if (failed)
        luaL_error(state, "%s", failure.c_str());
    return 0;
}

void ScreenView::buildRoots(lua_State* L)
{
    WidgetFactory factory(*this, L, &buildingTable_);
    lua_getglobal(L, "Screen");
    checkScreenTable(L);
    if (!lua_istable(L, -1))
        return;
    lua_getfield(L, -1, "TooltipWidgets");
    if (lua_istable(L, -1))
        tooltipRoot_ = &factory.build(*this);
    lua_pop(L, 1);
    lua_getfield(L, -1, "Widgets");
    if (lua_istable(L, -1))
        widgetsRoot_ = &factory.build(*this);
    lua_pop(L, 2);
    factory.finish();
}

void ScreenView::checkScreenTable(lua_State* L)
{
    luaL_checkstack(L, 4, nullptr);
    // The string keys of the table at index, for the names near a wanted one.
    const auto keys = [L](int index) {
        std::vector<std::string> names;
        lua_pushnil(L);
        while (lua_next(L, index < 0 ? index - 1 : index)) {
            if (lua_type(L, -2) == LUA_TSTRING)
                names.emplace_back(lua_tostring(L, -2));
            lua_pop(L, 1);
        }
        return names;
    };
    // For the first key near a wanted name: "the screen sets KEY: did you mean `NAME`?".
    const auto near = [&](int index, const std::vector<std::string_view>& wanted) -> std::optional<std::string> {
        for (const std::string& name : keys(index))
            if (const std::optional<std::string> meant = base::closestName(name, wanted))
                return "the screen sets " + name + ": did you mean `" + *meant + "`?";
        return std::nullopt;
    };
    if (!lua_istable(L, -1)) {
        lua_pushglobaltable(L);
        std::optional<std::string> hint = near(-1, {"Screen"});
        lua_pop(L, 1);
        findings_.add("no-screen-table",
                      lua_isnil(L, -1) ? std::string("the screen file sets no table Screen: nothing is built")
                                       : "Screen = " + describeValue(L, -1) + " is not a table: nothing is built",
                      hint ? hint : std::optional<std::string>("a screen file sets Screen = { Widgets = { ... } }"),
                      std::nullopt);
        return;
    }
    const void* screenTable = lua_topointer(L, -1);
    const auto line = [&] { return tableLine(screenTable); };
    bool present = false;
    for (const char* root : {"TooltipWidgets", "Widgets"}) {
        lua_getfield(L, -1, root);
        present = present || !lua_isnil(L, -1);
        if (!lua_isnil(L, -1) && !lua_istable(L, -1))
            findings_.add("no-screen-table",
                          "Screen." + std::string(root) + " = " + describeValue(L, -1) + " is not a table: " +
                              (root == std::string("Widgets") ? "no widgets" : "no tooltip widgets") + " are built",
                          "write " + std::string(root) + " = { name = \"...\", Children = { ... } }", line());
        lua_pop(L, 1);
    }
    if (!present)
        findings_.add("no-screen-table", "Screen has neither Widgets nor TooltipWidgets: nothing is built",
                      near(-1, {"Widgets", "TooltipWidgets"}), line());
}

Widget* ScreenView::findWidget(std::string_view name) const
{
    if (Widget* found = findIn(widgetsRoot_, name))
        return found;
    return findIn(tooltipRoot_, name);
}

void ScreenView::markSelection(Widget* widget, bool shown)
{
    if (!widget)
        return;
    widget->shownForSelection_ = shown;
    for (Widget* child : widget->children())
        child->shownForSelection_ = shown;
    for (auto* ancestor = dynamic_cast<Widget*>(widget->parent()); ancestor;
         ancestor = dynamic_cast<Widget*>(ancestor->parent()))
        ancestor->shownForSelection_ = shown;
}

void ScreenView::setEmphasizedWidget(Widget* widget)
{
    markSelection(emphasizedWidget_, false);
    emphasizedWidget_ = widget;
    markSelection(widget, true);
    invalidate();
}

void ScreenView::setEmphasisFade(float fade)
{
    emphasisFade_ = fade;
    invalidate();
}

float ScreenView::referenceWidth() const { return std::sqrt(width() * height() * 4.0f / 3.0f); }

void ScreenView::invalidateDevice(const gfx::Rect& rect)
{
    gfx::Matrix toContent = paintedAt_ ? *paintedAt_ : gfx::Matrix{};
    if (!paintedAt_ || !toContent.invert()) {
        invalidate();
        return;
    }
    invalidateRect(toContent.transformBounds(rect));
}

bool ScreenView::paintedTransform(const ui::Control& control, gfx::Matrix& matrix) const
{
    if (!paintedAt_)
        return false;
    // As painting composes them: from the view down.
    std::vector<const ui::Control*> chain;
    for (const ui::Control* node = &control; node && node != this; node = node->parent())
        chain.push_back(node);
    matrix = *paintedAt_;
    for (auto node = chain.rbegin(); node != chain.rend(); ++node)
        matrix = (*node)->transform() * matrix;
    return true;
}

const gfx::Matrix& ScreenView::transform() const
{
    const gfx::Matrix& position = Control::transform();
    contentTransform_ = {width(), 0.0f, 0.0f, height(), position.dx, position.dy};
    return contentTransform_;
}

ui::HitResult ScreenView::hitTest(float x, float y)
{
    return ui::HitResult::fromBool(x >= 0.0f && x < 1.0f && y >= 0.0f && y < 1.0f);
}

void ScreenView::pushEmphasisLayer(gfx::RenderTarget& target)
{
    gfx::LayerParameters parameters;
    parameters.opacity = emphasisFade_;
    target.pushLayer(parameters, resources_.emphasisLayer());
}

void ScreenView::invalidate()
{
    ++drawnStamp_;
    ContainerControl::invalidate();
}

void ScreenView::paint(gfx::RenderTarget& target)
{
    if (paintedAt_ != target.transform())
        ++drawnStamp_;
    paintedAt_ = target.transform();
    gfx::BitmapBrush& checkerboard = resources_.checkerboard();
    if (!isHovered() && currentTooltipWidget_) {
        currentTooltipWidget_->setText(std::string());
        currentTooltipWidget_ = nullptr;
    }
    const gfx::Rect unit{0.0f, 0.0f, 1.0f, 1.0f};
    target.pushAxisAlignedClip(unit, gfx::AntialiasMode::PerPrimitive);
    // One texel per DIP at any size, the pattern starting at the view's
    // corner. Filled in device space: the same squares as a brush scaled by
    // 1 / size over the unit square, without resampling every pixel.
    const gfx::Matrix m = target.transform();
    checkerboard.setTransform(gfx::Matrix::translation(m.dx, m.dy));
    target.setTransform(gfx::Matrix::identity());
    target.fillRectangle(toDevice(m, unit), checkerboard);
    target.setTransform(m);

    const bool dimming = emphasizedWidget_ && emphasisFade_ < 1.0f;
    if (dimming)
        pushEmphasisLayer(target);
    paintChildren(target);
    if (emphasizedWidget_) {
        if (dimming)
            target.popLayer();
        // The widget's rectangle in the view's content space.
        gfx::Matrix toView = gfx::Matrix::identity();
        for (ui::Control* node = emphasizedWidget_; node && node != this; node = node->parent())
            toView = toView * node->transform();
        const gfx::Point topLeft = toView.transformPoint({0.0f, 0.0f});
        const gfx::Point bottomRight =
            toView.transformPoint({emphasizedWidget_->width(), emphasizedWidget_->height()});
        drawPixelOutline(target, {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, resources_.black());
    }
    target.popAxisAlignedClip();
}

} // namespace screen
