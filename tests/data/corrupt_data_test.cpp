// Archives and string tables corrupted at random (fixed seed): opening,
// listing and reading everything never crashes and never reads outside the
// data (the sanitizer build checks the latter).

#include "data/archive_source.h"
#include "data/sga_writer.h"
#include "data/string_table.h"
#include "fixtures/ucs_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// Lists a folder and everything below it, opening every entry; returns how
// many bytes were read, so the reads cannot be optimised away.
std::size_t walk(Mod::FileSource& source, const std::string& folder, int depth)
{
    std::size_t bytes = 0;
    std::vector<std::string> names;
    source.list(folder, names);
    for (const std::string& name : names) {
        const std::string path = folder.empty() ? name : folder + "\\" + name;
        if (const Mod::FilePtr file = source.open(path); Mod::hasData(file)) {
            for (std::uint32_t i = 0; i < file->length; ++i)
                bytes += static_cast<unsigned char>(file->data[i]);
        }
        if (depth < 8)
            bytes += walk(source, path, depth + 1);
    }
    return bytes;
}

std::string sampleArchive()
{
    std::vector<Mod::SgaMember> members;
    for (int i = 0; i < 12; ++i)
        members.push_back({"art/ui/screens/s" + std::to_string(i) + ".screen", std::string(40 + i * 13, char('a' + i))});
    members.push_back({"art/ui/styles/style.lua", "Style = { colour = { 1, 2, 3, 4 } }"});
    members.push_back({"art/textures/t.dds", std::string(300, '\x7f')});
    members.push_back({"top.txt", "top level"});
    members.push_back({"deep/a/b/c/d.txt", "deep"});
    return Mod::writeSga(members);
}

} // namespace

TEST(CorruptDataTest, CorruptArchivesNeverCrash)
{
    TestSupport::TempDir dir;
    const std::string original = sampleArchive();
    std::mt19937 random(20261208);
    int opened = 0;
    for (int variant = 0; variant < 3000; ++variant) {
        std::string bytes = original;
        const int mutations = 1 + static_cast<int>(random() % 8);
        for (int m = 0; m < mutations && bytes.size() > 8; ++m) {
            switch (random() % 4) {
            case 0: // any byte
                bytes[random() % bytes.size()] = static_cast<char>(random());
                break;
            case 1: // a byte of the header and table of contents, where the offsets and counts are
                bytes[random() % std::min<std::size_t>(bytes.size(), 180 + 400)] = static_cast<char>(random());
                break;
            case 2: { // a 32-bit field set to an extreme value
                const std::size_t at = random() % (std::min<std::size_t>(bytes.size(), 580) - 4);
                const std::uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFF, 0x10000,
                                                  static_cast<std::uint32_t>(bytes.size())};
                std::memcpy(bytes.data() + at, &extremes[random() % 7], 4);
                break;
            }
            default: // truncation
                bytes.resize(random() % bytes.size());
            }
        }
        const std::string path = dir.write("v.sga", bytes);
        try {
            Mod::ArchiveSource archive(path);
            ++opened;
            walk(archive, "", 0);
            for (const auto& member : archive.members())
                archive.open(member.path);
            archive.open("art/ui/screens/s3.screen");
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Could not open archive ", 0), 0u) << error.what();
        }
    }
    EXPECT_GT(opened, 300) << "most variants should still open, so that their tables are exercised";
}

TEST(CorruptDataTest, CorruptStringTablesNeverCrash)
{
    const std::string original = Fixtures::ucsFile({{1, "One"}, {22, "Twenty-two"}, {333, "x"}, {4, ""}});
    std::mt19937 random(7);
    for (int variant = 0; variant < 5000; ++variant) {
        std::string bytes = original;
        for (int m = 1 + static_cast<int>(random() % 6); m > 0; --m) {
            if (random() % 5 == 0)
                bytes.resize(random() % (bytes.size() + 1));
            else if (!bytes.empty())
                bytes[random() % bytes.size()] = "\t\r\n0A\xff"[random() % 6];
        }
        void* buffer = std::malloc(bytes.size() + 1);
        std::memcpy(buffer, bytes.data(), bytes.size());
        Mod::FilePtr file = bytes.empty() ? Mod::FilePtr() : Mod::makeHeapFile(buffer, static_cast<std::uint32_t>(bytes.size()));
        if (bytes.empty())
            std::free(buffer);
        try {
            const Mod::StringTable table(file);
            std::size_t units = 0;
            for (std::uint32_t id : {1u, 22u, 333u, 4u, 0u})
                units += table.find(id).value_or(u"").size();
            EXPECT_LE(units * 2, bytes.size());
        } catch (const std::runtime_error& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message == "UCS file too short" || message == "UCS file has odd number of bytes") << message;
        }
    }
}
