#include "data/disk_file_source.h"
#include "data/subfolder_source.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

using Mod::DiskFileSource;
using TestSupport::TempDir;

namespace {

std::string text(const Mod::FilePtr& file) { return Mod::hasData(file) ? std::string(file->view()) : "<no file>"; }

std::vector<std::string> listed(Mod::FileSource& source, const std::string& path)
{
    std::vector<std::string> names;
    source.list(path, names);
    return names;
}

} // namespace

TEST(DiskFileSourceTest, PathsMatchAnyCaseWithEitherSeparator)
{
    TempDir dir;
    dir.write("Ironveil/Data/Art/UI/Main.screen", "main");
    DiskFileSource disk;
    const std::string root = dir.path().string();
    for (const std::string path : {"/Ironveil/Data/Art/UI/Main.screen", "\\ironveil\\DATA\\art\\ui\\main.SCREEN",
                                   "/IRONVEIL/data\\Art/ui\\MAIN.screen", "//Ironveil//Data/Art/UI/Main.screen"})
        EXPECT_EQ(text(disk.open(root + path)), "main") << path;
    EXPECT_EQ(text(disk.open(root + "/Ironveil/Data/Art/UI/Other.screen")), "<no file>");
    EXPECT_EQ(text(disk.open(root + "/Ironveil/Data/Art/UI/Main.screen/x")), "<no file>");
}

TEST(DiskFileSourceTest, ExactCaseWinsOverOtherCaseVariants)
{
    TempDir dir;
    dir.write("Folder/Name.txt", "exact");
    dir.write("Folder/NAME.txt", "upper");
    dir.write("FOLDER/name.txt", "other folder");
    DiskFileSource disk;
    EXPECT_EQ(text(disk.open(dir / "Folder/NAME.txt")), "upper");
    EXPECT_EQ(text(disk.open(dir / "Folder\\Name.txt")), "exact");
    EXPECT_EQ(text(disk.open(dir / "FOLDER/name.txt")), "other folder");
    // No exact match: the smallest of the case variants, in byte order.
    EXPECT_EQ(text(disk.open(dir / "Folder/name.TXT")), "upper");
}

TEST(DiskFileSourceTest, RelativePathsResolveAgainstTheCurrentDirectory)
{
    TempDir dir;
    dir.write("Sub/File.txt", "relative");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    DiskFileSource disk;
    const std::string found = text(disk.open("sub\\file.txt"));
    const auto names = listed(disk, "SUB");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(found, "relative");
    EXPECT_EQ(names, std::vector<std::string>{"File.txt"});
}

TEST(DiskFileSourceTest, EmptyMissingAndFolderPathsAreNoFile)
{
    TempDir dir;
    dir.write("empty.txt", "");
    dir.write("folder/x.txt", "x");
    DiskFileSource disk;
    EXPECT_FALSE(Mod::hasData(disk.open(dir / "empty.txt")));
    EXPECT_FALSE(Mod::hasData(disk.open(dir / "missing.txt")));
    EXPECT_FALSE(Mod::hasData(disk.open(dir / "folder")));
    EXPECT_FALSE(Mod::hasData(disk.open("")));
}

TEST(DiskFileSourceTest, FilesOf4GiBOrMoreAreNoFile)
{
    TempDir dir;
    const std::string path = dir / "huge.bin";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(1) << 32), 0) << "a sparse file of exactly 4 GiB";
    ::close(fd);
    DiskFileSource disk;
    EXPECT_FALSE(Mod::hasData(disk.open(path))) << "its length does not fit a FileData";
}

TEST(DiskFileSourceTest, MappedFileOutlivesItsSource)
{
    TempDir dir;
    dir.write("a.txt", "still here");
    Mod::FilePtr file;
    {
        DiskFileSource disk;
        file = disk.open(dir / "a.txt");
    }
    EXPECT_EQ(text(file), "still here");
}

TEST(DiskFileSourceTest, ListingIsCaseInsensitivelyOrderedAndIncludesFolders)
{
    TempDir dir;
    for (const std::string name : {"b.txt", "A.txt", "c/x.txt", "B2.txt", "a1.txt"})
        dir.write("Base/" + name, "");
    DiskFileSource disk;
    const std::vector<std::string> expected{"A.txt", "a1.txt", "b.txt", "B2.txt", "c"};
    EXPECT_EQ(listed(disk, dir / "base"), expected);
    EXPECT_EQ(listed(disk, dir / "BASE\\"), expected);
    EXPECT_TRUE(listed(disk, dir / "missing").empty());
    EXPECT_TRUE(listed(disk, "").empty()) << "an empty path lists nothing";
}

TEST(DiskFileSourceTest, SubfolderSourcePrefixesEveryPath)
{
    TempDir dir;
    dir.write("Mod/Data/Art/x.txt", "x");
    auto disk = std::make_shared<DiskFileSource>();
    Mod::SubfolderSource data(disk, (dir / "mod\\data") + "\\");
    EXPECT_EQ(text(data.open("art\\X.TXT")), "x");
    EXPECT_EQ(listed(data, ""), std::vector<std::string>{"Art"}) << "an empty path lists the prefix folder";
    EXPECT_EQ(listed(data, "ART/"), std::vector<std::string>{"x.txt"});
}

TEST(DiskFileSourceTest, FileRewrittenInPlaceLeavesWhatWasHandedOut)
{
    TempDir dir;
    const std::string path = dir.write("Data/table.ucs", "first version");
    DiskFileSource disk;
    const Mod::FilePtr before = disk.open(path);
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(text(before), "first version") << "a truncated mapping would fault here";
    {
        std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out << "second";
    }
    EXPECT_EQ(text(before), "first version");
    EXPECT_EQ(text(disk.open(path)), "second");
}

TEST(DiskFileSourceTest, RemembersWhatItReadAndWhereMissingPathsWouldAppear)
{
    TempDir dir;
    dir.write("Mod/Data/Art/UI/Screens/Main.screen", "main");
    dir.write("Mod/Data/Art/UI/Styles/x.lua", "x");
    const std::string root = dir.path().string();
    DiskFileSource disk;
    EXPECT_TRUE(disk.pathsRead().empty());
    disk.open(dir / "MOD\\data\\Art\\ui\\Screens\\main.SCREEN");
    disk.open(dir / "Mod/Data/Art/UI/Textures/banner.dds"); // no Textures folder
    std::vector<std::string> names;
    disk.list(dir / "Mod/Data/Art/UI/Styles/", names);
    disk.list(dir / "Mod/Locale/English", names); // no Locale folder
    disk.noteRead(dir / "Mod/Archive.sga");
    EXPECT_EQ(disk.pathsRead(), (std::vector<std::string>{
                                    root + "/Mod",
                                    root + "/Mod/Data/Art/UI",
                                    root + "/Mod/Data/Art/UI/Screens",
                                    root + "/Mod/Data/Art/UI/Screens/Main.screen",
                                    root + "/Mod/Data/Art/UI/Styles",
                                }));
}
