#include "cli/screen_check.h"

#include "cli/command.h"
#include "data/localise_text.h"
#include "data/mod_context.h"
#include "screen/art_item.h"
#include "screen/keywords.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_load_error.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"
#include "screen/widget_report.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <memory>
#include <set>

namespace cli {

namespace {

std::string quoted(const std::string& game) { return "\"" + displayText(game) + "\""; }

class Checker {
public:
    explicit Checker(screen::ScreenView& view) : view_(view)
    {
        collectTooltipTargets(view.widgetsRoot());
        collectTooltipTargets(view.tooltipRoot());
    }

    void widget(const screen::Widget* w)
    {
        if (!w)
            return;
        const std::string name = "widget " + quoted(w->name());
        if (w->typeName() && w->kind() == screen::WidgetKind::Plain && !screen::gameWidgetTypeOf(*w->typeName()))
            warn("unknown-type",
                 name + " has the unknown type " + quoted(*w->typeName()) + " (drawn as a plain widget)");
        if (w->text())
            missingString(name, "text", *w->text());
        // A tooltip text shows only in the widget that tooltip_name found.
        if (w->tooltipWidget())
            missingString(name, "tooltip_text", w->tooltipText());
        // A widget gets text from its own table or, as a tooltip, from the
        // widget hovered; without either its text art draws nothing.
        const bool mayShowText = (w->text() && !w->text()->empty()) || tooltipTargets_.count(w);
        for (auto art = w->artItems().rbegin(); art != w->artItems().rend(); ++art)
            artItem(**art, name, mayShowText);
        for (auto child = w->children().rbegin(); child != w->children().rend(); ++child)
            widget(*child);
    }

    void error(const std::string& message) { add(base::FindingLevel::Error, "load-error", displayText(message)); }
    base::FindingList take() { return std::move(findings_); }

private:
    void collectTooltipTargets(const screen::Widget* w)
    {
        if (!w)
            return;
        if (w->tooltipWidget())
            tooltipTargets_.insert(w->tooltipWidget());
        for (const screen::Widget* child : w->children())
            collectTooltipTargets(child);
    }

    void missingString(const std::string& owner, const char* field, const std::string& text)
    {
        if (!text.empty() && text[0] == '$' && !Mod::FindLocalisedString(text.c_str(), view_.files()))
            warn("string-missing", owner + ": " + field + " " + displayText(text) + " is in no string table");
    }

    void artItem(const screen::ArtItem& art, const std::string& owner, bool mayShowText)
    {
        if (art.kind() == screen::ArtKind::Base) {
            warn("unknown-type", art.typeName() ? owner + " has an art item of the unknown type " +
                                                      quoted(*art.typeName()) + " (it draws nothing)"
                                                : owner + " has an art item without a type (it draws nothing)");
        } else if (const auto* texture = dynamic_cast<const screen::TextureArt*>(&art)) {
            const std::string& name = texture->properties().texture;
            if (name.empty())
                return;
            const auto& resolved = view_.assets().textures().resolve(name);
            using Status = assets::TextureCache::Status;
            if (resolved.status == Status::Missing)
                warn("texture-missing",
                     "missing texture " + quoted(name) + ": " + displayText(screen::missingTextureReason(name)));
            else if (resolved.status == Status::Invalid)
                warn("texture-invalid", "invalid texture " + quoted(name) + ": " + displayText(resolved.path) + ": " +
                     displayText(resolved.reason));
        } else if (const auto* text = dynamic_cast<const screen::TextArt*>(&art)) {
            const std::string& font = text->properties().fontname;
            if (mayShowText && view_.assets().getFont(font).fallback)
                warn("font-fallback",
                     "font " + quoted(font) + " fell back to Microsoft Sans Serif: " + fontReason(font));
        }
    }

    // Why the registry could not make the font: its description file is
    // missing, or it does not describe a typeface of the game's font files.
    std::string fontReason(const std::string& font)
    {
        const std::string file = "font\\" + font + ".fnt";
        if (!Mod::hasData(view_.files().source->open(file)))
            return "no file " + displayText(file);
        return displayText(file) + " does not load, or names a typeface that no .ttf file in font\\ has";
    }

    void warn(const char* code, const std::string& message) { add(base::FindingLevel::Warning, code, message); }
    void add(base::FindingLevel level, const char* code, const std::string& message)
    {
        if (!seen_.insert(message).second)
            return;
        base::Finding finding;
        finding.level = level;
        finding.code = code;
        finding.message = message;
        findings_.add(std::move(finding));
    }

    screen::ScreenView& view_;
    std::set<const screen::Widget*> tooltipTargets_;
    base::FindingList findings_;
    std::set<std::string> seen_;
};

} // namespace

base::FindingList checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                              const std::string& path, const std::vector<Size>& sizes)
{
    std::unique_ptr<screen::ScreenView> loaded;
    try {
        loaded = std::make_unique<screen::ScreenView>(graphics, module, path);
    } catch (const std::exception& error) {
        base::Finding finding;
        if (const auto* located = dynamic_cast<const screen::ScreenLoadError*>(&error))
            finding = located->finding();
        finding.level = base::FindingLevel::Error;
        finding.code = "load-error";
        finding.message = displayText(error.what());
        base::FindingList failed;
        failed.add(std::move(finding));
        return failed;
    }
    const Size first = sizes.empty() ? Size{} : sizes.front();
    screen::OffscreenScreen offscreen(std::move(loaded), first.width, first.height);
    Checker checker(offscreen.view());
    try {
        for (const Size& size : sizes) {
            offscreen.resize(size.width, size.height);
            offscreen.renderBitmap();
        }
    } catch (const std::exception& error) {
        checker.error(std::string("Cannot draw screen file ") + path + ": " + error.what());
    }
    checker.widget(offscreen.view().widgetsRoot());
    checker.widget(offscreen.view().tooltipRoot());
    return checker.take();
}

} // namespace cli
