#pragma once
// The list of the installations' module files: two columns, the file name and
// the module's "Description". Choosing a module mounts it and shows its
// screens.

#include "data/installation_discovery.h"
#include "ui/selector.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace editor {

class ModuleSelector final : public ui::Selector {
public:
    // Lists every installation discovered in environment, then extraFolders.
    ModuleSelector(const gfx::GraphicsContext& graphics, const Mod::DiscoveryEnvironment& environment,
                   const std::vector<std::string>& extraFolders);

    // Column 1: the description (empty for a file that opens to no data).
    std::u16string cellText(std::size_t column, const std::string& path) override;
    // A ScreenSelector over the mounted module; mounting errors propagate.
    std::unique_ptr<ui::Control> createDetail(const std::string& path) override;

    // The language to mount modules with (--language); none: the mount's own choice.
    void setLanguage(std::optional<std::string> language) { language_ = std::move(language); }
    const std::optional<std::string>& language() const { return language_; }

private:
    std::optional<std::string> language_;
};

} // namespace editor
