#pragma once
// The operating system's file system as a file source. Paths are game paths
// ("\" or "/", any letter case), relative ones against the current directory.
// Files are copied out whole, so that no other program's later write can
// change or take away bytes handed out; on a file system mounted read-only
// they are mapped instead.
//
// The source remembers the disk paths it read or looked in, so a watcher can
// follow whatever a mount and the screens read through it depend on.

#include "data/disk_path_resolver.h"
#include "data/file_source.h"

#include <mutex>
#include <set>

namespace Mod {

class DiskFileSource : public FileSource {
public:
    FilePtr open(const std::string& path) override;
    // Entries in case-insensitive order; an empty path lists nothing.
    void list(const std::string& path, std::vector<std::string>& names) override;

    DiskPathResolver& resolver() { return resolver_; }

    // Records path (a game path) as read, as open does, without reading it.
    void noteRead(const std::string& path);
    // The POSIX paths read so far, sorted: each file opened (or noted) and its
    // folder, each folder listed, and for a path that did not exist the
    // nearest folder above it that does, where the path would appear.
    std::vector<std::string> pathsRead() const;

private:
    void record(const std::string& path, const std::optional<std::string>& resolved, bool folder);

    DiskPathResolver resolver_;
    mutable std::mutex readMutex_;
    std::set<std::string> read_;
};

// The whole regular file at a POSIX path, copied (mapped on a read-only file
// system). No file when it cannot be opened or read, is empty, is 4 GiB or
// larger (a FileData length is 32 bits, and a shortened copy would be a
// different file), or keeps changing while it is read.
FilePtr mapDiskFile(const std::string& posixPath);

} // namespace Mod
