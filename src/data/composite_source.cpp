#include "data/composite_source.h"

#include "data/text_compare.h"

#include <algorithm>

namespace Mod {

void CompositeSource::append(std::unique_ptr<FileSource> source) { sources_.push_back(std::move(source)); }

FilePtr CompositeSource::open(const std::string& path)
{
    for (const auto& source : sources_) {
        if (FilePtr file = source->open(path); hasData(file))
            return file;
    }
    return {};
}

void CompositeSource::list(const std::string& path, std::vector<std::string>& names)
{
    const auto first = static_cast<std::ptrdiff_t>(names.size());
    for (const auto& source : sources_)
        source->list(path, names);
    // Stable, so that of names equal but for case the highest-priority spelling stays.
    std::stable_sort(names.begin() + first, names.end(), lessNoCase);
    names.erase(std::unique(names.begin() + first, names.end(), equalNoCase), names.end());
}

} // namespace Mod
