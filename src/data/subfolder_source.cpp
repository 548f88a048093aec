#include "data/subfolder_source.h"

namespace Mod {

SubfolderSource::SubfolderSource(std::shared_ptr<FileSource> source, std::string prefix)
    : source_(std::move(source)), prefix_(std::move(prefix))
{
}

FilePtr SubfolderSource::open(const std::string& path) { return source_->open(prefix_ + path); }

void SubfolderSource::list(const std::string& path, std::vector<std::string>& names)
{
    source_->list(prefix_ + path, names);
}

} // namespace Mod
