#pragma once
// What a file list shows of a folder: the names of a source's folder that end
// in an extension, in the list's case-insensitive order.

#include "data/file_source.h"

#include <string>
#include <vector>

namespace Mod {

// extension includes its dot (".module").
std::vector<std::string> folderEntries(FileSource& source, const std::string& folder, const std::string& extension);

} // namespace Mod
