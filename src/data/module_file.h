#pragma once
// A parsed ".module" file: key = value lines (sections ignored, ";" starts a
// comment) and the variables that %NAME% in a value expands to. Each key
// keeps the 1-based line it was read from (the last one, as for its value),
// so that what is wrong with a value can be shown where it is written; a
// line ends at LF, CR LF or a lone CR.

#include "data/file_data.h"
#include "data/file_source.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

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

    // The line key was read from; nothing for a key the file lacks.
    std::optional<int> line(const std::string& key) const;
    // Every key, unordered.
    std::vector<std::string> keys() const;
    // The variable names of key's value that get(key) leaves as %NAME%
    // because no variable has them, in the order they appear.
    std::vector<std::string> unknownVariables(const std::string& key) const;

private:
    std::string expand(const std::string& value, std::vector<std::string>* unknown) const;

    std::unordered_map<std::string, std::string> values_;
    std::unordered_map<std::string, int> lines_;
    std::unordered_map<std::string, std::string> variables_;
};

// The "Description" of the .module file at path in files; empty when the
// file opens to no data or has none.
std::string moduleDescription(FileSource& files, const std::string& path);

} // namespace Mod
