#include "data/file_origin.h"

#include "data/archive_source.h"
#include "data/disk_file_source.h"
#include "data/mod_context.h"
#include "data/subfolder_source.h"

#include <sys/stat.h>

#include <algorithm>

namespace Mod {

namespace {

// Where a data folder keeps path: the disk file it names when the folder is
// on disk, else the path inside the wrapped source when that serves it.
std::optional<std::string> folderLocation(const SubfolderSource& folder, const std::string& path)
{
    const std::string full = folder.prefix() + path;
    if (auto* disk = dynamic_cast<DiskFileSource*>(folder.source().get())) {
        // As the disk source opens files: a regular file with bytes in it.
        const std::optional<std::string> resolved = disk->resolver().resolve(full);
        struct stat status {};
        if (resolved && ::stat(resolved->c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
            return resolved;
        return std::nullopt;
    }
    if (hasData(folder.source()->open(full)))
        return full;
    return std::nullopt;
}

} // namespace

std::string_view kindName(FileOrigin::Kind kind) { return kind == FileOrigin::Kind::Archive ? "archive" : "folder"; }

std::optional<FileOrigin> describeSource(const FileSource& source)
{
    if (const auto* folder = dynamic_cast<const SubfolderSource*>(&source))
        return FileOrigin{FileOrigin::Kind::Folder, folder->prefix(), {}};
    if (const auto* archive = dynamic_cast<const ArchiveSource*>(&source))
        return FileOrigin{FileOrigin::Kind::Archive, archive->path(), {}};
    return std::nullopt;
}

std::vector<FileOrigin> fileOrigins(const CompositeSource& sources, const std::string& path)
{
    std::vector<FileOrigin> origins;
    for (std::size_t index = 0; index < sources.sources().size(); ++index) {
        const auto& source = sources.sources()[index];
        std::optional<FileOrigin> origin = describeSource(*source);
        if (!origin)
            continue;
        origin->index = index;
        std::optional<std::string> location;
        if (const auto* folder = dynamic_cast<const SubfolderSource*>(source.get()))
            location = folderLocation(*folder, path);
        else
            location = static_cast<const ArchiveSource&>(*source).memberPath(path);
        if (location) {
            origin->location = std::move(*location);
            origins.push_back(std::move(*origin));
        }
    }
    return origins;
}

std::string shortSourceName(std::string_view source, std::string_view root)
{
    if (!root.empty() && source.substr(0, root.size()) == root)
        source.remove_prefix(root.size());
    std::string name(source);
    std::replace(name.begin(), name.end(), '\\', '/');
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    return name;
}

std::optional<FileLocation> locateFile(const ModContext& module, const std::string& path)
{
    if (!module.source)
        return std::nullopt;
    const std::vector<FileOrigin> origins = fileOrigins(*module.source, path);
    if (origins.empty())
        return std::nullopt;
    const FileOrigin& origin = origins.front();
    if (origin.kind == FileOrigin::Kind::Folder)
        return FileLocation{origin.location, std::nullopt};
    std::optional<std::string> archive = module.disk ? module.disk->resolver().resolve(origin.source) : std::nullopt;
    return FileLocation{archive.value_or(toPosixSeparators(origin.source)), origin.location};
}

} // namespace Mod
