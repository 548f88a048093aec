// The screen loader: the input is a screen file of a small fixed module,
// loaded and instantiated under small sandbox limits, and drawn once off
// screen with the pointer over its first widget. The module is the sample
// installation's base game (colour table, style sheets, font descriptions,
// textures, archives, string tables) with its TrueType files cut down to
// their name and OS/2 tables (the font harness's seeds): every view renames
// and offers them to the text system, which refuses fonts without glyphs,
// and text falls back on the system's fonts. Whole fonts would cost every
// input megabytes of copying.

#include "fuzz_bytes.h"

#include "base/diagnostic_log.h"
#include "base/errors.h"
#include "data/mount_module.h"
#include "gfx/graphics_context.h"
#include "gfx/qt_environment.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

const char* const ScreenName = "fuzz.screen";

struct Module {
    Mod::ModContext context;
    Fuzz::InputSource* screen = nullptr;
    std::unique_ptr<gfx::GraphicsContext> graphics;
};

Module* module = nullptr;
std::filesystem::path moduleFolder;

// The base game of the sample installation, its fonts cut down, into folder.
void copyFixedModule(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    const fs::path sample = TISE_SAMPLE_DIR;
    fs::create_directories(folder);
    fs::copy_file(sample / "Ironveil.module", folder / "Ironveil.module");
    for (const char* part : {"Ironveil", "Engine"}) {
        for (const auto& entry : fs::recursive_directory_iterator(sample / part)) {
            const fs::path target = folder / fs::relative(entry.path(), sample);
            if (entry.is_directory())
                fs::create_directories(target);
            else if (entry.path().extension() != ".ttf")
                fs::copy_file(entry.path(), target);
            else
                fs::copy_file(fs::path(TISE_FUZZ_SEEDS_DIR) / "font" / (entry.path().filename().string() + ".names"),
                              target);
        }
    }
}

assets::Limits limits()
{
    assets::Limits small;
    small.memoryBytes = 32u << 20;
    small.instructions = 2'000'000;
    return small;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    gfx::prepareQtEnvironment(true);
    static int argc = 1;
    static char name[] = "fuzz_screen";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    moduleFolder = Fuzz::scratchPath("tise-fuzz-module");
    copyFixedModule(moduleFolder);
    std::atexit([] { std::filesystem::remove_all(moduleFolder); });
    module = new Module;
    module->graphics = std::make_unique<gfx::GraphicsContext>();
    Mod::MountModule(module->context, (moduleFolder / "Ironveil.module").string());
    auto screen = std::make_unique<Fuzz::InputSource>(ScreenName);
    module->screen = screen.get();
    module->context.source->append(std::move(screen));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    base::DiagnosticCapture quiet; // textures and fonts that fail are reported, not fatal
    module->screen->set(data, size);
    try {
        screen::OffscreenScreen offscreen(
            std::make_unique<screen::ScreenView>(*module->graphics, module->context,
                                                 std::string(Mod::ScreensFolder) + ScreenName, limits()),
            64, 48);
        screen::ScreenView& view = offscreen.view();
        view.setCheckTextFit(true);
        offscreen.setHover(view.widgetsRoot());
        const gfx::BitmapPtr frame = offscreen.renderBitmap();
        if (!frame || frame->width != 64 || frame->height != 48)
            __builtin_trap();
        // What it found, each at its line: the keys looked at, the text scanned for the lines of its tables.
        std::size_t length = 0;
        for (const base::Finding& finding : view.findings().all())
            length += finding.message.size() + static_cast<std::size_t>(finding.line.value_or(0));
        if (view.widgetsRoot())
            length += static_cast<std::size_t>(view.widgetsRoot()->line().value_or(0));
        volatile std::size_t keep = length;
        (void)keep;
    } catch (const std::runtime_error&) {
        // A screen that fails its stage, as the loader promises.
    } catch (const Kestra::COMException&) {
        // A drawing call the graphics layer refuses.
    }
    module->screen->set(nullptr, 0);
    return 0;
}
