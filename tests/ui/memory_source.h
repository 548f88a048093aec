#pragma once
// A file source whose folders hold given names and whose files hold nothing.

#include "data/file_source.h"

#include <map>
#include <string>
#include <vector>

namespace UiTest {

class MemorySource : public Mod::FileSource {
public:
    Mod::FilePtr open(const std::string&) override { return nullptr; }
    void list(const std::string& path, std::vector<std::string>& names) override
    {
        ++listings;
        const auto found = folders.find(path);
        if (found != folders.end())
            names.insert(names.end(), found->second.begin(), found->second.end());
    }

    std::map<std::string, std::vector<std::string>> folders;
    int listings = 0;
};

} // namespace UiTest
