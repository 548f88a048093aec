#include "data/string_table.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace Mod {

StringTable::StringTable(FilePtr file) : file_(std::move(file))
{
    if (!hasData(file_) || file_->length < 2)
        throw std::runtime_error("UCS file too short");
    if (file_->length % 2 != 0)
        throw std::runtime_error("UCS file has odd number of bytes");
    if (reinterpret_cast<std::uintptr_t>(file_->data) % alignof(char16_t) != 0) {
        // Only an uncompressed archive member at an odd offset gets here: the
        // texts need aligned code units, so this one file is copied.
        void* copy = std::malloc(file_->length);
        if (!copy)
            throw std::bad_alloc();
        std::memcpy(copy, file_->data, file_->length);
        file_ = makeHeapFile(copy, file_->length);
    }

    const auto* units = reinterpret_cast<const char16_t*>(file_->data);
    const std::size_t end = file_->length / 2;
    std::size_t pos = 1; // the byte order mark's place
    while (pos != end) {
        std::uint32_t id = 0;
        while (pos < end && units[pos] != u'\t')
            id = id * 10 + static_cast<std::uint32_t>(units[pos++] - 0x30);
        if (pos >= end || pos + 3 >= end)
            break;
        const std::size_t textStart = pos + 1;
        std::size_t textEnd = textStart;
        while (textEnd < end - 2 && units[textEnd] != u'\r')
            ++textEnd;
        texts_.insert_or_assign(id, std::u16string_view(units + textStart, textEnd - textStart));
        pos = textEnd + 2;
    }
}

std::optional<std::u16string_view> StringTable::find(std::uint32_t id) const
{
    const auto found = texts_.find(id);
    if (found == texts_.end())
        return std::nullopt;
    return found->second;
}

} // namespace Mod
