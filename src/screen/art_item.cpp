#include "screen/art_item.h"

#include "gfx/ink_meter.h"
#include "screen/lua_protect.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <lua.hpp>

namespace screen {

ArtItem::ArtItem(ScreenView& screen, lua_State* lua, ArtKind kind) : screen_(&screen), lua_(lua), kind_(kind) {}

ArtItem::~ArtItem()
{
    if (tableRef_ >= 0)
        runProtected(lua_, [this](lua_State* L) { luaL_unref(L, LUA_REGISTRYINDEX, tableRef_); });
}

const char* ArtItem::kindName() const
{
    switch (kind_) {
    case ArtKind::Texture: return "TextureArt";
    case ArtKind::Text: return "TextArt";
    case ArtKind::Rectangle: return "RectangleArt";
    case ArtKind::Line: return "LineArt";
    case ArtKind::Flash: return "FlashArt";
    case ArtKind::Base: break;
    }
    return "ArtItem";
}

Bounds ArtItem::bounds() const { return {Control::transform().dx, Control::transform().dy, width(), height()}; }

std::optional<int> ArtItem::line() const
{
    return table_ && lua_ == screen_->lua() ? screen_->tableLine(table_) : std::nullopt;
}

Widget* ArtItem::widget() const
{
    // Asked for on every paint: looked up again only when the parent changed.
    if (parent() != ownerOf_) {
        ownerOf_ = parent();
        owner_ = dynamic_cast<Widget*>(ownerOf_);
    }
    return owner_;
}

const gfx::Matrix& ArtItem::transform() const
{
    const gfx::Matrix& own = Control::transform();
    const Widget* owner = widget();
    const float sx = owner ? owner->width() : 1.0f;
    const float sy = owner ? owner->height() : 1.0f;
    itemTransform_ = {sx, 0.0f, 0.0f, sy, own.dx * sx, own.dy * sy};
    return itemTransform_;
}

void ArtItem::textChanged() {}

bool ArtItem::passesStateGate() const
{
    const Widget* owner = widget();
    return owner && (anyState_ || stateFlags_[owner->artState()]);
}

gfx::Rect ArtItem::ink(gfx::InkMeter& meter)
{
    meter.ink();
    anyState_ = true;
    paint(meter);
    anyState_ = false;
    return meter.ink();
}

} // namespace screen
