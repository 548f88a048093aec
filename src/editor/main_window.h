#pragma once
// The viewer's main window: "Tavrel Ironveil Screen Editor", 800 × 600 DIPs,
// holding the module selector over its whole client area.

#include "app/top_level_window.h"

#include <string>
#include <vector>

namespace editor {

class ModuleSelector;

class MainWindow final : public app::TopLevelWindow {
public:
    // Creates and shows the window; it lives until it is closed. extraFolders
    // are listed after the discovered installations.
    static MainWindow* open(const gfx::GraphicsContext& graphics, const std::vector<std::string>& extraFolders);

    ModuleSelector& moduleSelector() const { return *moduleSelector_; }

    void layout() override;

private:
    MainWindow(const gfx::GraphicsContext& graphics, const std::vector<std::string>& extraFolders);

    ModuleSelector* moduleSelector_ = nullptr;
};

} // namespace editor
