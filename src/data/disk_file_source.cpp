#include "data/disk_file_source.h"

#include "data/posix_file.h"

#include <cstdint>

namespace Mod {

FilePtr mapDiskFile(const std::string& posixPath)
{
    const UniqueFd fd = UniqueFd::openReadOnly(posixPath);
    const std::int64_t size = fd.regularFileSize();
    if (size <= 0 || static_cast<std::uint64_t>(size) > UINT32_MAX)
        return {};
    const auto length = static_cast<std::uint32_t>(size);
    MappedView view = MappedView::map(fd.get(), 0, length); // the mapping keeps the file open
    if (!view.valid())
        return {};
    return makeMappedFile(view.release(), length);
}

FilePtr DiskFileSource::open(const std::string& path)
{
    const auto posix = resolver_.resolve(path);
    return posix ? mapDiskFile(*posix) : FilePtr();
}

void DiskFileSource::list(const std::string& path, std::vector<std::string>& names)
{
    if (path.empty())
        return;
    const auto posix = resolver_.resolve(path);
    if (!posix)
        return;
    for (std::string& name : readFolder(*posix))
        names.push_back(std::move(name));
}

} // namespace Mod
