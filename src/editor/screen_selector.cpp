#include "editor/screen_selector.h"

#include "editor/screen_host.h"

#include "app/native_window.h"
#include "data/ansi_text.h"
#include "editor/preview_size.h"

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
    // The panel floats above the window the list is shown in.
    const ui::Control* root = this;
    while (root->parent())
        root = root->parent();
    const auto* window = dynamic_cast<const app::NativeWindow*>(root);
    return std::make_unique<ScreenHost>(graphics(), *context_, path, window ? window->widget() : nullptr);
}

std::u16string ScreenSelector::bandText(const std::string& path)
{
    const PreviewSize size = runPreviewSize();
    return Mod::ansiToUtf16(path) + (size.fitsWindow() ? u"" : u"  at " + previewLabel(size));
}

} // namespace editor
