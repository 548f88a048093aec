// render --watch through 300 saves of the screen it shows, saved the ways
// editors save (renamed over, rewritten in place, deleted and made again):
// each settled save gives one render, and after the last the process holds
// as many open files and file watches as after the first render. The loop
// is the tool's own (cli/render_watch.h), with a settling time short enough
// for 300 saves in a few seconds.

#include "../screen/test_module.h"
#include "cli/bitmap_png.h"
#include "cli/render_watch.h"
#include "data/mount_module.h"
#include "screen/offscreen_screen.h"
#include "support/temp_dir.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// The file watches the process holds: one "inotify wd:" line per watch in
// the details of its watch descriptors.
std::size_t fileWatches()
{
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fdinfo")) {
        std::ifstream details(entry.path());
        for (std::string line; std::getline(details, line);)
            count += line.rfind("inotify wd:", 0) == 0;
    }
    return count;
}

// Every version as long as the others: rewriting in place leaves no tail.
std::string screenIn(int colour)
{
    std::string red = std::to_string(colour % 256);
    red.insert(0, 3 - red.size(), ' ');
    return "Screen = { Widgets = { Presentation = { Art = { { type = 'Rectangle', colour = { " + red +
           ", 0, 0, 255 }, states = { 'Normal' } } } } } }\n";
}

void save(const std::string& path, const std::string& bytes, int how)
{
    switch (how % 3) {
    case 0: { // renamed over
        std::ofstream(path + ".new", std::ios::binary) << bytes;
        std::filesystem::rename(path + ".new", path);
        break;
    }
    case 1: // rewritten in place (the same length every time)
        std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
        break;
    default: // deleted and made again
        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << bytes;
        break;
    }
}

TEST(RenderWatch, ThreeHundredSavesGiveOneRenderEachAndLeaveNoFilesOrWatches)
{
    constexpr int Saves = 300;
    ScreenTest::TestModule module;
    module.writeScreen("watched.screen", screenIn(0));
    module.context(); // writes the module's archive
    const std::string screenFile = module.diskPath(ScreenTest::TestModule::screenPath("watched.screen"));
    const TestSupport::TempDir out;
    const std::string picture = out / "watched.png";

    int renders = 0;
    std::size_t descriptors = 0, watches = 0, descriptorsAtEnd = 0, watchesAtEnd = 0;
    std::ostringstream printed;
    auto render = [&](Mod::ModContext& mounted) {
        ++renders;
        // The next save, or (counted once the loop follows the files of
        // this render) time for a render too many to show, and the end.
        if (renders <= Saves) {
            QTimer::singleShot(0, [&, n = renders] { save(screenFile, screenIn(n), n); });
        } else {
            QTimer::singleShot(0, [&] {
                descriptorsAtEnd = openDescriptors();
                watchesAtEnd = fileWatches();
            });
            QTimer::singleShot(200, [] { std::raise(SIGTERM); });
        }
        if (renders == 4) {
            // Counted once the watch loop runs and has rendered a save made
            // as the last one is (renamed over, as saves 3 and 300 are).
            QTimer::singleShot(0, [&] {
                descriptors = openDescriptors();
                watches = fileWatches();
            });
        }
        Mod::MountModule(mounted, module.modulePath());
        screen::OffscreenScreen shown(
            std::make_unique<screen::ScreenView>(module.graphics, mounted,
                                                 ScreenTest::TestModule::screenPath("watched.screen")),
            32, 24);
        cli::writeBitmapPng(*shown.renderBitmap(), picture, false);
    };
    ASSERT_EQ(cli::watchRendering(render, picture, printed, std::chrono::milliseconds(10)), 0);

    EXPECT_EQ(renders, Saves + 1) << "one render at the start, one per save";
    std::istringstream lines(printed.str());
    int rendered = 0;
    for (std::string line; std::getline(lines, line);)
        rendered += line.rfind("rendered in ", 0) == 0;
    EXPECT_EQ(rendered, Saves + 1) << printed.str();
    EXPECT_EQ(descriptorsAtEnd, descriptors);
    EXPECT_EQ(watchesAtEnd, watches);
    EXPECT_GT(watches, 0u);
}

} // namespace
