#pragma once
// "Line" art: a line one device pixel wide in the item's colour between its
// points p1 and p2, given in the item's space (fractions of the widget's
// size, offset by the item's position).

#include "gfx/brush.h"
#include "gfx/geometry.h"
#include "screen/art_item.h"

#include <memory>

namespace screen {

class LineArt final : public ArtItem {
public:
    struct Properties {
        ColourValue colour{{0.0f, 0.0f, 0.0f, 1.0f}, {}};
        gfx::Point p1;
        gfx::Point p2;
    };

    LineArt(ScreenView& screen, lua_State* lua, Properties properties);
    ~LineArt() override;

    const Properties& properties() const { return properties_; }

    // Lines are never hit (the base kind's Miss).
    void paint(gfx::RenderTarget& target) override;

private:
    Properties properties_;
    std::unique_ptr<gfx::SolidColorBrush> brush_;
};

} // namespace screen
