#include "editor/screen_placeholder.h"

#include "data/ansi_text.h"
#include "gfx/render_target.h"
#include "ui/selector.h"

#include <limits>

namespace editor {

ScreenPlaceholder::ScreenPlaceholder(ui::Selector& selector, const std::string& path) : selector_(&selector)
{
    const std::size_t slash = path.find_last_of("\\/");
    name_ = Mod::ansiToUtf16(slash == std::string::npos ? path : path.substr(slash + 1));
    constexpr float NoLimit = std::numeric_limits<float>::infinity();
    layout_ = std::make_unique<gfx::TextLayout>(selector.graphics(), name_ + u"\nScreens cannot be shown yet.",
                                                selector.headerFormat(), NoLimit, NoLimit);
    layout_->setTextAlignment(gfx::TextAlignment::Center);
}

void ScreenPlaceholder::layout()
{
    layout_->setMaxWidth(width_);
    layout_->setMaxHeight(height_);
    invalidate();
}

void ScreenPlaceholder::paint(gfx::RenderTarget& target)
{
    ui::SelectorBrushes& brushes = selector_->brushes();
    ui::stretchVertically(brushes.backgroundGradient, height_);
    target.fillRectangle({0, 0, width_, height_}, brushes.backgroundGradient);
    target.drawTextLayout({0, 0}, *layout_, brushes.headerText);
}

} // namespace editor
