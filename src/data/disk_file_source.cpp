#include "data/disk_file_source.h"

#include "data/posix_file.h"

#include <cstdint>
#include <string_view>

namespace Mod {

namespace {

// A file caught while another program writes it is read again, a few times.
constexpr int ReadAttempts = 3;

} // namespace

FilePtr mapDiskFile(const std::string& posixPath)
{
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        const UniqueFd fd = UniqueFd::openReadOnly(posixPath);
        const std::optional<FileIdentity> identity = fd.identity();
        if (!identity || identity->size <= 0 || static_cast<std::uint64_t>(identity->size) > UINT32_MAX)
            return {};
        const auto length = static_cast<std::uint32_t>(identity->size);
        if (fd.onReadOnlyFileSystem()) {
            MappedView view = MappedView::map(fd.get(), 0, length); // the mapping keeps the file open
            return view.valid() ? makeMappedFile(view.release(), length) : FilePtr();
        }
        if (FilePtr file = readStableCopy(fd, *identity, 0, length))
            return file;
    }
    return {};
}

FilePtr DiskFileSource::open(const std::string& path)
{
    const auto posix = resolver_.resolve(path);
    record(path, posix, false);
    return posix ? mapDiskFile(*posix) : FilePtr();
}

void DiskFileSource::noteRead(const std::string& path) { record(path, resolver_.resolve(path), false); }

std::vector<std::string> DiskFileSource::pathsRead() const
{
    const std::lock_guard lock(readMutex_);
    return {read_.begin(), read_.end()};
}

void DiskFileSource::record(const std::string& path, const std::optional<std::string>& resolved, bool folder)
{
    auto parentOf = [](std::string_view p) {
        while (!p.empty() && (p.back() == '/' || p.back() == '\\'))
            p.remove_suffix(1);
        const auto slash = p.find_last_of("/\\");
        if (slash == std::string_view::npos)
            return std::string(".");
        return std::string(p.substr(0, slash == 0 ? 1 : slash));
    };
    std::vector<std::string> found;
    if (resolved) {
        std::string_view own = *resolved;
        while (own.size() > 1 && own.back() == '/')
            own.remove_suffix(1);
        found.emplace_back(own);
        if (!folder)
            found.push_back(parentOf(*resolved));
    } else {
        // Where the path would appear: the nearest folder above it that exists.
        std::string above = path;
        for (;;) {
            above = parentOf(above);
            if (above == "." || above == "/") {
                found.push_back(above);
                break;
            }
            if (auto posix = resolver_.resolve(above)) {
                found.push_back(*posix);
                break;
            }
        }
    }
    const std::lock_guard lock(readMutex_);
    read_.insert(found.begin(), found.end());
}

void DiskFileSource::list(const std::string& path, std::vector<std::string>& names)
{
    if (path.empty())
        return;
    const auto posix = resolver_.resolve(path);
    record(path, posix, true);
    if (!posix)
        return;
    for (std::string& name : readFolder(*posix))
        names.push_back(std::move(name));
}

} // namespace Mod
