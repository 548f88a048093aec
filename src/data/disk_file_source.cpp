#include "data/disk_file_source.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Mod {

FilePtr mapDiskFile(const std::string& posixPath)
{
    const int fd = ::open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0
        || static_cast<std::uint64_t>(info.st_size) > UINT32_MAX) {
        ::close(fd);
        return {};
    }
    const auto length = static_cast<std::uint32_t>(info.st_size);
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd); // the mapping keeps the file open
    if (view == MAP_FAILED)
        return {};
    return makeMappedFile(view, length);
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
