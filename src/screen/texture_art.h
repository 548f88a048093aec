#pragma once
// "Graphic" art: a texture from the screen's texture cache stretched over the
// item, at the opacity of its colour's alpha (the colour's red, green and
// blue are not applied), optionally mirrored in either direction so that it
// covers the same rectangle flipped. Missing and broken textures draw the
// cache's placeholder; an empty name draws nothing. The first art item to
// draw a missing or invalid texture notes it among the view's findings.

#include "assets/texture_cache.h"
#include "gfx/bitmap.h"
#include "screen/art_item.h"

namespace screen {

class TextureArt final : public ArtItem {
public:
    struct Properties {
        std::string texture = "art/";
        bool named = true; // false: the table gave no texture name, and "art/" is drawn
        bool flipHorizontal = false;
        bool flipVertical = false;
        ColourValue colour{{1.0f, 1.0f, 1.0f, 1.0f}, {}};
    };

    TextureArt(ScreenView& screen, lua_State* lua, Properties properties);

    const Properties& properties() const { return properties_; }

    // Indeterminate inside the item while its alpha is above 0, else Miss.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

private:
    // Notes a missing or invalid texture among the view's findings (once per texture).
    void reportTexture(const assets::TextureCache::Texture& resolved);

    Properties properties_;
    gfx::BitmapPtr bitmap_; // from the texture cache, on first paint
};

} // namespace screen
