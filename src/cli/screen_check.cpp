#include "cli/screen_check.h"

#include "screen/art_item.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_load_error.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <exception>
#include <memory>

namespace cli {

namespace {

// Whether the pointer over widget draws something that is not drawn
// without it: art gated on the hover state alone, or a tooltip.
bool showsMoreWhenHovered(const screen::Widget& widget)
{
    if (widget.tooltipWidget() && !widget.tooltipText().empty())
        return true;
    for (const screen::ArtItem* art : widget.artItems()) {
        const auto& flags = art->stateFlags();
        if (flags[2] && !flags[1])
            return true;
    }
    return false;
}

void collectHovered(screen::Widget* widget, std::vector<screen::Widget*>& out)
{
    if (!widget)
        return;
    if (showsMoreWhenHovered(*widget))
        out.push_back(widget);
    for (auto child = widget->children().rbegin(); child != widget->children().rend(); ++child)
        collectHovered(*child, out);
}

} // namespace

base::FindingList checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                              const std::string& screen, const std::vector<Size>& sizes)
{
    const std::string path = screenPath(screen);
    base::FindingList findings;
    const auto add = [&](base::Finding finding) {
        finding.screen = screen;
        findings.add(std::move(finding));
    };
    std::unique_ptr<screen::ScreenView> loaded;
    try {
        loaded = std::make_unique<screen::ScreenView>(graphics, module, path);
    } catch (const std::exception& error) {
        base::Finding finding;
        if (const auto* located = dynamic_cast<const screen::ScreenLoadError*>(&error)) {
            finding = located->finding();
        } else {
            finding.level = base::FindingLevel::Error;
            finding.code = "load-error";
            finding.message = error.what();
        }
        add(std::move(finding));
        return findings;
    }
    loaded->setCheckTextFit(true);
    const Size first = sizes.empty() ? Size{} : sizes.front();
    screen::OffscreenScreen offscreen(std::move(loaded), first.width, first.height);
    screen::ScreenView& view = offscreen.view();
    std::vector<screen::Widget*> hovered;
    collectHovered(view.widgetsRoot(), hovered);
    collectHovered(view.tooltipRoot(), hovered);
    try {
        for (const Size& size : sizes.empty() ? std::vector<Size>{first} : sizes) {
            offscreen.resize(size.width, size.height);
            offscreen.setHover(nullptr);
            offscreen.render();
            for (screen::Widget* widget : hovered) {
                offscreen.setHover(widget);
                offscreen.render();
            }
        }
    } catch (const std::exception& error) {
        base::Finding finding;
        finding.level = base::FindingLevel::Error;
        finding.code = "load-error";
        finding.message = "Cannot draw screen file " + path + ": " + error.what();
        view.screenFindings().list().add(std::move(finding));
    }
    for (const base::Finding& finding : view.findings().all())
        add(finding);
    return findings;
}

} // namespace cli
