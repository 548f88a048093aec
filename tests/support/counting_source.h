#pragma once
// A file source over a folder on disk that counts what is asked of it.

#include "data/disk_file_source.h"
#include "data/subfolder_source.h"

#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

class CountingSource : public Mod::FileSource {
public:
    explicit CountingSource(const std::string& folder)
        : inner_(std::make_shared<Mod::DiskFileSource>(), folder + "/")
    {
    }
    Mod::FilePtr open(const std::string& path) override
    {
        opened.push_back(path);
        return inner_.open(path);
    }
    void list(const std::string& path, std::vector<std::string>& names) override
    {
        listed.push_back(path);
        inner_.list(path, names);
    }
    std::vector<std::string> opened, listed;

private:
    Mod::SubfolderSource inner_;
};

} // namespace TestSupport
