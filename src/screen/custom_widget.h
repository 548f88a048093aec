#pragma once
// "Custom": a widget the game draws with its own code, shown here as a
// placeholder box (placeholder_box.h) over the widget, labelled "Custom", two
// line feeds and the widget's name. The box's fill shows at half opacity
// while the pointer is over the widget and is invisible otherwise; the
// outline and label show at half opacity, full under the pointer. It draws no
// children, but is a hover target wherever one of its children is hit,
// visible or not.

#include "gfx/text_layout.h"
#include "screen/widget.h"

#include <memory>

namespace screen {

class CustomWidget final : public Widget {
public:
    CustomWidget(ScreenView& screen, lua_State* lua);
    ~CustomWidget() override;

    // The child found at the point, or the widget itself, visible or not.
    ui::Control* hitTarget(float x, float y) override;
    // The container rule, visible or not.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;
    // The box's fill shows only under the pointer: the box is repainted.
    void hoverChanged() override;

    // The label as drawn; null before the first paint.
    const gfx::TextLayout* label() const { return label_.get(); }

private:
    std::unique_ptr<gfx::TextLayout> label_;
};

} // namespace screen
