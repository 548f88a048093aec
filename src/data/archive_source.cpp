#include "data/archive_source.h"

#include "base/byte_reader.h"

#include "data/disk_path_resolver.h"
#include "data/text_compare.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <zlib.h>

namespace Mod {

namespace {

constexpr std::uint32_t HeaderSize = 180;
constexpr std::uint32_t TocPairsSize = 24;
constexpr std::uint32_t FolderRecordSize = 12;
constexpr std::uint32_t FileRecordSize = 20;
// Deflate cannot expand data by more than about 1032:1; a recorded full length
// beyond that cannot be a real member, and is not worth allocating for.
constexpr std::uint64_t MaxInflateRatio = 1040;

std::string normalise(const std::string& path)
{
    std::string result = toLowerAscii(path);
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    return result;
}

// Byte order as strcmp compares NUL-terminated names.
int compareNames(std::string_view a, std::string_view b)
{
    a = a.substr(0, a.find('\0'));
    const std::size_t n = std::min(a.size(), b.size());
    const int order = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (order != 0)
        return order;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::uint32_t folderHash(std::string_view name)
{
    return static_cast<std::uint32_t>(::crc32(static_cast<uLong>(name.size()),
                                              reinterpret_cast<const Bytef*>(name.data()),
                                              static_cast<uInt>(name.size())));
}

} // namespace

ArchiveSource::ArchiveSource(const std::string& path, DiskPathResolver* resolver) : path_(path)
{
    auto fail = [&](const char* reason) {
        std::string message = "Could not open archive " + path;
        if (reason)
            message += std::string(" (") + reason + ")";
        throw std::runtime_error(message);
    };

    // The path as given first; only when that fails, the case-insensitive way.
    fd_ = UniqueFd::openReadOnly(toPosixSeparators(path));
    if (!fd_.valid()) {
        std::optional<std::string> posix;
        if (resolver) {
            posix = resolver->resolve(path);
        } else {
            DiskPathResolver local;
            posix = local.resolve(path);
        }
        if (posix)
            fd_ = UniqueFd::openReadOnly(*posix);
    }
    const std::int64_t size = fd_.regularFileSize();
    if (size < 0)
        fail(nullptr);
    fileSize_ = static_cast<std::uint64_t>(size);
    granularity_ = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    if (fileSize_ < HeaderSize + TocPairsSize)
        fail("file is too small");

    // One view of the whole file serves the header and the table of contents
    // (address space is plentiful; pages are read only where touched).
    // Members get views of their own, so they outlive the archive.
    fileView_ = MappedView::map(fd_.get(), 0, static_cast<std::size_t>(fileSize_));
    if (!fileView_.valid())
        fail(nullptr);
    const unsigned char* header = fileView_.data();
    if (std::memcmp(header, "_ARCHIVE", 8) != 0)
        fail("file is not an SGA");
    if (base::readLe32(header + 8) != 2)
        fail("wrong SGA version");
    tocLength_ = base::readLe32(header + 172);
    dataBase_ = base::readLe32(header + 176);
    if (tocLength_ < TocPairsSize)
        fail("table of contents is too short");
    if (HeaderSize + std::uint64_t(tocLength_) > fileSize_)
        fail("table of contents lies outside the file");
    toc_ = header + HeaderSize;

    const std::uint32_t foldersOffset = base::readLe32(toc_ + 6);
    const std::uint16_t folderCount = base::readLe16(toc_ + 10);
    fileRecordsOffset_ = base::readLe32(toc_ + 12);
    namesOffset_ = base::readLe32(toc_ + 18);
    if (foldersOffset + std::uint64_t(folderCount) * FolderRecordSize > tocLength_)
        fail("folder records lie outside the table of contents");

    const std::uint64_t fileRecordsRoom =
        fileRecordsOffset_ > tocLength_ ? 0 : (tocLength_ - fileRecordsOffset_) / FileRecordSize;
    folders_.reserve(folderCount);
    for (std::uint16_t i = 0; i < folderCount; ++i) {
        const unsigned char* record = toc_ + foldersOffset + std::size_t(i) * FolderRecordSize;
        const std::uint32_t nameOffset = base::readLe32(record);
        FolderRecord folder{nameAt(nameOffset), base::readLe16(record + 4), base::readLe16(record + 6),
                            base::readLe16(record + 8), base::readLe16(record + 10), false};
        folder.valid = folder.name.data() != nullptr && folder.firstFile <= folder.endFile && folder.endFile <= fileRecordsRoom
                       && folder.firstFolder <= folder.endFolder && folder.endFolder <= folderCount;
        folders_.push_back(folder);
    }
    std::size_t slots = 16;
    while (slots < 2 * std::size_t(folderCount))
        slots *= 2;
    folderIndex_.assign(slots, -1);
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (!folders_[i].valid)
            continue;
        std::size_t slot = folderHash(folders_[i].name) & (slots - 1);
        while (folderIndex_[slot] >= 0 && folders_[folderIndex_[slot]].name != folders_[i].name)
            slot = (slot + 1) & (slots - 1);
        folderIndex_[slot] = static_cast<std::int32_t>(i); // a later record of the same name wins
    }
}

std::string_view ArchiveSource::nameAt(std::uint32_t offset) const
{
    const std::uint64_t start = std::uint64_t(namesOffset_) + offset;
    if (start >= tocLength_)
        return {};
    const char* begin = reinterpret_cast<const char*>(toc_) + start;
    const void* nul = std::memchr(begin, '\0', tocLength_ - start);
    if (!nul)
        return {};
    return {begin, static_cast<std::size_t>(static_cast<const char*>(nul) - begin)};
}

ArchiveSource::FileRecord ArchiveSource::fileRecord(std::uint16_t index) const
{
    const unsigned char* p = toc_ + fileRecordsOffset_ + std::size_t(index) * FileRecordSize;
    return {base::readLe32(p), base::readLe32(p + 8), base::readLe32(p + 12), base::readLe32(p + 16)};
}

const ArchiveSource::FolderRecord* ArchiveSource::findFolder(const std::string& normalisedPath) const
{
    const std::size_t mask = folderIndex_.size() - 1;
    for (std::size_t slot = folderHash(normalisedPath) & mask; folderIndex_[slot] >= 0; slot = (slot + 1) & mask) {
        const FolderRecord& folder = folders_[folderIndex_[slot]];
        if (folder.name == normalisedPath)
            return &folder;
    }
    return nullptr;
}

FilePtr ArchiveSource::open(const std::string& path)
{
    const std::string normalised = normalise(path);
    const auto slash = normalised.rfind('\\');
    const std::string folderName = slash == std::string::npos ? std::string() : normalised.substr(0, slash);
    const std::string_view fileName =
        slash == std::string::npos ? std::string_view(normalised) : std::string_view(normalised).substr(slash + 1);

    const FolderRecord* folder = findFolder(folderName);
    if (!folder)
        return {};
    std::uint16_t base = folder->firstFile;
    std::uint16_t count = static_cast<std::uint16_t>(folder->endFile - folder->firstFile);
    while (count > 0) {
        const std::uint16_t mid = count / 2;
        const FileRecord record = fileRecord(static_cast<std::uint16_t>(base + mid));
        const std::string_view name = nameAt(record.name);
        if (name.data() == nullptr)
            return {}; // a name outside the table: the search cannot go on
        const int order = compareNames(fileName, name);
        if (order == 0)
            return openMember(record);
        if (order < 0) {
            count = mid;
        } else {
            base = static_cast<std::uint16_t>(base + mid + 1);
            count = static_cast<std::uint16_t>(count - mid - 1);
        }
    }
    return {};
}

FilePtr ArchiveSource::openMember(const FileRecord& record) const
{
    const std::uint32_t position = dataBase_ + record.dataOffset; // 32-bit, as the format adds them
    if (std::uint64_t(position) + record.storedLength > fileSize_)
        return {};
    if (record.storedLength == 0) {
        // Nothing to map; an empty stored member is an empty file, a
        // compressed one cannot be inflated.
        if (record.fullLength != 0)
            return {};
        void* buffer = std::malloc(1);
        return buffer ? makeHeapFile(buffer, 0) : FilePtr();
    }
    const std::size_t skew = position % granularity_;
    MappedView view = MappedView::map(fd_.get(), position - skew, skew + record.storedLength);
    if (!view.valid())
        return {};
    if (record.storedLength == record.fullLength) {
        const std::size_t viewLength = view.size();
        return makeMappedMember(view.release(), viewLength, skew, record.fullLength);
    }

    if (record.fullLength > std::uint64_t(record.storedLength) * MaxInflateRatio + 64)
        return {};
    void* buffer = std::malloc(record.fullLength ? record.fullLength : 1);
    if (!buffer)
        return {};
    uLongf inflated = record.fullLength;
    const int status = ::uncompress(static_cast<Bytef*>(buffer), &inflated, view.data() + skew, record.storedLength);
    if (status != Z_OK) {
        std::free(buffer);
        return {};
    }
    return makeHeapFile(buffer, static_cast<std::uint32_t>(inflated));
}

void ArchiveSource::list(const std::string& path, std::vector<std::string>& names)
{
    std::string normalised = normalise(path);
    if (!normalised.empty() && normalised.back() == '\\')
        normalised.pop_back();
    const FolderRecord* folder = findFolder(normalised);
    if (!folder)
        return;
    for (std::uint16_t i = folder->firstFile; i < folder->endFile; ++i) {
        const std::string_view name = nameAt(fileRecord(i).name);
        if (!name.empty())
            names.emplace_back(name);
    }
    for (std::uint16_t i = folder->firstFolder; i < folder->endFolder; ++i) {
        const FolderRecord& sub = folders_[i];
        if (!sub.valid || sub.name.empty())
            continue;
        std::string_view last = sub.name;
        if (!folder->name.empty() && last.size() > folder->name.size() + 1
            && last.substr(0, folder->name.size()) == folder->name && last[folder->name.size()] == '\\')
            last.remove_prefix(folder->name.size() + 1);
        names.emplace_back(last);
    }
}

std::vector<ArchiveSource::Member> ArchiveSource::members() const
{
    std::vector<Member> result;
    // Folder records may claim the same file records many times over: each
    // record is listed once, so the list stays as long as the file table.
    std::vector<bool> listed(std::size_t{0xFFFF} + 1);
    for (const FolderRecord& folder : folders_) {
        if (!folder.valid)
            continue;
        for (std::uint16_t i = folder.firstFile; i < folder.endFile; ++i) {
            if (listed[i])
                continue;
            listed[i] = true;
            const FileRecord record = fileRecord(i);
            const std::string_view name = nameAt(record.name);
            if (name.empty())
                continue;
            std::string memberPath = folder.name.empty() ? std::string() : std::string(folder.name) + "\\";
            memberPath += name;
            result.push_back({std::move(memberPath), record.storedLength, record.fullLength});
        }
    }
    return result;
}

} // namespace Mod
