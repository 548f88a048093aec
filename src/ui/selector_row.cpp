#include "ui/selector_row.h"

#include "gfx/render_target.h"
#include "ui/drag_handler.h"
#include "ui/selector.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

SelectorRow::SelectorRow(Selector& selector, std::string path) : selector_(&selector), path_(std::move(path))
{
    constexpr float NoLimit = std::numeric_limits<float>::infinity();
    float rowHeight = 0;
    for (std::size_t column = 0; column < selector.columnCount(); ++column) {
        auto layout = std::make_unique<gfx::TextLayout>(selector.graphics(), selector.cellText(column, path_),
                                                        selector.itemFormat(), NoLimit, NoLimit);
        const gfx::TextMetrics metrics = layout->metrics();
        textWidths_.push_back(metrics.width);
        if (metrics.lineCount > 0) {
            const float lines = static_cast<float>(metrics.lineCount);
            rowHeight = std::max(rowHeight, std::ceil(metrics.height * (lines + 0.5f) / lines));
        }
        layouts_.push_back(std::move(layout));
    }
    for (const std::unique_ptr<gfx::TextLayout>& layout : layouts_)
        layout->setMaxHeight(rowHeight);
    setBounds(0, 0, 100, rowHeight);
}

Control* SelectorRow::hitTarget(float, float) { return this; }

bool SelectorRow::wantsHandCursor(float, float) { return true; }

std::unique_ptr<DragHandler> SelectorRow::press(float x, float y, int button)
{
    if (button != LeftButton)
        return nullptr;
    Selector* selector = selector_;
    return makeClickHandler(*this, {x, y}, [selector, path = path_] { selector->choose(path); });
}

HitResult SelectorRow::hitTest(float x, float y) { return solidHitTest(x, y); }

void SelectorRow::paint(gfx::RenderTarget& target)
{
    SelectorBrushes& brushes = selector_->brushes();
    const gfx::Brush* text = &brushes.itemText;
    if (isHovered()) {
        stretchVertically(brushes.hoverGradient, height_);
        const gfx::RoundedRect highlight{{0.5f, 0.5f, width_ - 0.5f, height_ - 0.5f}, 2.0f, 2.0f};
        target.fillRoundedRectangle(highlight, brushes.hoverGradient);
        target.drawRoundedRectangle(highlight, brushes.hoverOutline, 1.0f);
        text = &brushes.black;
    }
    const std::vector<float>& widths = selector_->columnWidths();
    float x = 0;
    for (std::size_t i = 0; i < layouts_.size(); ++i) {
        target.drawTextLayout({x + 16, 0}, *layouts_[i], *text);
        x += (i < widths.size() ? widths[i] : textWidths_[i]) + 16;
    }
}

} // namespace ui
