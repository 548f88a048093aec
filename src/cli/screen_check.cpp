#include "cli/screen_check.h"

#include "cli/command.h"
#include "data/localise_text.h"
#include "data/mod_context.h"
#include "screen/art_item.h"
#include "screen/lua_hash.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"

#include <exception>
#include <memory>
#include <set>

namespace cli {

namespace {

// "Button" is the one type that chooses a plain widget on purpose.
bool knownWidgetType(const screen::Widget& widget)
{
    if (widget.kind() != screen::WidgetKind::Plain)
        return true;
    const std::string& type = *widget.typeName();
    return type.size() == 6 && screen::luaHash(type) == screen::luaHash("Button");
}

class Checker {
public:
    explicit Checker(screen::ScreenView& view) : view_(view) {}

    void widget(const screen::Widget* w)
    {
        if (!w)
            return;
        const std::string name = "widget \"" + displayText(w->name()) + "\"";
        if (w->typeName() && !knownWidgetType(*w))
            warn(name + " has the unknown type \"" + displayText(*w->typeName()) + "\"");
        const bool hasText = w->text() && !w->text()->empty();
        if (hasText && (*w->text())[0] == '$' && !Mod::FindLocalisedString(w->text()->c_str(), view_.files()))
            warn(name + ": no string has the number of " + displayText(*w->text()));
        for (auto art = w->artItems().rbegin(); art != w->artItems().rend(); ++art)
            artItem(**art, name, hasText);
        for (auto child = w->children().rbegin(); child != w->children().rend(); ++child)
            widget(*child);
    }

    void error(const std::string& message) { add({true, displayText(message)}); }
    std::vector<ScreenProblem> take() { return std::move(problems_); }

private:
    void artItem(const screen::ArtItem& art, const std::string& owner, bool hasText)
    {
        if (art.kind() == screen::ArtKind::Base) {
            warn(art.typeName() ? owner + " has an art item of the unknown type \"" + displayText(*art.typeName()) + "\""
                                : owner + " has an art item without a type");
        } else if (const auto* texture = dynamic_cast<const screen::TextureArt*>(&art)) {
            const std::string& name = texture->properties().texture;
            if (name.empty())
                return;
            const auto& resolved = view_.assets().textures().resolve(name);
            if (resolved.status == assets::TextureCache::Status::Missing)
                warn("missing texture " + displayText(name));
            else if (resolved.status == assets::TextureCache::Status::Invalid)
                warn("invalid texture " + displayText(name) + ": " + displayText(resolved.reason));
        } else if (const auto* text = dynamic_cast<const screen::TextArt*>(&art)) {
            const std::string& font = text->properties().fontname;
            if (hasText && view_.assets().getFont(font).fallback)
                warn("font \"" + displayText(font) + "\" fell back to Microsoft Sans Serif");
        }
    }

    void warn(const std::string& message) { add({false, message}); }
    void add(ScreenProblem problem)
    {
        if (seen_.insert(problem.message).second)
            problems_.push_back(std::move(problem));
    }

    screen::ScreenView& view_;
    std::vector<ScreenProblem> problems_;
    std::set<std::string> seen_;
};

} // namespace

std::vector<ScreenProblem> checkScreen(const gfx::GraphicsContext& graphics, const Mod::ModContext& module,
                                       const std::string& path)
{
    std::unique_ptr<screen::ScreenView> loaded;
    try {
        loaded = std::make_unique<screen::ScreenView>(graphics, module, path);
    } catch (const std::exception& error) {
        return {{true, displayText(error.what())}};
    }
    screen::OffscreenScreen offscreen(std::move(loaded), 1024, 768);
    Checker checker(offscreen.view());
    try {
        offscreen.renderBitmap();
    } catch (const std::exception& error) {
        checker.error(std::string("Cannot draw screen file ") + path + ": " + error.what());
    }
    checker.widget(offscreen.view().widgetsRoot());
    checker.widget(offscreen.view().tooltipRoot());
    return checker.take();
}

} // namespace cli
