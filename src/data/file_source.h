#pragma once
// The interface of every source of the virtual file system: folders on disk,
// sub-folders of another source, SGA archives, and stacks of these.

#include "data/file_data.h"

#include <string>
#include <vector>

namespace Mod {

class FileSource {
public:
    virtual ~FileSource() = default;

    // The file at path (relative, "\" or "/" separated), or no file. Never
    // throws for a missing, unreadable or empty file.
    virtual FilePtr open(const std::string& path) = 0;

    // Appends the bare names of the folder's entries (files and sub-folders)
    // to names. A missing folder appends nothing.
    virtual void list(const std::string& path, std::vector<std::string>& names) = 0;
};

} // namespace Mod
