#include "screen/widget.h"

#include "gfx/render_target.h"
#include "screen/art_item.h"
#include "screen/lua_protect.h"
#include "screen/screen_view.h"

#include <lua.hpp>

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
    text_ = std::move(text);
    for (ArtItem* item : artItems_)
        item->textChanged();
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
    leaveEmphasis(target);
    paintChildren(target);
    reenterEmphasis(target);
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
