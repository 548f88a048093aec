#include "editor/module_selector.h"

#include "data/ansi_text.h"
#include "data/disk_file_source.h"
#include "data/mount_module.h"
#include "data/module_file.h"
#include "editor/run_language.h"
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
    Mod::MountModule(*context, path, runMountOptions());
    mountNote_.clear();
    if (context->language != context->ownLanguage)
        mountNote_ += u"  in " + Mod::ansiToUtf16(context->language);
    if (context->pseudoLocalise)
        mountNote_ += u"  pseudo-localised";
    return std::make_unique<ScreenSelector>(graphics(), std::move(context));
}

std::u16string ModuleSelector::bandText(const std::string& path) { return Selector::bandText(path) + mountNote_; }

} // namespace editor
