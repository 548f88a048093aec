#include "data/file_data.h"

#include <cstdlib>
#include <sys/mman.h>

namespace Mod {

FilePtr makeMappedFile(const void* view, std::uint32_t length)
{
    return makeMappedMember(const_cast<void*>(view), length, 0, length);
}

FilePtr makeMappedMember(void* viewBase, std::size_t viewLength, std::size_t offset,
                         std::uint32_t length)
{
    FileData* record;
    try {
        record = new FileData{static_cast<const char*>(viewBase) + offset, length};
    } catch (...) {
        ::munmap(viewBase, viewLength);
        throw;
    }
    // Should the control block fail to allocate, shared_ptr calls the deleter.
    return FilePtr(record, [viewBase, viewLength](const FileData* file) {
        ::munmap(viewBase, viewLength);
        delete file;
    });
}

FilePtr makeHeapFile(void* buffer, std::uint32_t length)
{
    FileData* record;
    try {
        record = new FileData{static_cast<const char*>(buffer), length};
    } catch (...) {
        std::free(buffer);
        throw;
    }
    return FilePtr(record, [buffer](const FileData* file) {
        std::free(buffer);
        delete file;
    });
}

} // namespace Mod
