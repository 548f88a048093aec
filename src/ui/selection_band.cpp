#include "ui/selection_band.h"

#include "gfx/render_target.h"
#include "ui/selector_look.h"

#include <cmath>

namespace ui {

SelectionBand::SelectionBand(SelectorLook& look, const std::u16string& text, std::function<void()> onClick)
    : ClickableControl(std::move(onClick)), look_(&look)
{
    setText(text);
    rotated_ = {0, -1, 1, 0, 0, 0};
}

void SelectionBand::setText(const std::u16string& text)
{
    layout_ = std::make_unique<gfx::TextLayout>(look_->graphics(), text, look_->headerFormat(),
                                                gfx::TextLayout::NoLimit, gfx::TextLayout::NoLimit);
    layout_->setTextAlignment(gfx::TextAlignment::Center);
    thickness_ = std::ceil(1.5f * layout_->metrics().height);
    layout_->setMaxHeight(thickness_);
    layout_->setMaxWidth(width());
    invalidate();
}

void SelectionBand::setBounds(float x, float y, float width, float height)
{
    rotated_ = {0, -1, 1, 0, x, y + width};
    Control::setBounds(x, y, width, height);
}

const gfx::Matrix& SelectionBand::transform() const { return rotated_; }

void SelectionBand::layout()
{
    layout_->setMaxWidth(width());
    stretchVertically(look_->brushes().bandGradient, height());
    invalidate();
}

void SelectionBand::paint(gfx::RenderTarget& target)
{
    SelectorBrushes& brushes = look_->brushes();
    const gfx::Brush* text = &brushes.white;
    if (isHovered()) {
        stretchVertically(brushes.hoverGradient, height());
        const gfx::Rect box{0.5f, 0, width() - 0.5f, height() - 0.5f};
        target.fillRectangle(box, brushes.hoverGradient);
        target.drawRectangle(box, brushes.hoverOutline, 1.0f);
        text = &brushes.black;
    } else {
        stretchVertically(brushes.bandGradient, height());
        target.fillRectangle({0, 0, width(), height()}, brushes.bandGradient);
    }
    target.drawTextLayout({0, 0}, *layout_, *text, gfx::DrawTextOptions::Clip);
}

} // namespace ui
