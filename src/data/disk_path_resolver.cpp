#include "data/disk_path_resolver.h"

#include "data/text_compare.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace Mod {

std::string toPosixSeparators(std::string_view path)
{
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::vector<std::string> readFolder(const std::string& posixPath)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(posixPath.empty() ? "." : posixPath.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = compareNoCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

std::optional<std::string> DiskPathResolver::resolve(std::string_view path)
{
    const std::string posix = toPosixSeparators(path);
    if (posix.empty())
        return std::nullopt;
    struct stat info;
    if (::stat(posix.c_str(), &info) == 0)
        return posix;

    std::string resolved = posix.front() == '/' ? "/" : "";
    auto append = [&resolved](const std::string& name) {
        if (!resolved.empty() && resolved.back() != '/')
            resolved += '/';
        resolved += name;
    };
    std::size_t start = 0;
    while (start < posix.size()) {
        std::size_t end = posix.find('/', start);
        if (end == std::string::npos)
            end = posix.size();
        const std::string component = posix.substr(start, end - start);
        start = end + 1;
        if (component.empty())
            continue;
        if (component == "." || component == "..") {
            append(component);
            continue;
        }
        std::lock_guard lock(mutex_);
        const auto known = folders_.find(resolved);
        const Folder* entries = known == folders_.end() ? nullptr : known->second.get();
        if (!entries) {
            // A folder not seen yet is read only when the exact name is not in it.
            std::string exact = resolved;
            if (!exact.empty() && exact.back() != '/')
                exact += '/';
            if (::stat((exact + component).c_str(), &info) == 0) {
                append(component);
                continue;
            }
            entries = folder(resolved);
            if (!entries)
                return std::nullopt;
        }
        if (entries->names.count(component)) {
            append(component);
            continue;
        }
        const auto match = entries->byLowerName.find(toLowerAscii(component));
        if (match == entries->byLowerName.end())
            return std::nullopt;
        append(match->second);
    }
    if (posix.back() == '/' && !resolved.empty() && resolved.back() != '/')
        resolved += '/';
    return resolved;
}

const DiskPathResolver::Folder* DiskPathResolver::folder(const std::string& posixPath)
{
    auto found = folders_.find(posixPath);
    if (found != folders_.end())
        return found->second.get();
    DIR* dir = ::opendir(posixPath.empty() ? "." : posixPath.c_str());
    if (!dir)
        return nullptr;
    auto entries = std::make_unique<Folder>();
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        auto [slot, inserted] = entries->byLowerName.try_emplace(toLowerAscii(name), name);
        if (!inserted && name < slot->second)
            slot->second = name;
        entries->names.insert(std::move(name));
    }
    ::closedir(dir);
    return folders_.emplace(posixPath, std::move(entries)).first->second.get();
}

} // namespace Mod
