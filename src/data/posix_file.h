#pragma once
// Owners of the two operating-system resources the file system reads through:
// an open file descriptor and a read-only mapping of a file's bytes. Each
// gives its resource back when destroyed, unless it was released to a new
// owner (a FileData's deleter).
//
// Files can be rewritten by other programs while they are read: a version
// of a file is told by its identity, and bytes are copied out only when the
// identity is the same before and after the copy.

#include "data/file_data.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace Mod {

// What changes when a file is rewritten or truncated: the size and the
// modification time (of the file open, whose inode stays when another file
// is renamed over its name or it is deleted).
struct FileIdentity {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0; // nanoseconds

    bool operator==(const FileIdentity&) const = default;
};

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;

    // Opens path read-only without waiting (a FIFO does not block the
    // caller); an invalid descriptor when that fails.
    static UniqueFd openReadOnly(const std::string& path);

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // The size of the file when it is a regular file, else nothing (-1).
    std::int64_t regularFileSize() const;
    // The identity of the regular file open here; nothing for another kind.
    std::optional<FileIdentity> identity() const;
    // Whether the file lies on a file system mounted read-only, where no
    // program can change it while it is mapped.
    bool onReadOnlyFileSystem() const;
    // Copies length bytes from offset into buffer; false when the file ends
    // first or the read fails.
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
    void reset();

private:
    int fd_ = -1;
};

class MappedView {
public:
    MappedView() = default;
    ~MappedView() { reset(); }
    MappedView(MappedView&& other) noexcept
        : base_(std::exchange(other.base_, nullptr)), length_(std::exchange(other.length_, 0))
    {
    }
    MappedView& operator=(MappedView&& other) noexcept;

    // Maps length bytes of fd from offset (a multiple of the page size); an
    // empty view when that fails.
    static MappedView map(int fd, std::uint64_t offset, std::size_t length);

    const unsigned char* data() const { return static_cast<const unsigned char*>(base_); }
    std::size_t size() const { return length_; }
    bool valid() const { return base_ != nullptr; }
    // Gives up ownership: the caller now unmaps base and size.
    void* release();
    void reset();

private:
    void* base_ = nullptr;
    std::size_t length_ = 0;
};

// length bytes of fd from offset, copied into a heap FileData, provided the
// file still has identity expected once they are copied (so they all come
// from that version); else no file.
FilePtr readStableCopy(const UniqueFd& fd, const FileIdentity& expected, std::uint64_t offset,
                       std::uint32_t length);

} // namespace Mod
