#include "ui/selector_row.h"

#include "gfx/render_target.h"
#include "ui/selector_look.h"

#include <algorithm>
#include <cmath>

namespace ui {

SelectorRow::SelectorRow(SelectorLook& look, std::string path, const std::vector<std::u16string>& cells,
                         const std::vector<float>& columnWidths, std::function<void()> onChoose)
    : ClickableControl(std::move(onChoose)), look_(&look), columnWidths_(&columnWidths), path_(std::move(path))
{
    float rowHeight = 0;
    for (const std::u16string& cell : cells) {
        auto layout = std::make_unique<gfx::TextLayout>(look.graphics(), cell, look.itemFormat(),
                                                        gfx::TextLayout::NoLimit, gfx::TextLayout::NoLimit);
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

void SelectorRow::setFocused(bool focused)
{
    focused_ = focused;
    invalidate();
}

void SelectorRow::setMarked(bool marked)
{
    marked_ = marked;
    invalidate();
}

void SelectorRow::paint(gfx::RenderTarget& target)
{
    SelectorBrushes& brushes = look_->brushes();
    const gfx::Brush* text = &brushes.itemText;
    if (isHovered()) {
        stretchVertically(brushes.hoverGradient, height());
        const gfx::RoundedRect highlight{{0.5f, 0.5f, width() - 0.5f, height() - 0.5f}, 2.0f, 2.0f};
        target.fillRoundedRectangle(highlight, brushes.hoverGradient);
        target.drawRoundedRectangle(highlight, brushes.hoverOutline, 1.0f);
        text = &brushes.black;
    }
    if (focused_) {
        const gfx::RoundedRect outline{{0.5f, 0.5f, width() - 0.5f, height() - 0.5f}, 2.0f, 2.0f};
        target.drawRoundedRectangle(outline, brushes.itemText, 1.0f, &look_->focusStroke());
    }
    if (marked_) {
        // In the indent before the first column, centred on the row.
        constexpr float Radius = 2.5f, Centre = 8.0f;
        const float middle = height() / 2.0f;
        const gfx::Rect dot{Centre - Radius, middle - Radius, Centre + Radius, middle + Radius};
        target.fillRoundedRectangle({dot, Radius, Radius}, *text);
    }
    const std::vector<float>& widths = *columnWidths_;
    float x = 0;
    for (std::size_t i = 0; i < layouts_.size(); ++i) {
        target.drawTextLayout({x + 16, 0}, *layouts_[i], *text);
        x += (i < widths.size() ? widths[i] : textWidths_[i]) + 16;
    }
}

} // namespace ui
