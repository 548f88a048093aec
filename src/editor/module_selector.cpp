#include "editor/module_selector.h"

#include "data/ansi_text.h"
#include "data/disk_file_source.h"
#include "data/mount_module.h"
#include "data/module_file.h"
#include "editor/screen_selector.h"

namespace editor {

ModuleSelector::ModuleSelector(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                               const std::vector<std::string>& extraFolders)
    : Selector(graphics, "module", std::make_shared<Mod::DiskFileSource>())
{
    setColumnCount(2);
    for (const std::string& folder : Mod::findInstallations(environment, extraFolders))
        addFolder(folder);
}

std::u16string ModuleSelector::cellText(std::size_t column, const std::string& path)
{
    if (column != 1)
        return Selector::cellText(column, path);
    return Mod::ansiToUtf16(Mod::moduleDescription(fileSource(), path));
}

std::unique_ptr<ui::Control> ModuleSelector::createDetail(const std::string& path)
{
    auto context = std::make_unique<Mod::ModContext>();
    // The one place where the language asked for (language_) is to reach the
    // mount: MountModule cannot force a language yet, so until it can the
    // mount chooses its own.
    Mod::MountModule(*context, path);
    return std::make_unique<ScreenSelector>(graphics(), std::move(context));
}

} // namespace editor
