#pragma once
// An SGA archive (version 2) as a file source. The header and table of
// contents are mapped once; each member is mapped on demand and, when stored
// compressed, inflated with zlib. Archive bytes are untrusted: records, names
// and member ranges that point outside the file are never read; such members
// and folders are absent.

#include "data/file_source.h"
#include "data/posix_file.h"

#include <cstdint>
#include <string_view>

namespace Mod {

class DiskPathResolver;

class ArchiveSource : public FileSource {
public:
    // Opens the archive at path (a game path, see DiskPathResolver; resolved
    // with resolver when one is given). Throws std::runtime_error
    // "Could not open archive " + path [+ " (" + reason + ")"].
    explicit ArchiveSource(const std::string& path, DiskPathResolver* resolver = nullptr);
    ArchiveSource(const ArchiveSource&) = delete;
    ArchiveSource& operator=(const ArchiveSource&) = delete;

    FilePtr open(const std::string& path) override;
    void list(const std::string& path, std::vector<std::string>& names) override;

    const std::string& path() const { return path_; }

    struct Member {
        std::string path; // folder, "\", name (just the name at the top level)
        std::uint32_t storedLength;
        std::uint32_t fullLength;
    };
    // Every member, in the order of the folder and file records; a file
    // record that several folder records claim is listed once, under the
    // first.
    std::vector<Member> members() const;

private:
    struct FolderRecord {
        std::string_view name;
        std::uint16_t firstFolder, endFolder, firstFile, endFile;
        bool valid; // name, file range and sub-folder range lie inside the tables
    };
    struct FileRecord {
        std::uint32_t name, dataOffset, storedLength, fullLength;
    };

    // The NUL-terminated name at offset in the name table; a null view when it
    // does not end inside the table of contents.
    std::string_view nameAt(std::uint32_t offset) const;
    FileRecord fileRecord(std::uint16_t index) const;
    const FolderRecord* findFolder(const std::string& normalisedPath) const;
    FilePtr openMember(const FileRecord& record) const;

    std::string path_;
    UniqueFd fd_;
    std::uint64_t fileSize_ = 0;
    std::size_t granularity_ = 0;
    MappedView fileView_; // the whole file: header, table of contents and members
    const unsigned char* toc_ = nullptr;
    std::uint32_t tocLength_ = 0;
    std::uint32_t dataBase_ = 0;
    std::uint32_t fileRecordsOffset_ = 0;
    std::uint32_t namesOffset_ = 0;
    std::vector<FolderRecord> folders_; // every folder record, in record order
    // The folder index: open addressing over folders_, hashed with CRC-32 of
    // the name (seeded with its length); -1 marks a free slot.
    std::vector<std::int32_t> folderIndex_;
};

} // namespace Mod
