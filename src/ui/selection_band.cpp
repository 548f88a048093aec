#include "ui/selection_band.h"

#include "data/ansi_text.h"
#include "gfx/render_target.h"
#include "ui/drag_handler.h"
#include "ui/selector.h"

#include <cmath>
#include <limits>

namespace ui {

SelectionBand::SelectionBand(Selector& selector, const std::string& path) : selector_(&selector)
{
    constexpr float NoLimit = std::numeric_limits<float>::infinity();
    layout_ = std::make_unique<gfx::TextLayout>(selector.graphics(), Mod::ansiToUtf16(path), selector.headerFormat(),
                                                NoLimit, NoLimit);
    layout_->setTextAlignment(gfx::TextAlignment::Center);
    thickness_ = std::ceil(1.5f * layout_->metrics().height);
    layout_->setMaxHeight(thickness_);
    rotated_ = {0, -1, 1, 0, 0, 0};
}

void SelectionBand::setBounds(float x, float y, float width, float height)
{
    rotated_ = {0, -1, 1, 0, x, y + width};
    Control::setBounds(x, y, width, height);
}

const gfx::Matrix& SelectionBand::transform() const { return rotated_; }

Control* SelectionBand::hitTarget(float, float) { return this; }

bool SelectionBand::wantsHandCursor(float, float) { return true; }

std::unique_ptr<DragHandler> SelectionBand::press(float x, float y, int button)
{
    if (button != LeftButton)
        return nullptr;
    Selector* selector = selector_;
    return makeClickHandler(*this, {x, y}, [selector] { selector->goBack(); });
}

HitResult SelectionBand::hitTest(float x, float y) { return solidHitTest(x, y); }

void SelectionBand::layout()
{
    layout_->setMaxWidth(width_);
    stretchVertically(selector_->brushes().bandGradient, height_);
    invalidate();
}

void SelectionBand::paint(gfx::RenderTarget& target)
{
    SelectorBrushes& brushes = selector_->brushes();
    const gfx::Brush* text = &brushes.white;
    if (isHovered()) {
        stretchVertically(brushes.hoverGradient, height_);
        const gfx::Rect box{0.5f, 0, width_ - 0.5f, height_ - 0.5f};
        target.fillRectangle(box, brushes.hoverGradient);
        target.drawRectangle(box, brushes.hoverOutline, 1.0f);
        text = &brushes.black;
    } else {
        stretchVertically(brushes.bandGradient, height_);
        target.fillRectangle({0, 0, width_, height_}, brushes.bandGradient);
    }
    target.drawTextLayout({0, 0}, *layout_, *text, gfx::DrawTextOptions::Clip);
}

} // namespace ui
