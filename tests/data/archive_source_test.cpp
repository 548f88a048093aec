#include "data/archive_source.h"
#include "data/sga_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <functional>
#include <set>
#include <zlib.h>

using Mod::ArchiveSource;
using TestSupport::TempDir;

namespace {

std::uint32_t get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void set32(std::string& bytes, std::size_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

// Offset of the first file record in archive bytes written by our writer.
std::size_t firstFileRecord(const std::string& archive) { return 180 + get32(archive, 180 + 12); }

std::string zlibStream(const std::string& data)
{
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    out.resize(length);
    return out;
}

std::string text(const Mod::FilePtr& file) { return Mod::hasData(file) ? std::string(file->view()) : "<no file>"; }

// Whether address lies in a mapping of the file at path, as /proc/self/maps shows.
bool mappedFrom(const void* address, const std::string& path)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    const auto target = reinterpret_cast<std::uintptr_t>(address);
    while (std::getline(maps, line)) {
        std::uintptr_t low = 0, high = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx", &low, &high) == 2 && target >= low && target < high)
            return line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0;
    }
    return false;
}

const std::string Repetitive(5000, 'x');

class ArchiveSourceTest : public ::testing::Test {
protected:
    std::string write(const std::vector<Mod::SgaMember>& members, bool compress = true)
    {
        return dir.write("archive.sga", Mod::writeSga(members, compress));
    }
    TempDir dir;
};

} // namespace

TEST_F(ArchiveSourceTest, FindsMembersWithAnyCaseAndSeparator)
{
    ArchiveSource archive(write({{"Art/UI/Screens/Main.screen", "main"},
                                 {"art\\ui\\styles\\default.lua", "style"},
                                 {"Top.txt", "top"}}));
    EXPECT_EQ(text(archive.open("ART/ui/Screens/MAIN.SCREEN")), "main");
    EXPECT_EQ(text(archive.open("art\\ui\\screens\\main.screen")), "main");
    EXPECT_EQ(text(archive.open("Art/UI\\Styles/Default.lua")), "style");
    EXPECT_EQ(text(archive.open("top.txt")), "top") << "a bare name is looked up at the top level";
    EXPECT_EQ(text(archive.open("art/ui/screens/missing.screen")), "<no file>");
    EXPECT_EQ(text(archive.open("nofolder/main.screen")), "<no file>");
    EXPECT_EQ(text(archive.open("art/ui/screens")), "<no file>") << "a folder is not a file";
}

TEST_F(ArchiveSourceTest, BinarySearchFindsEveryMemberOfALargeFolder)
{
    std::vector<Mod::SgaMember> members;
    for (int i = 0; i < 1000; ++i)
        members.push_back({"data/file" + std::to_string(i * 7919 % 1000) + ".bin", std::to_string(i * 7919 % 1000)});
    ArchiveSource archive(write(members));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(text(archive.open("data/file" + std::to_string(i) + ".bin")), std::to_string(i));
    EXPECT_FALSE(Mod::hasData(archive.open("data/file1000.bin")));
    EXPECT_FALSE(Mod::hasData(archive.open("data/a")));
    EXPECT_FALSE(Mod::hasData(archive.open("data/zzz")));
}

TEST_F(ArchiveSourceTest, MembersAreCopiedOutOfAWritableArchive)
{
    const std::string path = write({{"a/stored.bin", "stored bytes"}, {"a/packed.bin", Repetitive}});
    ArchiveSource archive(path);
    const Mod::FilePtr stored = archive.open("a/stored.bin");
    ASSERT_TRUE(Mod::hasData(stored));
    EXPECT_EQ(text(stored), "stored bytes");
    EXPECT_FALSE(mappedFrom(stored->data, path)) << "another program may rewrite the archive under a mapping";

    const Mod::FilePtr packed = archive.open("a/packed.bin");
    ASSERT_TRUE(Mod::hasData(packed));
    EXPECT_EQ(text(packed), Repetitive);
    EXPECT_FALSE(mappedFrom(packed->data, path)) << "a compressed member is inflated into a buffer";
}

// Packers rewrite archives in place: truncated, then written again.
TEST_F(ArchiveSourceTest, ArchiveRewrittenInPlaceHasNoFilesUntilOpenedAgain)
{
    const std::string path = write({{"a/stored.bin", "old stored"}, {"a/packed.bin", Repetitive}});
    ArchiveSource archive(path);
    const Mod::FilePtr before = archive.open("a/stored.bin");
    ASSERT_EQ(text(before), "old stored");

    const std::string rewritten = Mod::writeSga({{"a/stored.bin", "new stored!"}, {"a/other.bin", "other"}});
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(text(archive.open("a/stored.bin")), "<no file>") << "the truncated archive";
    {
        std::ofstream in(path, std::ios::binary | std::ios::in | std::ios::out);
        in.write(rewritten.data(), static_cast<std::streamsize>(rewritten.size()));
    }
    EXPECT_EQ(text(archive.open("a/stored.bin")), "<no file>") << "the table of contents is the old version's";
    EXPECT_EQ(text(archive.open("a/packed.bin")), "<no file>");
    std::vector<std::string> names;
    archive.list("a", names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(text(before), "old stored") << "what was handed out stays as it was";

    ArchiveSource again(path);
    EXPECT_EQ(text(again.open("a/stored.bin")), "new stored!");
    EXPECT_EQ(text(again.open("a/other.bin")), "other");
}

TEST_F(ArchiveSourceTest, ArchiveReplacedByRenameKeepsServingTheOpenVersion)
{
    const std::string path = write({{"a/stored.bin", "old stored"}, {"a/packed.bin", Repetitive}});
    ArchiveSource archive(path);
    const std::string replacement = dir.write("replacement.sga", Mod::writeSga({{"a/stored.bin", "new"}}));
    std::filesystem::rename(replacement, path);
    EXPECT_EQ(text(archive.open("a/stored.bin")), "old stored");
    EXPECT_EQ(text(archive.open("a/packed.bin")), Repetitive);
    std::filesystem::remove(path);
    EXPECT_EQ(text(archive.open("a/stored.bin")), "old stored") << "a deleted file stays readable while open";
}

// A writer truncating and rewriting the archive over and over while members
// are read: each read gives one version's bytes whole, or no file, and
// nothing crashes.
TEST_F(ArchiveSourceTest, ReadsRacingARewriteGiveOneVersionOrNothing)
{
    // Bytes that do not compress stay stored; repeated ones are packed.
    auto noise = [](unsigned seed) {
        std::string bytes(20000, '\0');
        for (char& c : bytes) {
            seed = seed * 1103515245u + 12345u;
            c = static_cast<char>(seed >> 24);
        }
        return bytes;
    };
    const std::string storedA = noise(1), storedB = noise(2), packedA(20000, 'a'), packedB(20000, 'b');
    const std::string versionA = Mod::writeSga({{"m/stored.bin", storedA}, {"m/packed.bin", packedA}});
    const std::string versionB =
        Mod::writeSga({{"m/stored.bin", storedB}, {"m/packed.bin", packedB}, {"m/more.bin", noise(3)}});
    const std::string path = dir.write("race.sga", versionA);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            const std::string& bytes = i % 2 ? versionA : versionB;
            {
                std::ofstream out(path, std::ios::binary | std::ios::trunc);
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            }
            // A pause, as between a packer's runs: a version is told by its
            // size and times, and these have a coarse clock.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    int served = 0;
    // 300 rounds, and more on a busy machine until some reads were served
    // (a read that overlaps a write is refused), for at most 20 seconds.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 300 || (served < 20 && std::chrono::steady_clock::now() < giveUp); ++i) {
        std::unique_ptr<ArchiveSource> archive;
        try {
            archive = std::make_unique<ArchiveSource>(path);
        } catch (const std::runtime_error&) {
            continue; // caught short or changing: refused, as a damaged archive is
        }
        for (const char* name : {"m/stored.bin", "m/packed.bin"}) {
            const Mod::FilePtr file = archive->open(name);
            if (!Mod::hasData(file))
                continue;
            ++served;
            const std::string bytes = text(file);
            ASSERT_TRUE(bytes == storedA || bytes == storedB || bytes == packedA || bytes == packedB)
                << name << " mixes versions";
        }
    }
    stop = true;
    writer.join();
    EXPECT_GT(served, 0) << "the test raced nothing";
    RecordProperty("served", served);
}

TEST_F(ArchiveSourceTest, MembersOutliveTheArchive)
{
    Mod::FilePtr stored, packed;
    {
        ArchiveSource archive(write({{"s.txt", "short"}, {"p.txt", Repetitive}}));
        stored = archive.open("s.txt");
        packed = archive.open("p.txt");
    }
    EXPECT_EQ(text(stored), "short");
    EXPECT_EQ(text(packed), Repetitive);
}

TEST_F(ArchiveSourceTest, MemberWithEqualLengthsIsNotInflatedEvenWhenItIsAZlibStream)
{
    const std::string stream = zlibStream(Repetitive);
    ArchiveSource archive(write({{"z.bin", stream}}, false));
    EXPECT_EQ(text(archive.open("z.bin")), stream);
}

TEST_F(ArchiveSourceTest, DamagedMemberRecordsReadAsAbsent)
{
    const std::string original = Mod::writeSga({{"p.txt", Repetitive}});
    const std::size_t record = firstFileRecord(original);
    const std::uint32_t stored = get32(original, record + 12);
    ASSERT_LT(stored, get32(original, record + 16)) << "the member is stored compressed";
    ASSERT_EQ(text(ArchiveSource(dir.write("whole.sga", original)).open("p.txt")), Repetitive);

    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
    };
    const std::vector<Case> cases{
        {"inflates to more than recorded", [&](std::string& b) { set32(b, record + 16, 4000); }},
        {"corrupt deflate data", [&](std::string& b) { b[get32(b, 176) + 6] ^= 0x55; }},
        // The stream is sound, but no deflate stream can grow that much: not
        // worth allocating for.
        {"full length beyond any inflate ratio", [&](std::string& b) { set32(b, record + 16, stored * 1041 + 65); }},
        {"nothing stored, something to inflate", [&](std::string& b) { set32(b, record + 12, 0); }},
        {"data beyond the end of the file", [&](std::string& b) { set32(b, record + 8, 0x7FFFFFF0u); }},
    };
    for (const Case& c : cases) {
        std::string bytes = original;
        c.damage(bytes);
        EXPECT_EQ(text(ArchiveSource(dir.write("damaged.sga", bytes)).open("p.txt")), "<no file>") << c.what;
    }
}

TEST_F(ArchiveSourceTest, ALaterFolderRecordOfTheSameNameWins)
{
    std::string bytes = Mod::writeSga({{"a/first.txt", "1"}, {"b/second.txt", "2"}});
    const std::size_t toc = 180, records = toc + get32(bytes, toc + 6), names = toc + get32(bytes, toc + 18);
    const auto nameOf = [&](std::size_t i) { return std::string(bytes.c_str() + names + get32(bytes, records + 12 * i)); };
    std::size_t a = 0, b = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        a = nameOf(i) == "a" ? i : a;
        b = nameOf(i) == "b" ? i : b;
    }
    ASSERT_LT(a, b);
    set32(bytes, records + 12 * b, get32(bytes, records + 12 * a)); // record b is now named "a" too
    ArchiveSource archive(dir.write("twice.sga", bytes));
    EXPECT_EQ(text(archive.open("a\\second.txt")), "2");
    EXPECT_EQ(text(archive.open("a\\first.txt")), "<no file>");
}

TEST_F(ArchiveSourceTest, UpperCaseNamesInTheArchiveAreNeverFound)
{
    std::string bytes = Mod::writeSga({{"folder/name.txt", "x"}});
    const auto at = bytes.find("name.txt");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'N';
    ArchiveSource archive(dir.write("upper.sga", bytes));
    EXPECT_FALSE(Mod::hasData(archive.open("folder/Name.txt")));
    EXPECT_FALSE(Mod::hasData(archive.open("folder/name.txt")));
}

TEST_F(ArchiveSourceTest, ListGivesFilesThenSubFolders)
{
    ArchiveSource archive(write({{"art/ui/b.screen", "b"},
                                 {"art/ui/a.screen", "a"},
                                 {"art/ui/screens/x.screen", "x"},
                                 {"art/ui/styles/y.lua", "y"},
                                 {"root.txt", "r"}}));
    const std::vector<std::string> expected{"a.screen", "b.screen", "screens", "styles"};
    for (const std::string path : {"art\\ui", "art\\ui\\", "Art/UI/", "ART/ui"}) {
        std::vector<std::string> names;
        archive.list(path, names);
        EXPECT_EQ(names, expected) << path;
    }
    std::vector<std::string> top{"kept"};
    archive.list("", top);
    EXPECT_EQ(top, (std::vector<std::string>{"kept", "root.txt", "art"}));
    std::vector<std::string> none;
    archive.list("art/missing", none);
    EXPECT_TRUE(none.empty());
}

TEST_F(ArchiveSourceTest, MembersAreListedInTableOrderWithLengths)
{
    ArchiveSource archive(write({{"b/two.txt", "2"}, {"a/one.txt", Repetitive}, {"top.txt", "t"}}));
    const auto members = archive.members();
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].path, "top.txt");
    EXPECT_EQ(members[1].path, "a\\one.txt");
    EXPECT_LT(members[1].storedLength, members[1].fullLength);
    EXPECT_EQ(members[1].fullLength, Repetitive.size());
    EXPECT_EQ(members[2].path, "b\\two.txt");
    EXPECT_EQ(members[2].storedLength, 1u);
}

TEST_F(ArchiveSourceTest, FileRecordsClaimedByEveryFolderAreListedOnce)
{
    // 300 folders of one file each, then every folder record made to claim
    // all 300 files: listed naively, 90,300 members (and a hostile archive
    // of a megabyte would list billions).
    std::vector<Mod::SgaMember> members;
    for (int i = 0; i < 300; ++i)
        members.push_back({"d" + std::to_string(1000 + i) + "/x" + std::to_string(1000 + i) + ".txt", std::to_string(i)});
    std::string bytes = Mod::writeSga(members);
    const std::size_t toc = 180, records = toc + get32(bytes, toc + 6);
    const std::uint16_t folders = static_cast<std::uint16_t>(get32(bytes, toc + 10));
    ASSERT_EQ(folders, 301u);
    for (std::size_t i = 0; i < folders; ++i) {
        const std::uint16_t range[2] = {0, 300};
        std::memcpy(bytes.data() + records + 12 * i + 8, range, 4);
    }
    ArchiveSource archive(dir.write("claimed.sga", bytes));
    const auto listed = archive.members();
    ASSERT_EQ(listed.size(), 300u);
    std::set<std::string> paths;
    for (const auto& member : listed) {
        paths.insert(member.path);
        EXPECT_EQ(text(archive.open(member.path)).size(), member.fullLength) << member.path;
    }
    EXPECT_EQ(paths.size(), 300u);
}

TEST_F(ArchiveSourceTest, NamesLongerThanTheLimitAreNoNames)
{
    // Names pointing into one long string would otherwise cost its length
    // each: a hostile archive of a megabyte could ask for gigabytes.
    const std::string longest(ArchiveSource::MaxNameLength, 'x'), tooLong(ArchiveSource::MaxNameLength + 1, 'z');
    ArchiveSource archive(write({{"a/" + longest, "kept"}, {"a/" + tooLong, "dropped"}, {"a/a.txt", "a"}}));
    std::vector<std::string> names;
    archive.list("a", names);
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", longest}));
    EXPECT_EQ(text(archive.open("a\\a.txt")), "a");
    EXPECT_EQ(text(archive.open("a\\" + longest)), "kept");
    EXPECT_FALSE(archive.open("a\\" + tooLong));
    EXPECT_EQ(archive.members().size(), 2u);
}

TEST_F(ArchiveSourceTest, EmptyMemberIsAnEmptyFile)
{
    ArchiveSource archive(write({{"empty.txt", ""}}));
    const Mod::FilePtr file = archive.open("empty.txt");
    ASSERT_TRUE(Mod::hasData(file));
    EXPECT_EQ(file->length, 0u);
}

TEST_F(ArchiveSourceTest, WriterRejectsNamesThatDifferOnlyInCase)
{
    EXPECT_THROW(Mod::writeSga({{"a/X.txt", "1"}, {"A/x.txt", "2"}}), std::runtime_error);
}

TEST_F(ArchiveSourceTest, ConstructionFailuresNameThePathAndTheReason)
{
    std::string valid = Mod::writeSga({{"a.txt", "a"}});
    std::string wrongMagic = valid;
    wrongMagic[0] = '-';
    std::string version4 = valid;
    set32(version4, 8, 4);
    std::string longToc = valid;
    set32(longToc, 172, 1000000);
    std::string foldersOutside = valid;
    set32(foldersOutside, 180 + 6, 0x7FFFFFF0);
    struct Case {
        std::string name, bytes, reason;
    };
    const std::vector<Case> cases{
        {"small.sga", std::string(203, '\0'), " (file is too small)"},
        {"magic.sga", std::string("_ARCHIVX") + std::string(196, '\0'), " (file is not an SGA)"},
        {"magic2.sga", wrongMagic, " (file is not an SGA)"},
        {"v4.sga", version4, " (wrong SGA version)"},
        {"toc.sga", longToc, " (table of contents lies outside the file)"},
        {"folders.sga", foldersOutside, " (folder records lie outside the table of contents)"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write(c.name, c.bytes);
        try {
            ArchiveSource archive(path);
            ADD_FAILURE() << c.name << " opened";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "Could not open archive " + path + c.reason);
        }
    }
    try {
        ArchiveSource archive(dir / "missing.sga");
        ADD_FAILURE() << "a missing archive opened";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), "Could not open archive " + (dir / "missing.sga"));
    }
}

TEST_F(ArchiveSourceTest, ArchivePathResolvesLikeAWindowsPath)
{
    dir.write("Mods/Archives/Art.sga", Mod::writeSga({{"x.txt", "found"}}));
    ArchiveSource archive(dir / "mods\\ARCHIVES\\art.SGA");
    EXPECT_EQ(text(archive.open("x.txt")), "found");
}
