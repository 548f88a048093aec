#include "fuzz_bytes.h"

#include "data/text_compare.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace Fuzz {

std::string scratchPath(const std::string& name)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
    return folder + "/" + name + "-" + std::to_string(::getpid());
}

Mod::FilePtr heapFile(const std::uint8_t* data, std::size_t size)
{
    void* copy = std::malloc(size ? size : 1);
    if (!copy)
        throw std::bad_alloc();
    if (size)
        std::memcpy(copy, data, size);
    return Mod::makeHeapFile(copy, static_cast<std::uint32_t>(size));
}

Mod::FilePtr InputSource::open(const std::string& path)
{
    if (!data_)
        return nullptr;
    const std::size_t slash = path.find_last_of("\\/");
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!name_.empty() && Mod::toLowerAscii(file) != Mod::toLowerAscii(name_))
        return nullptr;
    return heapFile(data_, size_);
}

} // namespace Fuzz
