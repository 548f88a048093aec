#pragma once
// A fresh folder under the system's temporary folder, removed with the object,
// and helpers to fill it.

#include <filesystem>
#include <string>

namespace TestSupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() + "/" + relative, as a string.
    std::string operator/(const std::string& relative) const;

    // Writes bytes to relative (folders created as needed); returns the full path.
    std::string write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

} // namespace TestSupport
