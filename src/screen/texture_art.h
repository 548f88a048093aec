#pragma once
// "Graphic" art: a texture from the screen's texture cache stretched over the
// item, at the opacity of its colour's alpha (the colour's red, green and
// blue are not applied), optionally mirrored in either direction so that it
// covers the same rectangle flipped. Missing and broken textures draw the
// cache's placeholder; an empty name draws nothing.

#include "gfx/bitmap.h"
#include "screen/art_item.h"

namespace screen {

class TextureArt final : public ArtItem {
public:
    struct Properties {
        std::string texture = "art/";
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
    Properties properties_;
    gfx::BitmapPtr bitmap_; // from the texture cache, on first paint
};

} // namespace screen
