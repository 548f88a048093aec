#include "screen/screen_view.h"

#include "data/lua_chunk.h"
#include "data/mod_context.h"
#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/screen_load_error.h"
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
      resources_(graphics)
{
    Mod::FilePtr file = files.source->open(path);
    if (!Mod::hasData(file))
        throw std::runtime_error("Cannot open screen file " + path);

    lua_ = assets::newState(limits);
    lua_State* L = lua_.get();
    try {
        const char* stage = "load";
        int status = Mod::LoadLuaChunk(L, std::move(file));
        if (status == LUA_OK)
            status = lua_pcall(L, 0, 0, 0);
        if (status == LUA_OK) {
            stage = "instantiate";
            lua_pushcfunction(L, instantiate);
            lua_pushlightuserdata(L, this);
            status = lua_pcall(L, 1, 0, 0);
        }
        if (status != LUA_OK) {
            const std::string message =
                "Cannot " + std::string(stage) + " screen file " + path + ": " + assets::errorText(L);
            base::Finding finding;
            finding.level = base::FindingLevel::Error;
            finding.code = "load-error";
            finding.message = message;
            throw ScreenLoadError(message, std::move(finding));
        }
    } catch (...) {
        // The widgets release their references while the state is open; the
        // state goes before the error leaves.
        closing_ = true;
        clearChildren();
        tooltipRoot_ = widgetsRoot_ = nullptr;
        lua_.reset();
        throw;
    }
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
    WidgetFactory factory(*this, L);
    lua_getglobal(L, "Screen");
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
    float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const gfx::Point corner : {gfx::Point{rect.left, rect.top}, gfx::Point{rect.right, rect.top},
                                    gfx::Point{rect.left, rect.bottom}, gfx::Point{rect.right, rect.bottom}}) {
        const gfx::Point p = toContent.transformPoint(corner);
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    invalidateRect({left, top, right, bottom});
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
