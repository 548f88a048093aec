#include "editor/screen_selector.h"

#include "editor/screen_host.h"

#include "app/native_window.h"
#include "data/ansi_text.h"
#include "data/file_origin.h"
#include "editor/preview_size.h"
#include "screen/screen_load_error.h"

#include <exception>

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
    QWidget* owner = window ? window->widget() : nullptr;
    loadedVisibility_.clear();
    if (failure_)
        return std::make_unique<ScreenHost>(graphics(), *context_, path, *failure_, std::nullopt, owner);
    std::unique_ptr<ScreenHost> host;
    try {
        host = std::make_unique<ScreenHost>(graphics(), *context_, path, owner);
    } catch (const std::exception& error) {
        if (!reloading_)
            throw;
        std::optional<base::Finding> where;
        if (const auto* located = dynamic_cast<const screen::ScreenLoadError*>(&error))
            where = located->finding();
        return std::make_unique<ScreenHost>(graphics(), *context_, path, error.what(), std::move(where), owner);
    }
    loadedVisibility_ = KeptWidgetState::visibilityOf(host->view());
    return host;
}

std::u16string ScreenSelector::bandText(const std::string& path)
{
    const PreviewSize size = runPreviewSize();
    return Mod::ansiToUtf16(path) + (size.fitsWindow() ? u"" : u"  at " + previewLabel(size));
}

bool ScreenSelector::marksRow(const std::string& path)
{
    const std::vector<Mod::FileOrigin> origins = Mod::fileOrigins(*context_->source, path);
    return !origins.empty() && origins.front().index < context_->ownSourceCount;
}

void ScreenSelector::reload(const std::string& path, const KeptWidgetState& kept, const std::string* failure)
{
    if (detail())
        goBack();
    struct Reloading {
        ScreenSelector& selector;
        ~Reloading()
        {
            selector.reloading_ = false;
            selector.failure_ = nullptr;
        }
    } reloading{*this};
    reloading_ = true;
    failure_ = failure;
    choose(path);
    if (ScreenHost* shown = host())
        kept.apply(*shown);
}

ScreenHost* ScreenSelector::host() const { return dynamic_cast<ScreenHost*>(detail()); }

} // namespace editor
