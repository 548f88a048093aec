#include "editor/screen_placeholder.h"

#include "data/ansi_text.h"
#include "gfx/render_target.h"
#include "data/text_compare.h"
#include "ui/selector_look.h"

namespace editor {

ScreenPlaceholder::ScreenPlaceholder(ui::SelectorLook& look, const std::string& path)
    : look_(&look), name_(Mod::ansiToUtf16(Mod::fileNameOf(path)))
{
    layout_ = std::make_unique<gfx::TextLayout>(look.graphics(), name_ + u"\nScreens cannot be shown yet.",
                                                look.headerFormat(), gfx::TextLayout::NoLimit, gfx::TextLayout::NoLimit);
    layout_->setTextAlignment(gfx::TextAlignment::Center);
}

void ScreenPlaceholder::layout()
{
    layout_->setMaxWidth(width());
    layout_->setMaxHeight(height());
    invalidate();
}

void ScreenPlaceholder::paint(gfx::RenderTarget& target)
{
    ui::SelectorBrushes& brushes = look_->brushes();
    ui::stretchVertically(brushes.backgroundGradient, height());
    target.fillRectangle({0, 0, width(), height()}, brushes.backgroundGradient);
    target.drawTextLayout({0, 0}, *layout_, brushes.headerText);
}

} // namespace editor
