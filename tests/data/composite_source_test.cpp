#include "data/archive_source.h"
#include "data/composite_source.h"
#include "data/disk_file_source.h"
#include "data/sga_writer.h"
#include "data/subfolder_source.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {

std::string text(const Mod::FilePtr& file) { return Mod::hasData(file) ? std::string(file->view()) : "<no file>"; }

class CompositeSourceTest : public ::testing::Test {
protected:
    std::unique_ptr<Mod::FileSource> folder(const std::string& name)
    {
        return std::make_unique<Mod::SubfolderSource>(disk, (dir / name) + "\\");
    }
    std::unique_ptr<Mod::FileSource> archive(const std::string& name, const std::vector<Mod::SgaMember>& members)
    {
        return std::make_unique<Mod::ArchiveSource>(dir.write(name, Mod::writeSga(members)));
    }
    TempDir dir;
    std::shared_ptr<Mod::DiskFileSource> disk = std::make_shared<Mod::DiskFileSource>();
};

} // namespace

TEST_F(CompositeSourceTest, FirstSourceThatHasTheFileWins)
{
    dir.write("Data/Art/shared.txt", "folder");
    dir.write("Data/Art/empty.txt", "");
    Mod::CompositeSource composite;
    composite.append(folder("Data"));
    composite.append(archive("a.sga", {{"art/shared.txt", "archive, newer and larger"},
                                       {"art/empty.txt", "from the archive"},
                                       {"art/only.txt", "only in the archive"}}));
    EXPECT_EQ(text(composite.open("Art/Shared.txt")), "folder");
    EXPECT_EQ(text(composite.open("art/empty.txt")), "from the archive") << "an empty disk file is no file";
    EXPECT_EQ(text(composite.open("art/only.txt")), "only in the archive");
    EXPECT_EQ(text(composite.open("art/none.txt")), "<no file>");
    EXPECT_EQ(text(Mod::CompositeSource().open("art/shared.txt")), "<no file>");
}

TEST_F(CompositeSourceTest, ListingMergesSortsAndCollapsesCaseVariants)
{
    dir.write("Data/Art/UI/Screens/MainMenu.screen", "");
    dir.write("Data/Art/UI/Screens/zeta.screen", "");
    Mod::CompositeSource composite;
    composite.append(folder("Data"));
    composite.append(archive("a.sga", {{"art/ui/screens/mainmenu.screen", ""},
                                       {"art/ui/screens/alpha.screen", ""},
                                       {"art/ui/screens/Beta.screen", ""}}));
    std::vector<std::string> names{"z-before", "a-before"};
    composite.list("Art\\UI\\Screens\\", names);
    EXPECT_EQ(names, (std::vector<std::string>{"z-before", "a-before", "alpha.screen", "beta.screen",
                                               "MainMenu.screen", "zeta.screen"}));
}

TEST_F(CompositeSourceTest, ListingOrderDoesNotDependOnSourceOrder)
{
    dir.write("One/x/B.txt", "");
    dir.write("Two/x/a.txt", "");
    dir.write("Two/x/c.txt", "");
    for (const bool oneFirst : {true, false}) {
        Mod::CompositeSource composite;
        composite.append(folder(oneFirst ? "One" : "Two"));
        composite.append(folder(oneFirst ? "Two" : "One"));
        std::vector<std::string> names;
        composite.list("x", names);
        EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "B.txt", "c.txt"}));
    }
}
