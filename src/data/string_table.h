#pragma once
// A UCS string table: UTF-16LE lines "id<TAB>text<CR><LF>" after a byte order
// mark. Texts are views into the file's data, which the table keeps alive.

#include "data/file_data.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace Mod {

class StringTable {
public:
    // Throws std::runtime_error "UCS file too short" (also for no file) or
    // "UCS file has odd number of bytes".
    explicit StringTable(FilePtr file);

    std::optional<std::u16string_view> find(std::uint32_t id) const;
    std::size_t size() const { return texts_.size(); }

private:
    FilePtr file_;
    std::unordered_map<std::uint32_t, std::u16string_view> texts_;
};

} // namespace Mod
