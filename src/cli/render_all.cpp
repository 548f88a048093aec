#include "cli/render_all.h"

#include "base/diagnostic_log.h"
#include "cli/bitmap_png.h"
#include "cli/gui_session.h"
#include "cli/mount_arguments.h"
#include "cli/job_pool.h"
#include "cli/screen_arguments.h"
#include "data/folder_entries.h"
#include "data/text_compare.h"
#include "gfx/graphics_context.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"

#include <unistd.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

// The screen's picture is NAME.png; a name that would leave the folder (an
// archive may name a file with a slash) is not written.
std::string pngNameOf(const std::string& screenName)
{
    const std::string file = screenName + ".png";
    if (screenName.find('/') != std::string::npos)
        throw std::runtime_error("Cannot write " + file);
    return file;
}

// The progress line on a terminal; nothing otherwise.
class Progress {
public:
    explicit Progress(std::size_t total) : total_(total), shown_(isatty(STDERR_FILENO) == 1) {}
    ~Progress() { clear(); }
    void clear()
    {
        if (shown_)
            std::cerr << "\r\x1b[K" << std::flush;
    }
    void at(std::size_t index, const std::string& name)
    {
        if (shown_)
            std::cerr << "\r\x1b[Krendering " << index + 1 << "/" << total_ << ": " << displayText(name)
                      << std::flush;
    }

private:
    std::size_t total_;
    bool shown_;
};

struct Target {
    Size size;
    std::filesystem::path folder;
};

// Loads the screen once and draws it at every size.
void renderScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& name,
                  const std::vector<Target>& targets)
{
    const Size first = targets.front().size;
    screen::OffscreenScreen offscreen(std::make_unique<screen::ScreenView>(graphics, module, screenPath(name)),
                                      first.width, first.height);
    const std::string file = pngNameOf(name);
    for (const Target& target : targets) {
        offscreen.resize(target.size.width, target.size.height);
        writeBitmapPng(*offscreen.renderBitmap(), (target.folder / file).string(), false);
    }
}

} // namespace

int renderAll(const Arguments& args, std::ostream& out)
{
    if (args.positional.size() != 1)
        throw UsageError("--all takes the module alone, no screen");
    for (const char* option : {"--hover", "--emphasize", "--fade"})
        if (args.options.count(option))
            throw UsageError(std::string(option) + " cannot be used with --all");
    if (args.has("--watch"))
        throw UsageError("--watch cannot be used with --all");
    const unsigned jobs = jobsOption(args);
    const std::filesystem::path folder = args.option("-o", true);
    std::vector<Target> targets;
    const std::vector<std::string> sizes = args.optionValues("--size");
    if (sizes.size() <= 1)
        targets.push_back({sizes.empty() ? Size{} : parseSize(sizes.front()), folder});
    for (std::size_t i = 0; sizes.size() > 1 && i < sizes.size(); ++i) {
        const Size size = parseSize(sizes[i]);
        targets.push_back({size, folder / (std::to_string(size.width) + "x" + std::to_string(size.height))});
    }

    Mod::ModContext module;
    mountModule(module, args);
    const std::vector<std::string> screens =
        Mod::folderEntries(*module.source, std::string(Mod::ScreensFolder), ".screen");
    for (const Target& target : targets) {
        std::error_code ignored;
        std::filesystem::create_directories(target.folder, ignored); // a failure shows when writing
    }

    DrawingOnFirstUse drawing; // the screens may be drawn in worker processes
    auto render = [&](std::size_t i) {
        std::string failure;
        std::vector<std::string> diagnostics;
        {
            // Held back, so that they come out in the list's order and do
            // not run into the progress line.
            const base::DiagnosticCapture capture;
            try {
                renderScreen(drawing.graphics(), module, screens[i], targets);
            } catch (const std::exception& error) {
                failure = error.what();
                failure = failure.empty() ? "unknown error" : failure;
            }
            diagnostics = capture.messages();
        }
        diagnostics.insert(diagnostics.begin(), failure);
        return packStrings(diagnostics);
    };

    std::size_t errors = 0;
    {
        Progress progress(screens.size());
        if (!screens.empty())
            progress.at(0, screens[0]);
        out.flush();
        runJobs(screens.size(), jobs, render, [&](std::size_t i, const JobResult& result) {
            std::vector<std::string> parts = unpackStrings(result.bytes);
            std::string failure = result.completed ? (parts.empty() ? "" : parts.front()) : result.bytes;
            progress.clear();
            for (std::size_t d = 1; result.completed && d < parts.size(); ++d)
                base::writeDiagnostic(parts[d]);
            out << displayField(screens[i]) << (failure.empty() ? ": ok" : ": error: " + oneLine(displayText(failure)))
                << std::endl; // before the next progress line
            errors += failure.empty() ? 0 : 1;
            if (i + 1 < screens.size())
                progress.at(i + 1, screens[i + 1]);
        });
    }
    out << screens.size() << " screens, " << errors << " errors\n";
    return errors > 0 ? 1 : 0;
}

} // namespace cli
