#include "editor/screen_selector.h"

#include "editor/screen_host.h"

namespace editor {

ScreenSelector::ScreenSelector(const gfx::GraphicsContext& graphics, std::unique_ptr<Mod::ModContext> context)
    : Selector(graphics, "screen", context->source), context_(std::move(context))
{
    addFolder(Mod::ScreensFolder);
}

// The rows and the detail go before the mounted module they were read from.
ScreenSelector::~ScreenSelector() { clearChildren(); }

std::unique_ptr<ui::Control> ScreenSelector::createDetail(const std::string& path)
{
    return std::make_unique<ScreenHost>(graphics(), *context_, path);
}

} // namespace editor
