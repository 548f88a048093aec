#pragma once
// A stack of sources in priority order: the first source that has a file
// serves it; listings merge every source's entries.

#include "data/file_source.h"

#include <memory>

namespace Mod {

class CompositeSource : public FileSource {
public:
    // Index 0 is asked first; a source appended later has lower priority.
    void append(std::unique_ptr<FileSource> source);
    const std::vector<std::unique_ptr<FileSource>>& sources() const { return sources_; }

    FilePtr open(const std::string& path) override;
    // The names appended by the sources are sorted case-insensitively and
    // names equal but for case collapse into one; names already in the list
    // are left alone.
    void list(const std::string& path, std::vector<std::string>& names) override;

private:
    std::vector<std::unique_ptr<FileSource>> sources_;
};

} // namespace Mod
