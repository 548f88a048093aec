// The viewer through a thousand reloads of its shown screen, as F5 or a save
// does them, in one process: once the first fifty have filled what is kept
// for good (the text system's caches, the allocator's pools), memory stays
// within 2 MiB, and the open files and Lua states are as many as before.

#include "app/error_box.h"
#include "assets/lua_sandbox.h"
#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "gfx/graphics_context.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The process's resident memory in bytes.
std::size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST(Endurance, AThousandReloadsLeaveMemoryDescriptorsAndLuaStatesAsTheyWere)
{
    TestSupport::TempDir install, home;
    std::filesystem::copy(TISE_SAMPLE_DIR, install.path(), std::filesystem::copy_options::recursive);
    std::vector<std::string> reports;
    const app::ErrorBoxHandler previous =
        app::setErrorBoxHandler([&](QWidget*, const std::string& text) { reports.push_back(text); });
    const gfx::GraphicsContext graphics;
    const Mod::DiscoveryEnvironment environment{home.path().string(), "", home.path().string()};
    editor::MainWindow* window = editor::MainWindow::open(graphics, environment, {install.path().string()});
    window->widget()->resize(1024, 768);
    window->moduleSelector().choose(install / "Ironveil.module");
    window->screenSelector()->choose("Art\\UI\\Screens\\mainmenu.screen");
    ASSERT_TRUE(window->screenSelector()->host() && window->screenSelector()->host()->loaded());

    auto reload = [&] {
        window->reload();
        window->widget()->repaint();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (int i = 0; i < 50; ++i)
        reload();
    const std::size_t memory = residentBytes(), descriptors = openDescriptors(), states = assets::openStates();
    for (int i = 50; i < 1000; ++i)
        reload();
    EXPECT_EQ(window->reloadCount(), 1000u);
    ASSERT_TRUE(window->screenSelector()->host() && window->screenSelector()->host()->loaded());
#if !defined(__SANITIZE_ADDRESS__)
    // (Under the address sanitizer freed memory waits in its quarantine, and
    // its leak checker speaks for what is lost.)
    EXPECT_LE(residentBytes(), memory + (2u << 20)) << "grew from " << memory << " bytes";
#endif
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(assets::openStates(), states);

    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app::setErrorBoxHandler(previous);
    EXPECT_TRUE(reports.empty()) << reports.front();
}

} // namespace
