#pragma once
// "Swf" art: a Flash movie, which the viewer does not play, drawn as a
// placeholder box (placeholder_box.h) over the item at opacity `alpha`,
// labelled with two line feeds, "ScaleForm", two line feeds and the `swf`
// name. It draws whatever its state flags.

#include "gfx/text_layout.h"
#include "screen/art_item.h"

#include <memory>

namespace screen {

class FlashArt final : public ArtItem {
public:
    struct Properties {
        std::string swf = "no file";
        float alpha = 1.0f;
    };

    FlashArt(ScreenView& screen, lua_State* lua, Properties properties);
    ~FlashArt() override;

    const Properties& properties() const { return properties_; }

    // Indeterminate inside the item while alpha is above 0, else Miss.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

    // The label as drawn; null before the first paint.
    const gfx::TextLayout* label() const { return label_.get(); }

private:
    Properties properties_;
    std::unique_ptr<gfx::TextLayout> label_;
};

} // namespace screen
