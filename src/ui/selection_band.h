#pragma once
// The band that stands at a selector's left edge while a file is chosen,
// naming it from bottom to top; a left click goes back to the list. It is
// laid out as a horizontal strip (width along the selector's height) and
// stood up by a quarter turn.

#include "gfx/text_layout.h"
#include "ui/clickable_control.h"

#include <functional>

#include <memory>
#include <string>

namespace ui {

class SelectorLook;

class SelectionBand final : public ClickableControl {
public:
    // look must outlive the band; a left click runs onClick.
    SelectionBand(SelectorLook& look, const std::u16string& text, std::function<void()> onClick);

    // Shows another text, laid out as the first.
    void setText(const std::u16string& text);

    // ceil(1.5 × the text height): the band's width on screen.
    float thickness() const { return thickness_; }
    const gfx::TextLayout& textLayout() const { return *layout_; }

    void setBounds(float x, float y, float width, float height) override;
    const gfx::Matrix& transform() const override;
    void paint(gfx::RenderTarget& target) override;
    void layout() override;

private:
    SelectorLook* look_;
    std::unique_ptr<gfx::TextLayout> layout_;
    float thickness_ = 0;
    gfx::Matrix rotated_;
};

} // namespace ui
