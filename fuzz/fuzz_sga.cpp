// The SGA archive reader: the input is written to a file and opened as an
// archive; then every folder is listed, recursively from the top, every
// listed name and every member opened and read to its last byte.

#include "fuzz_bytes.h"

#include "data/archive_source.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

// Folder records may name their own ancestors as sub-folders: the walk stops
// at a depth and a number of names that no real archive comes near.
constexpr int MaxDepth = 12;
constexpr std::size_t MaxNames = 20000;

std::string archivePath;

unsigned readAll(const Mod::FilePtr& file)
{
    unsigned sum = 0;
    if (Mod::hasData(file)) {
        for (std::uint32_t i = 0; i < file->length; ++i)
            sum += static_cast<unsigned char>(file->data[i]);
    }
    return sum;
}

void walk(Mod::ArchiveSource& archive, const std::string& folder, int depth, std::size_t& names, unsigned& sum)
{
    std::vector<std::string> entries;
    archive.list(folder, entries);
    for (const std::string& name : entries) {
        if (++names > MaxNames)
            return;
        const std::string path = folder.empty() ? name : folder + "\\" + name;
        sum += readAll(archive.open(path));
        if (depth < MaxDepth)
            walk(archive, path, depth + 1, names, sum);
    }
}

void writeInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(archivePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    archivePath = Fuzz::scratchPath("tise-fuzz-archive");
    std::atexit([] { ::unlink(archivePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeInput(data, size);
    try {
        Mod::ArchiveSource archive(archivePath);
        std::size_t names = 0;
        unsigned sum = 0;
        walk(archive, "", 0, names, sum);
        for (const Mod::ArchiveSource::Member& member : archive.members()) {
            if (++names > MaxNames)
                break;
            sum += readAll(archive.open(member.path));
        }
        volatile unsigned keep = sum;
        (void)keep;
    } catch (const std::runtime_error&) {
        // Not an archive: refused as the reader promises.
    }
    return 0;
}
