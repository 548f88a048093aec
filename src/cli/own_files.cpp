#include "cli/own_files.h"

#include "data/disk_file_source.h"
#include "data/mod_context.h"

#include <algorithm>
#include <filesystem>

namespace cli {

OwnFiles::OwnFiles(const Mod::ModContext& module, const std::string& modulePath) : module_(module)
{
    moduleFile_ = resolve(modulePath);
    // A module without a ModFolder would claim its whole installation.
    const std::string folder = module.moduleFiles.empty() ? "" : module.moduleFiles.front()->get("ModFolder");
    const std::size_t slash = modulePath.find_last_of("\\/");
    if (!folder.empty())
        modFolder_ = resolve(modulePath.substr(0, slash == std::string::npos ? 0 : slash + 1) + folder);
    if (!module.source)
        return;
    const auto& sources = module.source->sources();
    for (std::size_t i = 0; i < module.ownSourceCount && i < sources.size(); ++i)
        if (std::optional<Mod::FileOrigin> own = Mod::describeSource(*sources[i]))
            ownSources_.push_back(std::move(*own));
}

bool OwnFiles::screen(const std::string& path) const
{
    const std::vector<Mod::FileOrigin> origins =
        module_.source ? Mod::fileOrigins(*module_.source, path) : std::vector<Mod::FileOrigin>();
    if (origins.empty())
        return true;
    return std::any_of(ownSources_.begin(), ownSources_.end(), [&](const Mod::FileOrigin& own) {
        return own.kind == origins.front().kind && own.source == origins.front().source;
    });
}

bool OwnFiles::finding(const base::Finding& finding) const
{
    if (!finding.file)
        return true;
    const std::optional<std::string> file = resolve(*finding.file);
    if (!file)
        return false;
    return (moduleFile_ && *file == *moduleFile_) || (modFolder_ && file->rfind(*modFolder_ + "/", 0) == 0);
}

std::optional<std::string> OwnFiles::resolve(const std::string& path) const
{
    if (!module_.disk)
        return std::nullopt;
    const std::optional<std::string> found = module_.disk->resolver().resolve(path);
    if (!found)
        return std::nullopt;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(*found, error);
    return error ? *found : absolute.lexically_normal().string();
}

} // namespace cli
