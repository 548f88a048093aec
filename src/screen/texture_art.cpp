#include "screen/texture_art.h"

#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/screen_view.h"

namespace screen {

TextureArt::TextureArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Texture), properties_(std::move(properties))
{
}

ui::HitResult TextureArt::hitTest(float x, float y)
{
    return properties_.colour.color.a > 0.0f && solidHitTest(x, y) ? ui::HitResult::Indeterminate
                                                                     : ui::HitResult::Miss;
}

void TextureArt::paint(gfx::RenderTarget& target)
{
    if (!passesStateGate() || properties_.texture.empty())
        return;
    const gfx::Matrix m = target.transform();
    const float w = width(), h = height();
    if (!isDrawable(toDevice(m, {0.0f, 0.0f, w, h})))
        return;
    if (!bitmap_)
        bitmap_ = screen().assets().getTexture(properties_.texture);
    const float opacity = properties_.colour.color.a;
    const bool flipX = properties_.flipHorizontal, flipY = properties_.flipVertical;
    if (!flipX && !flipY) {
        target.drawBitmap(bitmap_, {0.0f, 0.0f, w, h}, opacity, gfx::BitmapInterpolationMode::Linear);
        return;
    }
    // Mirrored about the item's origin, drawn into the mirrored rectangle:
    // the same area, the picture flipped.
    target.setTransform(gfx::Matrix::scale(flipX ? -1.0f : 1.0f, flipY ? -1.0f : 1.0f) * m);
    const gfx::Rect mirrored{flipX ? -w : 0.0f, flipY ? -h : 0.0f, flipX ? 0.0f : w, flipY ? 0.0f : h};
    target.drawBitmap(bitmap_, mirrored, opacity, gfx::BitmapInterpolationMode::Linear);
    target.setTransform(m);
}

} // namespace screen
