// The watcher of a mounted module's files: one report per settled burst, and
// files kept in sight across the ways editors save them.

#include "app/mod_watcher.h"

#include "support/temp_dir.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::TempDir;

constexpr int Patience = 5000; // ms

void writeInPlace(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out << bytes;
}

class ModWatcherTest : public testing::Test {
protected:
    // Waits until the count of reports reaches n; false after the patience.
    bool reportsReach(int n) { return QTest::qWaitFor([&] { return reports >= n; }, Patience); }

    TempDir dir;
    int reports = 0;
    app::ModWatcher watcher{[this] { ++reports; }, 250ms};
};

} // namespace

TEST_F(ModWatcherTest, AFileLostToARenameOverItIsFollowedAgain)
{
    const std::string file = dir.write("Data/a.screen", "one");
    watcher.watch({file});
    const std::string swap = dir.write("Data/a.screen.swp", "two");
    std::filesystem::rename(swap, file);
    ASSERT_TRUE(reportsReach(1));
    writeInPlace(file, "three"); // no folder is watched: only the file's own watch sees this
    ASSERT_TRUE(reportsReach(2)) << "the watch went to the new file";
    std::filesystem::remove(file);
    ASSERT_TRUE(reportsReach(3));
}

TEST_F(ModWatcherTest, AMissingFileIsFollowedOnceItsFolderShowsIt)
{
    const std::string folder = (dir.path() / "Data").string();
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/late.lua";
    watcher.watch({folder, file});
    dir.write("Data/late.lua", "first");
    ASSERT_TRUE(reportsReach(1));
    writeInPlace(file, "again");
    ASSERT_TRUE(reportsReach(2)) << "rewritten in place: only a watch on the file sees it";
}

TEST_F(ModWatcherTest, ABurstOfSavesGivesOneReport)
{
    const std::string file = dir.write("Data/a.screen", "0");
    watcher.watch({file, (dir.path() / "Data").string()});
    for (int i = 0; i < 200; ++i) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << i;
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(reportsReach(1));
    QTest::qWait(600); // a second report would come within this
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(watcher.pending());
}

TEST_F(ModWatcherTest, EntriesComingAndGoingAtAnIgnoredPathAreNoChange)
{
    const std::string folder = (dir.path() / "Out").string();
    std::filesystem::create_directory(folder);
    watcher.watch({folder});
    watcher.ignore(folder + "/shot.png");
    for (int i = 0; i < 3; ++i) {
        // As a safe save writes: a temporary file renamed over the target.
        const std::string temporary = dir.write("Out/shot.png.Xy12" + std::to_string(i), "png");
        std::filesystem::rename(temporary, folder + "/shot.png");
    }
    QTest::qWait(600);
    EXPECT_EQ(reports, 0);
    dir.write("Out/other.png", "png");
    EXPECT_TRUE(reportsReach(1)) << "another entry is a change";
}

TEST_F(ModWatcherTest, EachReportNamesWhatChangedSinceTheLastOne)
{
    const std::string folder = (dir.path() / "Data").string();
    const std::string a = dir.write("Data/a.screen", "a"), b = dir.write("Data/b.screen", "b");
    std::vector<std::vector<std::string>> seen;
    app::ModWatcher named([&] { seen.push_back(named.lastChanges()); }, 250ms);
    named.watch({folder, a, b});

    writeInPlace(b, "B");
    writeInPlace(a, "A");
    writeInPlace(b, "BB");
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 1; }, Patience));
    const auto sorted = [](std::vector<std::string> paths) {
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    EXPECT_EQ(sorted(seen[0]), (std::vector<std::string>{a, b})) << "each once";

    const std::string added = dir.write("Data/new.screen", "n");
    std::filesystem::remove(a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, Patience));
    EXPECT_EQ(sorted(seen[1]), (std::vector<std::string>{a, added})) << "the entries that came and went in the folder";
    EXPECT_EQ(named.lastChanges(), seen[1]);
}

TEST_F(ModWatcherTest, AFileWrittenAfterItWasReadAndBeforeItsWatchCountsAsChanged)
{
    // A texture is read when the screen is first painted, and followed from
    // the next look at what was read: a save in between must not be lost.
    using Clock = std::filesystem::file_time_type::clock;
    const struct {
        const char* name;
        std::filesystem::file_time_type::duration writtenAfterRead;
        bool followedBefore;
        bool counts;
    } cases[] = {
        {"written after it was read", 50ms, false, true},
        {"written before it was read", -10s, false, false},
        {"written in the future", 1h, false, false},
        {"followed already", 50ms, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string other = dir.write("Data/other.screen", "one");
        const std::string texture = dir.write("Data/tile.tga", "pixels");
        watcher.watch(c.followedBefore ? std::vector<std::string>{other, texture} : std::vector<std::string>{other});
        const auto read = Clock::now() - 1s;
        std::filesystem::last_write_time(texture, read + c.writtenAfterRead);
        reports = 0;
        watcher.watch({other, texture}, read);
        if (c.counts) {
            ASSERT_TRUE(reportsReach(1));
            EXPECT_EQ(watcher.lastChanges(), std::vector<std::string>{(dir.path() / "Data/tile.tga").string()});
        } else {
            QTest::qWait(600); // more than the settling time
            EXPECT_EQ(reports, 0);
        }
    }
}
