#pragma once
// The list of the installations' module files: two columns, the file name and
// the module's "Description". Choosing a module mounts it, in the run's
// language and pseudo-localisation (editor/run_language.h), and shows its
// screens; the band names the language when it is not the module's own
// choice, and says when strings are pseudo-localised.

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
    // The path, "  in LANGUAGE" and "  pseudo-localised" as they apply.
    std::u16string bandText(const std::string& path) override;

private:
    std::u16string mountNote_; // what the band adds for the module mounted last
};

} // namespace editor
