#pragma once
// The viewer's main window: "Tavrel Ironveil Screen Editor", 800 × 600 DIPs,
// holding the module selector over its whole client area.

#include "app/top_level_window.h"
#include "data/installation_discovery.h"

#include <string>
#include <vector>

namespace editor {

class ModuleSelector;

class MainWindow final : public app::TopLevelWindow {
public:
    // Creates and shows the window; it lives until it is closed. It lists the
    // installations discovered in environment, then extraFolders.
    static MainWindow* open(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                            const std::vector<std::string>& extraFolders);

    ModuleSelector& moduleSelector() const { return *moduleSelector_; }

    void layout() override;

private:
    MainWindow(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
               const std::vector<std::string>& extraFolders);

    ModuleSelector* moduleSelector_ = nullptr;
};

} // namespace editor
