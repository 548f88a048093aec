#pragma once
// A folder of another source, seen as a source of its own: every path is
// prefixed with the folder before the wrapped source is asked.

#include "data/file_source.h"

#include <memory>

namespace Mod {

class SubfolderSource : public FileSource {
public:
    // prefix names the folder and ends with "\".
    SubfolderSource(std::shared_ptr<FileSource> source, std::string prefix);

    FilePtr open(const std::string& path) override;
    void list(const std::string& path, std::vector<std::string>& names) override;

    const std::string& prefix() const { return prefix_; }
    const std::shared_ptr<FileSource>& source() const { return source_; }

private:
    std::shared_ptr<FileSource> source_;
    std::string prefix_;
};

} // namespace Mod
