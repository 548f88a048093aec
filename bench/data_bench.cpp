// Costs of the game data layer: mounting, opening archive members, and
// finding disk paths written for a case-insensitive file system.

#include "base/diagnostic_log.h"
#include "data/archive_source.h"
#include "data/disk_file_source.h"
#include "data/mount_module.h"
#include "data/sga_writer.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <random>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr int ArchiveCount = 20;
constexpr int MembersPerArchive = 5000;

// Text-like bytes that compress about as well as game data does.
std::string gameLikeData(std::size_t size, unsigned seed)
{
    static const char* words[] = {"Widget", " = {", "colour", "texture", "}, ", "\n\t", "Art\\UI\\", "0.25", "name"};
    std::mt19937 random(seed);
    std::string data;
    while (data.size() < size) {
        data += words[random() % 9];
        if (random() % 4 == 0)
            data += static_cast<char>('a' + random() % 26);
    }
    data.resize(size);
    return data;
}

// An installation whose one module mounts 20 archives of the given number of
// members each, in 50 folders.
struct LargeInstallation {
    explicit LargeInstallation(int membersPerArchive)
    {
        std::string module = "ModFolder = Mod\n";
        for (int a = 0; a < ArchiveCount; ++a) {
            std::vector<Mod::SgaMember> members;
            for (int m = 0; m < membersPerArchive; ++m)
                members.push_back({"art/folder" + std::to_string(m % 50) + "/member" + std::to_string(m) + ".txt",
                                   "member " + std::to_string(m)});
            archives.push_back(dir.write("Mod/Archive" + std::to_string(a) + ".sga", Mod::writeSga(members)));
            module += "ArchiveFile." + std::to_string(a + 1) + " = Archive" + std::to_string(a) + "\n";
        }
        modulePath = dir.write("Mod.module", module);
    }
    TestSupport::TempDir dir;
    std::vector<std::string> archives;
    std::string modulePath;
};

LargeInstallation& largeInstallation(int membersPerArchive = MembersPerArchive)
{
    static std::map<int, std::unique_ptr<LargeInstallation>> installations;
    auto& installation = installations[membersPerArchive];
    if (!installation)
        installation = std::make_unique<LargeInstallation>(membersPerArchive);
    return *installation;
}

// Mounting does no work per member: 500 and 5,000 members cost the same.
void BM_MountModule20Archives(benchmark::State& state)
{
    LargeInstallation& installation = largeInstallation(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Mod::ModContext context;
        Mod::MountModule(context, installation.modulePath);
        benchmark::DoNotOptimize(context.source->sources().size());
    }
}
BENCHMARK(BM_MountModule20Archives)->Arg(500)->Arg(MembersPerArchive)->Unit(benchmark::kMicrosecond);

// The floor for mounting: opening and mapping the same 20 files and reading
// every byte of their headers and tables of contents (folder and file
// records, names), the least any reader of the archives must do.
void BM_MapAndReadTables20Archives(benchmark::State& state)
{
    LargeInstallation& installation = largeInstallation();
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (const std::string& path : installation.archives) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat info;
            ::fstat(fd, &info);
            const auto size = static_cast<std::size_t>(info.st_size);
            void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            const auto* bytes = static_cast<const unsigned char*>(view);
            std::uint32_t tocLength;
            std::memcpy(&tocLength, bytes + 172, 4);
            const std::size_t end = std::min<std::size_t>(size, 180 + std::size_t{tocLength});
            for (std::size_t i = 0; i < end; ++i)
                sum += bytes[i];
            ::munmap(view, size);
            ::close(fd);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_MapAndReadTables20Archives)->Unit(benchmark::kMicrosecond);

struct MemberArchive {
    MemberArchive()
    {
        data = gameLikeData(256 * 1024, 1);
        path = dir.write("members.sga", Mod::writeSga({{"packed.txt", data}}) );
        storedPath = dir.write("stored.sga", Mod::writeSga({{"small.bin", gameLikeData(4096, 2)},
                                                            {"large.bin", gameLikeData(16 << 20, 3)}}, false));
        uLongf length = compressBound(static_cast<uLong>(data.size()));
        compressed.resize(length);
        compress2(reinterpret_cast<Bytef*>(compressed.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION);
        compressed.resize(length);
    }
    TestSupport::TempDir dir;
    std::string data, compressed, path, storedPath;
};

MemberArchive& memberArchive()
{
    static MemberArchive archive;
    return archive;
}

void BM_OpenCompressedMember256K(benchmark::State& state)
{
    Mod::ArchiveSource archive(memberArchive().path);
    for (auto _ : state) {
        const Mod::FilePtr file = archive.open("packed.txt");
        benchmark::DoNotOptimize(file->data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256 * 1024);
}
BENCHMARK(BM_OpenCompressedMember256K)->Unit(benchmark::kMicrosecond);

// The floor for a compressed member: zlib's uncompress of the same bytes
// into a buffer that already exists.
void BM_ZlibUncompress256K(benchmark::State& state)
{
    MemberArchive& member = memberArchive();
    std::string out(member.data.size(), '\0');
    for (auto _ : state) {
        uLongf length = static_cast<uLongf>(out.size());
        uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(member.compressed.data()),
                   static_cast<uLong>(member.compressed.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256 * 1024);
}
BENCHMARK(BM_ZlibUncompress256K)->Unit(benchmark::kMicrosecond);

// A stored member costs the same whatever its size: it is mapped, not copied.
void BM_OpenStoredMember(benchmark::State& state)
{
    Mod::ArchiveSource archive(memberArchive().storedPath);
    const std::string name = state.range(0) ? "large.bin" : "small.bin";
    for (auto _ : state) {
        const Mod::FilePtr file = archive.open(name);
        benchmark::DoNotOptimize(file->data[0]);
    }
    state.SetLabel(state.range(0) ? "16 MiB" : "4 KiB");
}
BENCHMARK(BM_OpenStoredMember)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

struct DeepFolder {
    DeepFolder()
    {
        for (int i = 0; i < 200; ++i)
            dir.write("Game/Mods/Emberwake/Data/Art/UI/Screens/Screen" + std::to_string(i) + ".screen", "Screen = {}");
        exact = dir / "Game/Mods/Emberwake/Data/Art/UI/Screens/Screen150.screen";
        wrongCase = dir / "GAME\\mods\\EMBERWAKE\\data\\art\\ui\\screens\\screen150.SCREEN";
    }
    TestSupport::TempDir dir;
    std::string exact, wrongCase;
};

void openDiskPath(benchmark::State& state, bool rightCase)
{
    static DeepFolder folder;
    Mod::DiskFileSource disk;
    const std::string& path = rightCase ? folder.exact : folder.wrongCase;
    benchmark::DoNotOptimize(disk.open(path)); // the folders are seen once
    for (auto _ : state) {
        const Mod::FilePtr file = disk.open(path);
        benchmark::DoNotOptimize(file->data);
    }
}

void BM_OpenDiskPathRightCase(benchmark::State& state) { openDiskPath(state, true); }
void BM_OpenDiskPathWrongCase(benchmark::State& state) { openDiskPath(state, false); }
BENCHMARK(BM_OpenDiskPathRightCase);
BENCHMARK(BM_OpenDiskPathWrongCase);

} // namespace
