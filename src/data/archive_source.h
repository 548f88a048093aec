#pragma once
// An SGA archive (version 2) as a file source. The header and the folder
// records are read once; a folder's file records when it is first used
// (each record once, however many folder records claim it); each member on
// demand and, when stored compressed, inflated with zlib. Archive bytes are
// untrusted: records, names and member ranges that point outside the file
// are never read; such members and folders are absent, as are names longer
// than MaxNameLength bytes.
//
// The archive may be rewritten by another program while it is mounted. The
// source serves only the version it read its folder records from: once
// the file has changed (rewritten, truncated, grown) it has no files and
// lists nothing until it is opened again. A file replaced by renaming over
// it, or deleted, leaves the open version readable. Members are copied out
// of the file, so what was handed out never changes; on a file system
// mounted read-only stored members are mapped instead, without a copy.

#include "data/file_source.h"
#include "data/posix_file.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>

namespace Mod {

class DiskPathResolver;

class ArchiveSource : public FileSource {
public:
    // Far beyond the 260 characters of a Windows path: longer names are no
    // names, so that names pointing into one long string cost no more than
    // this each.
    static constexpr std::size_t MaxNameLength = 1024;

    // Opens the archive at path (a game path, see DiskPathResolver; resolved
    // with resolver when one is given). Throws std::runtime_error
    // "Could not open archive " + path [+ " (" + reason + ")"].
    explicit ArchiveSource(const std::string& path, DiskPathResolver* resolver = nullptr);
    ArchiveSource(const ArchiveSource&) = delete;
    ArchiveSource& operator=(const ArchiveSource&) = delete;

    FilePtr open(const std::string& path) override;
    void list(const std::string& path, std::vector<std::string>& names) override;

    const std::string& path() const { return path_; }
    // The member that open(path) serves, as the archive names it (folder,
    // "\", name), without reading it; nothing when the archive has no such
    // member.
    std::optional<std::string> memberPath(const std::string& path) const;

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
        std::string name;
        std::uint16_t firstFolder, endFolder, firstFile, endFile;
        bool valid; // name, file range and sub-folder range lie inside the tables
    };
    struct FileRecord {
        std::uint32_t name, dataOffset, storedLength, fullLength;
    };
    struct FileEntry {
        FileRecord record;
        // Nothing for a name that does not end inside the table of contents
        // or is longer than MaxNameLength.
        std::optional<std::string> name;
    };

    // length bytes of the table of contents from offset.
    bool readToc(std::uint64_t offset, void* buffer, std::size_t length) const;
    // The NUL-terminated names at these offsets into the name table.
    std::vector<std::optional<std::string>> readNames(const std::vector<std::uint32_t>& offsets) const;
    const FolderRecord* findFolder(const std::string& normalisedPath) const;
    // The file record that path names, or null.
    const FileEntry* findEntry(const std::string& path) const;
    // The entries [firstFile, endFile) of a valid folder, read on first use;
    // null once the archive has changed.
    std::optional<std::span<const FileEntry>> filesOf(const FolderRecord& folder) const;
    FilePtr openMember(const FileRecord& record) const;
    // Whether the file is still the version the table of contents came from.
    bool unchanged() const;

    std::string path_;
    UniqueFd fd_;
    std::uint64_t fileSize_ = 0;
    std::size_t granularity_ = 0;
    FileIdentity identity_;
    bool mapMembers_ = false;
    std::uint32_t tocLength_ = 0;
    std::uint32_t dataBase_ = 0;
    std::uint32_t fileRecordsOffset_ = 0;
    std::uint32_t namesOffset_ = 0;
    std::vector<FolderRecord> folders_; // every folder record, in record order
    // The folder index: open addressing over folders_, hashed with CRC-32 of
    // the name (seeded with its length); -1 marks a free slot.
    std::vector<std::int32_t> folderIndex_;
    mutable std::mutex filesMutex_;
    std::size_t fileRecordsUsed_ = 0; // as far as the valid folder records reach
    // By file record, made on first use; an entry is written once, under
    // the mutex, before filesOf hands it out.
    mutable std::vector<FileEntry> entries_;
    mutable std::vector<bool> entryRead_;
};

} // namespace Mod
