#pragma once
// The operating system's file system as a file source. Paths are game paths
// ("\" or "/", any letter case), relative ones against the current directory.
// Files are memory-mapped, never copied.

#include "data/disk_path_resolver.h"
#include "data/file_source.h"

namespace Mod {

class DiskFileSource : public FileSource {
public:
    FilePtr open(const std::string& path) override;
    // Entries in case-insensitive order; an empty path lists nothing.
    void list(const std::string& path, std::vector<std::string>& names) override;

    DiskPathResolver& resolver() { return resolver_; }

private:
    DiskPathResolver resolver_;
};

// Maps the whole regular file at a POSIX path. No file when it cannot be
// opened or mapped, is empty, or is 4 GiB or larger (a FileData length is
// 32 bits, and a truncated view would be a different file).
FilePtr mapDiskFile(const std::string& posixPath);

} // namespace Mod
