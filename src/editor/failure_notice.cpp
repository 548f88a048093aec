#include "editor/failure_notice.h"

#include "data/ansi_text.h"
#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "gfx/text_format.h"

namespace editor {

namespace {

constexpr float Margin = 16.0f;
constexpr float TextSize = 15.0f;

} // namespace

void paintFailureNotice(gfx::RenderTarget& target, const gfx::GraphicsContext& graphics, const std::string& message,
                        float width, float height)
{
    const gfx::SolidColorBrush background({1, 1, 1, 1});
    target.fillRectangle({0, 0, width, height}, background);
    if (width <= 2 * Margin || height <= 2 * Margin)
        return;
    const gfx::TextFormatPtr format = graphics.createStandardTextFormat(gfx::FontWeight::Normal, TextSize);
    format->setWordWrapping(gfx::WordWrapping::Wrap);
    const gfx::SolidColorBrush ink({0.6f, 0.0f, 0.0f, 1.0f});
    target.drawText(Mod::ansiToUtf16(message), *format, {Margin, Margin, width - Margin, height - Margin}, ink);
}

} // namespace editor
