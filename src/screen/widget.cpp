#include "screen/widget.h"

#include "gfx/ink_meter.h"
#include "gfx/render_target.h"
#include "screen/art_item.h"
#include "screen/lua_protect.h"
#include "screen/screen_view.h"

#include <lua.hpp>

#include <exception>

namespace screen {

Widget::Widget(ScreenView& screen, lua_State* lua, WidgetKind kind) : screen_(&screen), lua_(lua), kind_(kind) {}

Widget::~Widget()
{
    if (nameRegistered_ || tableRef_ >= 0) {
        runProtected(lua_, [this](lua_State* L) {
            if (nameRegistered_) {
                lua_pushlstring(L, name_.data(), name_.size());
                lua_rawget(L, LUA_REGISTRYINDEX);
                const bool mine = lua_touserdata(L, -1) == this;
                lua_pop(L, 1);
                if (mine) {
                    lua_pushlstring(L, name_.data(), name_.size());
                    lua_pushnil(L);
                    lua_rawset(L, LUA_REGISTRYINDEX);
                }
            }
            if (tableRef_ >= 0)
                luaL_unref(L, LUA_REGISTRYINDEX, tableRef_);
        });
    }
    // The children go before the vectors that point at them.
    clearChildren();
}

std::optional<int> Widget::line() const
{
    return table_ && lua_ == screen_->lua() ? screen_->tableLine(table_) : std::nullopt;
}

const char* Widget::kindName() const
{
    switch (kind_) {
    case WidgetKind::Shape: return "ShapeWidget";
    case WidgetKind::Custom: return "CustomWidget";
    case WidgetKind::Plain: break;
    }
    return "PlainWidget";
}

Bounds Widget::bounds() const { return {Control::transform().dx, Control::transform().dy, width(), height()}; }

void Widget::setVisible(bool visible)
{
    visible_ = visible;
    if (tableRef_ >= 0) {
        runProtected(lua_, [&](lua_State* L) {
            lua_rawgeti(L, LUA_REGISTRYINDEX, tableRef_);
            lua_pushstring(L, "visible");
            lua_pushboolean(L, visible);
            lua_rawset(L, -3);
        });
    }
    invalidate();
}

void Widget::setText(std::string text)
{
    if (tableRef_ < 0 || (text_ && *text_ == text))
        return;
    // Stored for whoever reads the table; what draws is the copy kept here,
    // so a state too full to store it still shows the text.
    runProtected(lua_, [&](lua_State* L) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, tableRef_);
        lua_pushstring(L, "text");
        lua_pushlstring(L, text.data(), text.size());
        lua_rawset(L, -3);
    });
    // What the text art drew, and what it will draw.
    auto isText = [](const ArtItem& item) { return item.kind() == ArtKind::Text; };
    ui::Damage ink;
    const bool before = addArtInk(ink, isText);
    text_ = std::move(text);
    for (ArtItem* item : artItems_)
        item->textChanged();
    const bool after = before && addArtInk(ink, isText);
    // Measuring laid the new text out; the next paint lays it out again.
    for (ArtItem* item : artItems_)
        item->textChanged();
    if (after)
        damage(ink);
    else
        invalidate();
}

void Widget::damage(const ui::Damage& ink)
{
    for (const gfx::Rect& rect : ink.rects) {
        screen_->invalidateDevice(rect);
        // What this widget and its ancestors draw now reaches there.
        for (Widget* node = this; node; node = dynamic_cast<Widget*>(node->parent()))
            node->drawn_ = ui::Damage::unite(node->drawn_, rect);
    }
}

bool Widget::addArtInk(ui::Damage& ink, bool (*filter)(const ArtItem&)) const
{
    gfx::Matrix at;
    if (!screen_->paintedTransform(*this, at))
        return false;
    gfx::InkMeter meter(screen_->graphics());
    meter.beginDraw();
    for (ArtItem* item : artItems_) {
        if (!filter(*item))
            continue;
        meter.setTransform(item->transform() * at);
        ink.add(item->ink(meter));
    }
    try {
        meter.endDraw();
    } catch (const std::exception&) {
        // What the items would do wrong shows when they are painted.
    }
    return true;
}

void Widget::hoverChanged()
{
    if (screen_->closing()) {
        invalidate();
        return;
    }
    // Painting hands the tooltip over from the hover target; done now, its
    // text's change is repainted with the rest, in the same frame.
    bool painted = true;
    for (const Widget* node = this; node && painted; node = dynamic_cast<const Widget*>(node->parent()))
        painted = node->shown();
    if (painted)
        handOverTooltip();
    ui::Damage ink;
    if (addArtInk(ink, [](const ArtItem& item) { return item.stateFlags()[1] != item.stateFlags()[2]; }))
        damage(ink);
    else
        invalidate();
}

int Widget::artState() const { return isHovered() ? 2 : 1; }

ui::Control* Widget::hitTarget(float x, float y)
{
    if (!shown())
        return nullptr;
    ui::Control* found = ContainerControl::hitTarget(x, y);
    return found ? found : this;
}

ui::HitResult Widget::hitTest(float x, float y)
{
    if (!shown())
        return ui::HitResult::Miss;
    return ContainerControl::hitTest(x, y);
}

void Widget::paint(gfx::RenderTarget& target)
{
    if (!shown())
        return;
    handOverTooltip();
    if (outsideClip(target)) {
        target.addDrawn(drawn_);
        return;
    }
    const gfx::Rect before = target.takeDrawn();
    leaveEmphasis(target);
    paintChildren(target);
    reenterEmphasis(target);
    drawn_ = target.takeDrawn();
    drawnStamp_ = screen_->drawnStamp();
    target.addDrawn(before);
    target.addDrawn(drawn_);
}

bool Widget::outsideClip(const gfx::RenderTarget& target) const
{
    if (drawnStamp_ != screen_->drawnStamp() || isHovered() ||
        (screen_->emphasizedWidget() && screen_->emphasisFade() < 1.0f))
        return false;
    const std::optional<gfx::Rect> clip = target.clipBounds();
    return clip && !(drawn_.left < clip->right && clip->left < drawn_.right && drawn_.top < clip->bottom &&
                     clip->top < drawn_.bottom);
}

void Widget::handOverTooltip()
{
    if (hoverState() != ui::StateTarget)
        return;
    Widget*& current = screen_->currentTooltipWidget_;
    // Cleared only when the tooltip moves on: a steady hover must not
    // rewrite the text (and rebuild its layout) on every paint.
    if (current != tooltipWidget_) {
        if (current)
            current->setText(std::string());
        current = tooltipWidget_;
    }
    if (tooltipWidget_)
        tooltipWidget_->setText(tooltipText_);
}

void Widget::leaveEmphasis(gfx::RenderTarget& target)
{
    if (screen_->dimsAround(*this))
        target.popLayer();
}

void Widget::reenterEmphasis(gfx::RenderTarget& target)
{
    if (screen_->dimsAround(*this))
        screen_->pushEmphasisLayer(target);
}

ui::Control* ShapeWidget::hitTarget(float x, float y)
{
    if (!shown())
        return nullptr;
    if (ui::Control* found = ContainerControl::hitTarget(x, y))
        return found;
    for (ArtItem* item : artItems()) {
        const gfx::Point p = ui::mapToChild(*item, x, y);
        if (item->hitTest(p.x, p.y) == ui::HitResult::Hit)
            return this;
    }
    return nullptr;
}

} // namespace screen
