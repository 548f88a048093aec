#pragma once
// The list of a mounted module's screens (Art\UI\Screens\), one column with
// the file name. It owns the mounted module. The screens that the chosen
// module itself serves (from its own data folders and archives, not from a
// required module or the engine) are marked.

#include "data/mod_context.h"
#include "editor/kept_widget_state.h"
#include "ui/selector.h"

#include <memory>

namespace editor {

class ScreenHost;

class ScreenSelector final : public ui::Selector {
public:
    ScreenSelector(const gfx::GraphicsContext& graphics, std::unique_ptr<Mod::ModContext> context);
    ~ScreenSelector() override;

    Mod::ModContext& context() const { return *context_; }

    // A ScreenHost showing the screen at path; loading errors propagate.
    std::unique_ptr<ui::Control> createDetail(const std::string& path) override;
    // The path, and the preview size when one is chosen.
    std::u16string bandText(const std::string& path) override;
    // Whether the chosen module's own sources serve the screen.
    bool marksRow(const std::string& path) override;

    // Shows the screen at path again after its files changed, as choosing
    // it does, with kept's widget state. A failure to load it, or failure
    // when given (the module failed to mount again), is shown in the screen
    // area instead of thrown.
    void reload(const std::string& path, const KeptWidgetState& kept, const std::string* failure = nullptr);
    // The host of the shown screen, or null.
    ScreenHost* host() const;
    // The visibility of the shown screen's widgets as it was loaded.
    const KeptWidgetState::Visibility& loadedVisibility() const { return loadedVisibility_; }

private:
    std::unique_ptr<Mod::ModContext> context_;
    bool reloading_ = false;
    const std::string* failure_ = nullptr;
    KeptWidgetState::Visibility loadedVisibility_;
};

} // namespace editor
