#pragma once
// The band that stands at a selector's left edge while a file is chosen,
// naming it from bottom to top; a left click goes back to the list. It is
// laid out as a horizontal strip (width along the selector's height) and
// stood up by a quarter turn.

#include "gfx/text_layout.h"
#include "ui/control.h"

#include <memory>
#include <string>

namespace ui {

class Selector;

class SelectionBand final : public Control {
public:
    SelectionBand(Selector& selector, const std::string& path);

    // ceil(1.5 × the text height): the band's width on screen.
    float thickness() const { return thickness_; }
    const gfx::TextLayout& textLayout() const { return *layout_; }

    void setBounds(float x, float y, float width, float height) override;
    const gfx::Matrix& transform() const override;
    Control* hitTarget(float x, float y) override;
    bool wantsHandCursor(float x, float y) override;
    std::unique_ptr<DragHandler> press(float x, float y, int button) override;
    HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;
    void layout() override;

private:
    Selector* selector_;
    std::unique_ptr<gfx::TextLayout> layout_;
    float thickness_ = 0;
    gfx::Matrix rotated_;
};

} // namespace ui
