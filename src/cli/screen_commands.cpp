// tise-cli commands over screens: tree, render, check.

#include "cli/command.h"

#include "base/diagnostic_log.h"
#include "cli/bitmap_png.h"
#include "cli/check_report.h"
#include "cli/finding_bytes.h"
#include "cli/gui_session.h"
#include "cli/job_pool.h"
#include "cli/mount_arguments.h"
#include "cli/own_files.h"
#include "cli/render_all.h"
#include "cli/render_watch.h"
#include "cli/screen_arguments.h"
#include "cli/screen_check.h"
#include "cli/screen_json.h"
#include "data/folder_entries.h"
#include "gfx/graphics_context.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace cli {

namespace {

float parseFade(const std::string& text)
{
    float fade = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), fade);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !(fade >= 0.0f && fade <= 1.0f))
        throw UsageError("--fade " + text + ": expected a number between 0 and 1");
    return fade;
}

// The first widget, depth first in Lua order, whose name reads as text.
screen::Widget* widgetShown(screen::Widget* widget, const std::string& text)
{
    if (!widget)
        return nullptr;
    if (displayText(widget->name()) == text)
        return widget;
    for (auto child = widget->children().rbegin(); child != widget->children().rend(); ++child) {
        if (screen::Widget* found = widgetShown(*child, text))
            return found;
    }
    return nullptr;
}

// The widget a NAME of the command line means: the name's bytes, else the
// name as tree prints it (a name in Windows-1252 is typed in UTF-8).
screen::Widget& widgetNamed(const screen::ScreenView& view, const std::string& name)
{
    if (screen::Widget* widget = view.findWidget(name))
        return *widget;
    if (screen::Widget* widget = widgetShown(view.widgetsRoot(), name))
        return *widget;
    if (screen::Widget* widget = widgetShown(view.tooltipRoot(), name))
        return *widget;
    throw std::runtime_error("No widget is named " + name);
}

int tree(const Arguments& args, std::ostream& out)
{
    Mod::ModContext module;
    mountModule(module, args);
    const GuiSession gui;
    const gfx::GraphicsContext graphics;
    screen::ScreenView view(graphics, module, screenPath(args.positional[1]));
    // Resolved font sizes are those of render's default size.
    const Size size;
    view.setBounds(0, 0, static_cast<float>(size.width), static_cast<float>(size.height));
    writeScreenJson(view, out, args.has("--resolved"));
    return 0;
}

int render(const Arguments& args, std::ostream& out)
{
    if (args.has("--all"))
        return renderAll(args, out);
    if (args.options.count("-j"))
        throw UsageError("-j can be used only with --all");
    if (args.positional.size() != 2)
        throw UsageError("missing argument");
    const std::string output = args.option("-o", true);
    const Size size = args.options.count("--size") ? parseSize(args.option("--size")) : Size{};
    const float fade = args.options.count("--fade") ? parseFade(args.option("--fade")) : 0.25f;
    auto draw = [&](const Mod::ModContext& module, const gfx::GraphicsContext& graphics) {
        screen::OffscreenScreen offscreen(
            std::make_unique<screen::ScreenView>(graphics, module, screenPath(args.positional[1])), size.width,
            size.height);
        screen::ScreenView& view = offscreen.view();
        if (args.options.count("--hover"))
            offscreen.setHover(&widgetNamed(view, args.option("--hover")));
        if (args.options.count("--emphasize")) {
            view.setEmphasizedWidget(&widgetNamed(view, args.option("--emphasize")));
            view.setEmphasisFade(fade);
        }
        writeBitmapPng(*offscreen.renderBitmap(), output, false);
    };
    if (args.has("--watch")) {
        const GuiSession gui;
        const gfx::GraphicsContext graphics;
        return watchRendering(
            [&](Mod::ModContext& module) {
                mountModule(module, args);
                draw(module, graphics);
            },
            output, out);
    }
    Mod::ModContext module;
    mountModule(module, args);
    const GuiSession gui;
    const gfx::GraphicsContext graphics;
    draw(module, graphics);
    return 0;
}

int check(const Arguments& args, std::ostream& out)
{
    const std::optional<CheckFormat> format = checkFormatNamed(args.option("--format", false, "text"));
    if (!format)
        throw UsageError("--format takes text, gnu, json or sarif: " + args.option("--format"));
    std::vector<Size> sizes;
    for (const std::string& size : args.optionValues("--size"))
        sizes.push_back(parseSize(size));
    if (sizes.empty())
        sizes.emplace_back();
    const unsigned jobs = jobsOption(args);

    Mod::ModContext module;
    mountModule(module, args);
    std::vector<std::string> screens(args.positional.begin() + 1, args.positional.end());
    if (screens.empty())
        screens = Mod::folderEntries(*module.source, std::string(Mod::ScreensFolder), ".screen");
    CheckResult result;
    result.module = args.positional[0];
    const bool own = args.has("--own");
    const OwnFiles ownFiles(module, args.positional[0]);
    for (const base::Finding& finding : module.findings.all())
        if (!own || ownFiles.finding(finding))
            result.findings.add(finding);
    if (own)
        std::erase_if(screens, [&](const std::string& name) { return !ownFiles.screen(screenPath(name)); });

    DrawingOnFirstUse drawing; // the screens may be drawn in worker processes
    auto checkOne = [&](std::size_t i) {
        // Held back, so that they come in the screens' order whatever process checked them.
        const base::DiagnosticCapture capture;
        Found found{checkScreen(drawing.graphics(), module, screens[i], sizes), {}};
        found.diagnostics = capture.messages();
        return findingBytes(found);
    };
    std::vector<std::string> found(screens.size());
    std::vector<std::size_t> stopped;
    out.flush();
    runJobs(screens.size(), jobs, checkOne, [&](std::size_t i, const JobResult& result) {
        if (result.completed)
            found[i] = result.bytes;
        else
            stopped.push_back(i);
    });
    // A worker that stopped on a screen (it crashed, or its check threw):
    // checked again here, so that its findings, or its failure, are what
    // one process gives.
    for (std::size_t i : stopped)
        found[i] = checkOne(i);
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const Found screenFound = findingsFromBytes(found[i]);
        for (const std::string& message : screenFound.diagnostics)
            base::writeDiagnostic(message);
        for (base::Finding finding : screenFound.findings.all()) {
            if (!finding.screen)
                finding.screen = screens[i];
            result.findings.add(std::move(finding));
        }
    }
    result.screens = screens.size();
    writeCheckResult(result, *format, out);
    return result.findings.count(base::FindingLevel::Error) > 0 ? 1 : 0;
}

} // namespace

void addScreenCommands(std::vector<Command>& list)
{
    list.push_back({"tree", "MODULE SCREEN [--resolved]", 2, 2, mountingValueOptions(),
                    showingFlagOptions({"--resolved"}), tree});
    list.push_back({"render",
                    "MODULE SCREEN -o OUT.png [--size WxH] [--hover NAME] [--emphasize NAME] [--fade F] [--watch]"
                    " | MODULE --all -o FOLDER [--size WxH]... [-j N]",
                    1, 2, mountingValueOptions({"-o", "--size", "--hover", "--emphasize", "--fade", "-j"}),
                    showingFlagOptions({"--all", "--watch"}), render});
    list.push_back({"check", "MODULE [SCREEN...] [--own] [--size WxH]... [--format text|gnu|json|sarif] [-j N]", 1,
                    SIZE_MAX, mountingValueOptions({"--size", "--format", "-j"}), showingFlagOptions({"--own"}), check});
}

} // namespace cli
