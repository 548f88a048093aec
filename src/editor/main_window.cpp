#include "editor/main_window.h"

#include "editor/module_selector.h"

namespace editor {

MainWindow* MainWindow::open(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                             const std::vector<std::string>& extraFolders)
{
    // The window owns itself from here on: closing it destroys it.
    return new MainWindow(graphics, environment, extraFolders);
}

MainWindow::MainWindow(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                       const std::vector<std::string>& extraFolders)
    : TopLevelWindow(graphics)
{
    create(QStringLiteral("Tavrel Ironveil Screen Editor"), 800, 600);
    moduleSelector_ = static_cast<ModuleSelector*>(addChild(std::make_unique<ModuleSelector>(graphics, environment, extraFolders)));
    layout();
}

void MainWindow::layout()
{
    if (moduleSelector_)
        moduleSelector_->setBounds(0, 0, width(), height());
    invalidate();
}

} // namespace editor
