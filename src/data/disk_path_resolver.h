#pragma once
// Finds game paths on a POSIX file system the way the Windows file system
// would: "\" and "/" both separate components, and each component matches
// regardless of letter case (an exact match is tried first). Folder contents
// seen while matching are remembered, so a wrongly cased path does not scan
// its folders again.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Mod {

class DiskPathResolver {
public:
    // The POSIX path naming what path names, or nothing when a component has
    // no match.
    std::optional<std::string> resolve(std::string_view path);

private:
    struct Folder {
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> byLowerName; // lower case -> smallest real name
    };
    const Folder* folder(const std::string& posixPath);

    std::mutex mutex_;
    std::unordered_map<std::string, std::unique_ptr<Folder>> folders_;
};

// Entries of a POSIX folder except "." and "..", in case-insensitive order
// (the order in which the Windows file system returns them); empty when the
// folder cannot be read.
std::vector<std::string> readFolder(const std::string& posixPath);

// "\" turned into "/".
std::string toPosixSeparators(std::string_view path);

} // namespace Mod
