#include "cli/screen_json.h"

#include "cli/command.h"
#include "screen/art_item.h"
#include "screen/flash_art.h"
#include "screen/line_art.h"
#include "screen/rectangle_art.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"
#include "screen/widget_report.h"
#include "data/ansi_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace cli {

namespace {

std::string text(const std::string& game) { return jsonString(displayText(game)); }

std::string text(const std::optional<std::string>& game) { return game ? text(*game) : "null"; }

std::string boolean(bool value) { return value ? "true" : "false"; }

std::string line(const std::optional<int>& line) { return line ? std::to_string(*line) : "null"; }

std::string bounds(const screen::Bounds& b)
{
    return "[" + jsonNumber(b.x) + ", " + jsonNumber(b.y) + ", " + jsonNumber(b.width) + ", " + jsonNumber(b.height) +
           "]";
}

std::string colour(const screen::ColourValue& c)
{
    return "[" + jsonNumber(c.color.r) + ", " + jsonNumber(c.color.g) + ", " + jsonNumber(c.color.b) + ", " +
           jsonNumber(c.color.a) + "]";
}

std::string point(const gfx::Point& p) { return "[" + jsonNumber(p.x) + ", " + jsonNumber(p.y) + "]"; }

const char* statusName(assets::TextureCache::Status status)
{
    switch (status) {
    case assets::TextureCache::Status::Missing: return "missing";
    case assets::TextureCache::Status::Invalid: return "invalid";
    case assets::TextureCache::Status::Ok: break;
    }
    return "ok";
}

// The fields of --resolved after a widget's documented ones.
std::string resolvedWidgetFields(const screen::WidgetReport& r, const std::string& in)
{
    const screen::StyleReference& style = r.style;
    std::string out = in + "\"line\": " + line(r.line) + ",\n" + in + "\"style\": ";
    out += style.sheet || style.name ? "[" + text(style.sheet) + ", " + text(style.name) + "]" : "null";
    out += ", \"styleFound\": " + boolean(style.found) + ",\n";
    out += in + "\"localisedText\": " +
           (r.localisedText ? jsonString(Mod::utf16ToUtf8(*r.localisedText)) : std::string("null")) + ",\n";
    return out;
}

// {"kind": KIND, "path": SOURCE} as `which` names the source, or null.
std::string source(const std::optional<Mod::FileOrigin>& origin)
{
    if (!origin)
        return "null";
    return "{\"kind\": \"" + std::string(Mod::kindName(origin->kind)) + "\", \"path\": " + text(origin->source) + "}";
}

// The fields of --resolved after an art item's documented ones.
std::string resolvedArtFields(const screen::ArtReport& r)
{
    std::string out = ", \"line\": " + line(r.line);
    if (r.texture)
        out += ", \"textureStatus\": \"" + std::string(statusName(r.textureStatus)) +
               "\", \"textureReason\": " + text(r.textureReason);
    if (std::string_view(r.kind) == "TextureArt")
        out += ", \"textureSource\": " + source(r.textureOrigin);
    for (const screen::NamedColour& colour : r.colours)
        if (colour.value.key)
            out += ", \"" + std::string(colour.property) + "Key\": " + text(*colour.value.key);
    if (r.fontname)
        out += ", \"typeface\": " + jsonString(Mod::utf16ToUtf8(r.typeface)) +
               ", \"fontSize\": " + jsonNumber(r.fontSize);
    return out;
}

class Writer {
public:
    Writer(std::ostream& out, bool resolved) : out_(out), resolved_(resolved) {}

    void widget(const screen::Widget* w, int depth)
    {
        if (!w) {
            out_ << "null";
            return;
        }
        const std::string in(2 * depth + 2, ' ');
        std::optional<screen::WidgetReport> report;
        if (resolved_)
            report = screen::reportWidget(*w);
        out_ << "{\n"
             << in << "\"kind\": \"" << w->kindName() << "\",\n"
             << in << "\"type\": " << text(w->typeName()) << ",\n"
             << in << "\"name\": " << text(w->name()) << ",\n"
             << in << "\"text\": " << text(w->text()) << ",\n"
             << in << "\"tooltipText\": " << text(w->tooltipText()) << ",\n"
             << in << "\"visible\": " << boolean(w->visible()) << ",\n"
             << in << "\"tooltip\": " << (w->tooltipWidget() ? text(w->tooltipWidget()->name()) : "null") << ",\n"
             << in << "\"bounds\": " << bounds(w->bounds()) << ",\n"
             << (report ? resolvedWidgetFields(*report, in) : std::string()) << in << "\"art\": [";
        // Built from the last element to the first: reversed, they are in Lua order.
        const auto& art = w->artItems();
        std::size_t index = 0;
        for (auto i = art.rbegin(); i != art.rend(); ++i, ++index) {
            out_ << (i == art.rbegin() ? "\n" : ",\n") << in << "  ";
            artItem(**i, in + "  ", report ? &report->art[index] : nullptr);
        }
        out_ << (art.empty() ? "" : "\n" + in) << "],\n" << in << "\"children\": [";
        const auto& children = w->children();
        for (auto i = children.rbegin(); i != children.rend(); ++i) {
            out_ << (i == children.rbegin() ? "\n" : ",\n") << in << "  ";
            widget(*i, depth + 2);
        }
        out_ << (children.empty() ? "" : "\n" + in) << "]\n" << std::string(2 * depth, ' ') << "}";
    }

private:
    void artItem(const screen::ArtItem& a, const std::string& in, const screen::ArtReport* report)
    {
        out_ << "{\"kind\": \"" << a.kindName() << "\", \"id\": " << a.id() << ", \"states\": [";
        const char* separator = "";
        for (int flag = 0; flag < screen::ArtItem::StateFlagCount; ++flag) {
            if (a.stateFlags()[static_cast<std::size_t>(flag)]) {
                out_ << separator << flag;
                separator = ", ";
            }
        }
        out_ << "], \"bounds\": " << bounds(a.bounds());
        if (const auto* t = dynamic_cast<const screen::TextureArt*>(&a)) {
            const auto& p = t->properties();
            out_ << ", \"texture\": " << text(p.texture) << ", \"flipHorizontal\": " << boolean(p.flipHorizontal)
                 << ", \"flipVertical\": " << boolean(p.flipVertical) << ", \"colour\": " << colour(p.colour);
        } else if (const auto* t = dynamic_cast<const screen::TextArt*>(&a)) {
            const auto& p = t->properties();
            out_ << ",\n" << in << " \"textColourTop\": " << colour(p.textColourTop)
                 << ", \"textColourBottom\": " << colour(p.textColourBottom) << ",\n"
                 << in << " \"fontname\": " << text(p.fontname) << ", \"multiline\": " << boolean(p.multiline)
                 << ", \"dropShadow\": " << boolean(p.dropShadow) << ", \"horzAlign\": " << static_cast<int>(p.horzAlign)
                 << ", \"vertAlign\": " << static_cast<int>(p.vertAlign);
        } else if (const auto* r = dynamic_cast<const screen::RectangleArt*>(&a)) {
            const auto& p = r->properties();
            out_ << ", \"colour\": " << colour(p.colour) << ", \"rectangleType\": \""
                 << (p.border ? "border" : "filled") << "\"";
        } else if (const auto* l = dynamic_cast<const screen::LineArt*>(&a)) {
            const auto& p = l->properties();
            out_ << ", \"colour\": " << colour(p.colour) << ", \"p1\": " << point(p.p1) << ", \"p2\": " << point(p.p2);
        } else if (const auto* f = dynamic_cast<const screen::FlashArt*>(&a)) {
            const auto& p = f->properties();
            out_ << ", \"swf\": " << text(p.swf) << ", \"alpha\": " << jsonNumber(p.alpha);
        }
        if (report)
            out_ << resolvedArtFields(*report);
        out_ << "}";
    }

    std::ostream& out_;
    bool resolved_;
};

} // namespace

void writeScreenJson(const screen::ScreenView& view, std::ostream& out, bool resolved)
{
    Writer writer(out, resolved);
    out << "{\n  \"screen\": " << text(view.path()) << ",\n";
    if (resolved)
        out << "  \"source\": " << source(screen::screenOrigin(view)) << ",\n";
    out << "  \"tooltipRoot\": ";
    writer.widget(view.tooltipRoot(), 1);
    out << ",\n  \"widgetsRoot\": ";
    writer.widget(view.widgetsRoot(), 1);
    out << "\n}\n";
}

} // namespace cli
