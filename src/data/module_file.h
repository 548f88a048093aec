#pragma once
// A parsed ".module" file: key = value lines (sections ignored, ";" starts a
// comment) and the variables that %NAME% in a value expands to.

#include "data/file_data.h"
#include "data/file_source.h"

#include <string>
#include <unordered_map>

namespace Mod {

class ModuleFile {
public:
    ModuleFile() = default;
    explicit ModuleFile(const FileData& file) { parse(file.view()); }

    void parse(std::string_view text);

    // The value of key with variables expanded; "" when the key is absent.
    std::string get(const std::string& key) const;
    // get(key + "." + index).
    std::string getNumbered(const std::string& key, int index) const;
    void setVariable(const std::string& name, const std::string& value);

private:
    std::unordered_map<std::string, std::string> values_;
    std::unordered_map<std::string, std::string> variables_;
};

// The "Description" of the .module file at path in files; empty when the
// file opens to no data or has none.
std::string moduleDescription(FileSource& files, const std::string& path);

} // namespace Mod
