#include "data/posix_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/statvfs.h>
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

std::optional<FileIdentity> UniqueFd::identity() const
{
    struct stat info;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    constexpr std::int64_t Nano = 1000000000;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::int64_t>(info.st_size),
                        std::int64_t(info.st_mtim.tv_sec) * Nano + info.st_mtim.tv_nsec};
}

bool UniqueFd::onReadOnlyFileSystem() const
{
    struct statvfs info;
    return fd_ >= 0 && ::fstatvfs(fd_, &info) == 0 && (info.f_flag & ST_RDONLY) != 0;
}

bool UniqueFd::readAt(std::uint64_t offset, void* buffer, std::size_t length) const
{
    auto* out = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t got = ::pread(fd_, out, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return true;
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

FilePtr readStableCopy(const UniqueFd& fd, const FileIdentity& expected, std::uint64_t offset,
                       std::uint32_t length)
{
    void* buffer = std::malloc(length ? length : 1);
    if (!buffer)
        return {};
    if (!fd.readAt(offset, buffer, length) || fd.identity() != expected) {
        std::free(buffer);
        return {};
    }
    return makeHeapFile(buffer, length);
}

} // namespace Mod
