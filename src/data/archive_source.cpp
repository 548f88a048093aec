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

    // What this source hands out is read from the file while it is the
    // version the folder records came from: a packer rewriting the archive
    // in place leaves the source without files, never with a crash or a mix
    // of two versions.
    const std::optional<FileIdentity> identity = fd_.identity();
    if (!identity)
        fail(nullptr);
    identity_ = *identity;
    mapMembers_ = fd_.onReadOnlyFileSystem();
    unsigned char header[HeaderSize + TocPairsSize];
    if (!fd_.readAt(0, header, sizeof header))
        fail(nullptr);
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
    const unsigned char* pairs = header + HeaderSize;

    const std::uint32_t foldersOffset = base::readLe32(pairs + 6);
    const std::uint16_t folderCount = base::readLe16(pairs + 10);
    fileRecordsOffset_ = base::readLe32(pairs + 12);
    namesOffset_ = base::readLe32(pairs + 18);
    if (foldersOffset + std::uint64_t(folderCount) * FolderRecordSize > tocLength_)
        fail("folder records lie outside the table of contents");

    std::vector<unsigned char> records(std::size_t(folderCount) * FolderRecordSize);
    if (!readToc(foldersOffset, records.data(), records.size()))
        fail(nullptr);
    std::vector<std::uint32_t> nameOffsets;
    for (std::uint16_t i = 0; i < folderCount; ++i)
        nameOffsets.push_back(base::readLe32(records.data() + std::size_t(i) * FolderRecordSize));
    std::vector<std::optional<std::string>> names = readNames(nameOffsets);

    const std::uint64_t fileRecordsRoom =
        fileRecordsOffset_ > tocLength_ ? 0 : (tocLength_ - fileRecordsOffset_) / FileRecordSize;
    folders_.reserve(folderCount);
    for (std::uint16_t i = 0; i < folderCount; ++i) {
        const unsigned char* record = records.data() + std::size_t(i) * FolderRecordSize;
        FolderRecord folder{names[i].value_or(std::string()), base::readLe16(record + 4), base::readLe16(record + 6),
                            base::readLe16(record + 8), base::readLe16(record + 10), false};
        folder.valid = names[i].has_value() && folder.firstFile <= folder.endFile && folder.endFile <= fileRecordsRoom
                       && folder.firstFolder <= folder.endFolder && folder.endFolder <= folderCount;
        folders_.push_back(std::move(folder));
    }
    if (!unchanged())
        fail("file changed while it was read");
    for (const FolderRecord& folder : folders_)
        if (folder.valid)
            fileRecordsUsed_ = std::max<std::size_t>(fileRecordsUsed_, folder.endFile);
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

bool ArchiveSource::readToc(std::uint64_t offset, void* buffer, std::size_t length) const
{
    return offset + length <= tocLength_ && fd_.readAt(HeaderSize + offset, buffer, length);
}

std::vector<std::optional<std::string>> ArchiveSource::readNames(const std::vector<std::uint32_t>& offsets) const
{
    std::vector<std::optional<std::string>> names(offsets.size());
    if (offsets.empty())
        return names;
    auto startOf = [&](std::uint32_t offset) { return std::uint64_t(namesOffset_) + offset; };
    // A name alone: up to MaxNameLength bytes and its NUL.
    auto readOne = [&](std::uint64_t start) -> std::optional<std::string> {
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(tocLength_ - start, MaxNameLength + 1)), '\0');
        if (!readToc(start, bytes.data(), bytes.size()))
            return std::nullopt;
        const std::size_t nul = bytes.find('\0');
        if (nul == std::string::npos)
            return std::nullopt;
        bytes.resize(nul);
        return bytes;
    };
    // Names of one folder lie close together: one read covers them when
    // their span is short, and a name that runs past it is read on its own.
    constexpr std::uint64_t Slack = 256, SpanLimit = 256 * 1024;
    std::uint64_t low = UINT64_MAX, high = 0;
    for (const std::uint32_t offset : offsets) {
        if (startOf(offset) < tocLength_) {
            low = std::min(low, startOf(offset));
            high = std::max(high, startOf(offset));
        }
    }
    if (low == UINT64_MAX)
        return names;
    std::string span;
    if (high - low <= SpanLimit) {
        span.resize(static_cast<std::size_t>(std::min<std::uint64_t>(tocLength_, high + Slack) - low));
        if (!readToc(low, span.data(), span.size()))
            span.clear();
    }
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::uint64_t start = startOf(offsets[i]);
        if (start >= tocLength_)
            continue;
        if (!span.empty()) {
            const std::size_t at = static_cast<std::size_t>(start - low);
            const std::size_t end = span.find('\0', at);
            if (end != std::string::npos) {
                if (end - at <= MaxNameLength)
                    names[i] = span.substr(at, end - at);
                continue;
            }
        }
        names[i] = readOne(start);
    }
    return names;
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

std::optional<std::span<const ArchiveSource::FileEntry>> ArchiveSource::filesOf(const FolderRecord& folder) const
{
    const std::lock_guard lock(filesMutex_);
    if (!unchanged())
        return std::nullopt;
    // Made on first use, so that mounting costs nothing per file record;
    // never resized after.
    if (entries_.size() != fileRecordsUsed_) {
        entries_.resize(fileRecordsUsed_);
        entryRead_.resize(fileRecordsUsed_);
    }
    // The runs of records no folder has read yet.
    for (std::size_t first = folder.firstFile; first < folder.endFile;) {
        if (entryRead_[first]) {
            ++first;
            continue;
        }
        std::size_t end = first;
        while (end < folder.endFile && !entryRead_[end])
            ++end;
        const std::size_t count = end - first;
        std::vector<unsigned char> bytes(count * FileRecordSize);
        if (!readToc(fileRecordsOffset_ + std::uint64_t(first) * FileRecordSize, bytes.data(), bytes.size()))
            return std::nullopt;
        std::vector<std::uint32_t> nameOffsets;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* p = bytes.data() + i * FileRecordSize;
            entries_[first + i].record = {base::readLe32(p), base::readLe32(p + 8), base::readLe32(p + 12),
                                          base::readLe32(p + 16)};
            nameOffsets.push_back(entries_[first + i].record.name);
        }
        std::vector<std::optional<std::string>> names = readNames(nameOffsets);
        for (std::size_t i = 0; i < count; ++i) {
            entries_[first + i].name = std::move(names[i]);
            entryRead_[first + i] = true;
        }
        first = end;
    }
    // Read from a file that changed meanwhile, the entries are never served.
    if (!unchanged())
        return std::nullopt;
    return std::span<const FileEntry>(entries_).subspan(folder.firstFile, folder.endFile - folder.firstFile);
}

const ArchiveSource::FileEntry* ArchiveSource::findEntry(const std::string& path) const
{
    const std::string normalised = normalise(path);
    const auto slash = normalised.rfind('\\');
    const std::string folderName = slash == std::string::npos ? std::string() : normalised.substr(0, slash);
    const std::string_view fileName =
        slash == std::string::npos ? std::string_view(normalised) : std::string_view(normalised).substr(slash + 1);

    const FolderRecord* folder = findFolder(folderName);
    const auto files = folder ? filesOf(*folder) : std::nullopt;
    if (!files)
        return nullptr;
    std::size_t base = 0;
    std::size_t count = files->size();
    while (count > 0) {
        const std::size_t mid = count / 2;
        const std::optional<std::string>& name = (*files)[base + mid].name;
        if (!name)
            return nullptr; // a name outside the table: the search cannot go on
        const int order = compareNames(fileName, *name);
        if (order == 0)
            return &(*files)[base + mid];
        if (order < 0) {
            count = mid;
        } else {
            base += mid + 1;
            count -= mid + 1;
        }
    }
    return nullptr;
}

FilePtr ArchiveSource::open(const std::string& path)
{
    const FileEntry* entry = findEntry(path);
    return entry ? openMember(entry->record) : FilePtr();
}

std::optional<std::string> ArchiveSource::memberPath(const std::string& path) const
{
    const FileEntry* entry = findEntry(path);
    if (!entry)
        return std::nullopt;
    const std::string normalised = normalise(path);
    const auto slash = normalised.rfind('\\');
    // The folder as its record names it (the lookup matched it exactly), the name as stored.
    return slash == std::string::npos ? *entry->name : normalised.substr(0, slash + 1) + *entry->name;
}

bool ArchiveSource::unchanged() const { return fd_.identity() == identity_; }

FilePtr ArchiveSource::openMember(const FileRecord& record) const
{
    const std::uint32_t position = dataBase_ + record.dataOffset; // 32-bit, as the format adds them
    if (std::uint64_t(position) + record.storedLength > fileSize_ || !unchanged())
        return {};
    if (record.storedLength == 0) {
        // Nothing to map; an empty stored member is an empty file, a
        // compressed one cannot be inflated.
        if (record.fullLength != 0)
            return {};
        void* buffer = std::malloc(1);
        return buffer ? makeHeapFile(buffer, 0) : FilePtr();
    }
    if (record.storedLength == record.fullLength) {
        if (!mapMembers_)
            return readStableCopy(fd_, identity_, position, record.storedLength);
        // On a read-only file system the member cannot change: a view of it
        // serves it without a copy.
        const std::size_t skew = position % granularity_;
        MappedView view = MappedView::map(fd_.get(), position - skew, skew + record.storedLength);
        if (!view.valid())
            return {};
        const std::size_t viewLength = view.size();
        return makeMappedMember(view.release(), viewLength, skew, record.fullLength);
    }

    if (record.fullLength > std::uint64_t(record.storedLength) * MaxInflateRatio + 64)
        return {};
    const FilePtr packed = readStableCopy(fd_, identity_, position, record.storedLength);
    if (!packed)
        return {};
    void* buffer = std::malloc(record.fullLength ? record.fullLength : 1);
    if (!buffer)
        return {};
    uLongf inflated = record.fullLength;
    const int status = ::uncompress(static_cast<Bytef*>(buffer), &inflated, reinterpret_cast<const Bytef*>(packed->data),
                                    record.storedLength);
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
    const auto files = folder ? filesOf(*folder) : std::nullopt;
    if (!files)
        return;
    for (const FileEntry& entry : *files) {
        if (entry.name && !entry.name->empty())
            names.push_back(*entry.name);
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
        const auto files = folder.valid ? filesOf(folder) : std::nullopt;
        if (!files)
            continue;
        for (std::size_t i = folder.firstFile; i < folder.endFile; ++i) {
            if (listed[i])
                continue;
            listed[i] = true;
            const FileEntry& entry = (*files)[i - folder.firstFile];
            if (!entry.name || entry.name->empty())
                continue;
            std::string memberPath = folder.name.empty() ? std::string() : folder.name + "\\";
            memberPath += *entry.name;
            result.push_back({std::move(memberPath), entry.record.storedLength, entry.record.fullLength});
        }
    }
    return result;
}

} // namespace Mod
