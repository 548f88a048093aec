#include "screen/flash_art.h"

#include "data/ansi_text.h"
#include "screen/placeholder_box.h"
#include "screen/screen_view.h"

namespace screen {

FlashArt::FlashArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Flash), properties_(std::move(properties))
{
}

FlashArt::~FlashArt() = default;

ui::HitResult FlashArt::hitTest(float x, float y)
{
    return properties_.alpha > 0.0f && solidHitTest(x, y) ? ui::HitResult::Indeterminate : ui::HitResult::Miss;
}

void FlashArt::paint(gfx::RenderTarget& target)
{
    if (!label_)
        label_ = std::make_unique<gfx::TextLayout>(screen().graphics(),
                                                   u"\n\nScaleForm\n\n" + Mod::ansiToUtf16(properties_.swf),
                                                   screen().resources().placeholderFormat(), 0.0f, 0.0f);
    drawPlaceholderBox(target, screen().resources(), *label_, properties_.alpha, width(), height());
}

} // namespace screen
