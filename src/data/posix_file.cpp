#include "data/posix_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Mod {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        reset();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

UniqueFd UniqueFd::openReadOnly(const std::string& path) { return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)); }

std::int64_t UniqueFd::regularFileSize() const
{
    struct stat info;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

void UniqueFd::reset()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

MappedView& MappedView::operator=(MappedView&& other) noexcept
{
    if (this != &other) {
        reset();
        base_ = std::exchange(other.base_, nullptr);
        length_ = std::exchange(other.length_, 0);
    }
    return *this;
}

MappedView MappedView::map(int fd, std::uint64_t offset, std::size_t length)
{
    MappedView view;
    if (length == 0)
        return view;
    void* base = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(offset));
    if (base != MAP_FAILED) {
        view.base_ = base;
        view.length_ = length;
    }
    return view;
}

void* MappedView::release()
{
    length_ = 0;
    return std::exchange(base_, nullptr);
}

void MappedView::reset()
{
    if (base_)
        ::munmap(base_, length_);
    base_ = nullptr;
    length_ = 0;
}

} // namespace Mod
