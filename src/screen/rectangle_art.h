#pragma once
// "Rectangle" art: the item's rectangle filled with its colour, or, for the
// "Border" type, its one-pixel outline (device_geometry.h).

#include "gfx/brush.h"
#include "screen/art_item.h"

#include <memory>

namespace screen {

class RectangleArt final : public ArtItem {
public:
    struct Properties {
        ColourValue colour{{0.0f, 0.0f, 0.0f, 1.0f}, {}};
        bool border = false; // `rectangleType` "Border"
    };

    RectangleArt(ScreenView& screen, lua_State* lua, Properties properties);
    ~RectangleArt() override;

    const Properties& properties() const { return properties_; }

    // Inside the item: Hit when opaque, Indeterminate when translucent;
    // Miss outside or when fully transparent.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

private:
    Properties properties_;
    std::unique_ptr<gfx::SolidColorBrush> brush_;
};

} // namespace screen
