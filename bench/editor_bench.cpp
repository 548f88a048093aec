// The viewer's reload (F5 or a save) of the sample's main menu, as the window
// does it: the module list made again, the module mounted again, the screen
// loaded and instantiated again with the widget state kept, the panel
// filled, and the window's first paint of the result. The window runs on the
// offscreen platform over a copy of the sample installation.

#include "editor/main_window.h"
#include "editor/module_selector.h"
#include "editor/screen_host.h"
#include "editor/screen_selector.h"
#include "gfx/graphics_context.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_ReloadSampleMainMenu(benchmark::State& state)
{
    TestSupport::TempDir install, home;
    std::filesystem::copy(TISE_SAMPLE_DIR, install.path(), std::filesystem::copy_options::recursive);
    const Mod::DiscoveryEnvironment environment{home.path().string(), "", home.path().string()};
    const gfx::GraphicsContext graphics;
    editor::MainWindow* window = editor::MainWindow::open(graphics, environment, {install.path().string()});
    window->widget()->resize(1024, 768);
    window->moduleSelector().choose(install / "Ironveil.module");
    window->screenSelector()->choose("Art\\UI\\Screens\\mainmenu.screen");
    window->widget()->repaint();
    if (!window->screenSelector()->host() || !window->screenSelector()->host()->loaded()) {
        state.SkipWithError("the main menu is not shown");
        delete window;
        return;
    }
    for (auto _ : state) {
        window->reload();
        window->widget()->repaint();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["reloads"] = static_cast<double>(window->reloadCount());
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_ReloadSampleMainMenu)->Unit(benchmark::kMillisecond);

} // namespace
