#pragma once
// A read-only byte range handed out by the virtual file system. It stays valid
// while anyone holds the shared pointer, even after the source that produced
// it is gone. No file is an empty pointer or a pointer to no FileData; test
// with hasData().

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace Mod {

struct FileData {
    const char* data;
    std::uint32_t length;

    std::string_view view() const { return {data, length}; }
};

using FilePtr = std::shared_ptr<const FileData>;

inline bool hasData(const FilePtr& file) { return file.get() != nullptr; }

// The three kinds of storage behind a FileData; each deleter releases its
// storage and then the record itself.
// A mapping of a whole disk file, unmapped by its own address.
FilePtr makeMappedFile(const void* view, std::uint32_t length);
// Part of a mapping that starts at viewBase and is viewLength bytes long:
// the range begins offset bytes into it; the deleter unmaps the whole view.
FilePtr makeMappedMember(void* viewBase, std::size_t viewLength, std::size_t offset,
                         std::uint32_t length);
// A heap buffer from std::malloc; the deleter frees it.
FilePtr makeHeapFile(void* buffer, std::uint32_t length);

} // namespace Mod
