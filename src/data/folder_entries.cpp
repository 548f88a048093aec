#include "data/folder_entries.h"

#include "data/text_compare.h"

#include <algorithm>

namespace Mod {

std::vector<std::string> folderEntries(FileSource& source, const std::string& folder, const std::string& extension)
{
    std::vector<std::string> names;
    source.list(folder, names);
    std::erase_if(names, [&](const std::string& name) { return !endsWithNoCase(name, extension); });
    std::stable_sort(names.begin(), names.end(), lessNoCase);
    return names;
}

} // namespace Mod
