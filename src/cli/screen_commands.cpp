// tise-cli commands over screens: tree, render, check.

#include "cli/command.h"

#include "cli/bitmap_png.h"
#include "cli/gui_session.h"
#include "cli/render_all.h"
#include "cli/render_watch.h"
#include "cli/screen_arguments.h"
#include "cli/screen_check.h"
#include "cli/screen_json.h"
#include "data/folder_entries.h"
#include "data/mount_module.h"
#include "gfx/graphics_context.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace cli {

namespace {

float parseFade(const std::string& text)
{
    float fade = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), fade);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(fade))
        throw UsageError("--fade takes a number: " + text);
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
    Mod::MountModule(module, args.positional[0]);
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
                Mod::MountModule(module, args.positional[0]);
                draw(module, graphics);
            },
            output, out);
    }
    Mod::ModContext module;
    Mod::MountModule(module, args.positional[0]);
    const GuiSession gui;
    const gfx::GraphicsContext graphics;
    draw(module, graphics);
    return 0;
}

int check(const Arguments& args, std::ostream& out)
{
    Mod::ModContext module;
    Mod::MountModule(module, args.positional[0]);
    std::vector<std::string> screens(args.positional.begin() + 1, args.positional.end());
    if (screens.empty())
        screens = Mod::folderEntries(*module.source, std::string(Mod::ScreensFolder), ".screen");
    const GuiSession gui;
    const gfx::GraphicsContext graphics;
    std::size_t errors = 0, warnings = 0;
    for (const std::string& name : screens) {
        const base::FindingList findings = checkScreen(graphics, module, screenPath(name));
        for (const base::Finding& finding : findings.all()) {
            if (finding.level == base::FindingLevel::Note)
                continue;
            const bool error = finding.level == base::FindingLevel::Error;
            out << oneLine(displayText(name)) << ": " << base::levelName(finding.level) << ": "
                << oneLine(displayText(finding.message)) << '\n';
            ++(error ? errors : warnings);
        }
    }
    out << screens.size() << " screens, " << errors << " errors, " << warnings << " warnings\n";
    return errors > 0 ? 1 : 0;
}

} // namespace

void addScreenCommands(std::vector<Command>& list)
{
    list.push_back({"tree", "MODULE SCREEN [--resolved]", 2, 2, {}, {"--resolved"}, tree});
    list.push_back({"render",
                    "MODULE SCREEN -o OUT.png [--size WxH] [--hover NAME] [--emphasize NAME] [--fade F] [--watch]"
                    " | MODULE --all -o FOLDER [--size WxH]... [-j N]",
                    1, 2, {"-o", "--size", "--hover", "--emphasize", "--fade", "-j"}, {"--all", "--watch"}, render});
    list.push_back({"check", "MODULE [SCREEN...]", 1, SIZE_MAX, {}, {}, check});
}

} // namespace cli
