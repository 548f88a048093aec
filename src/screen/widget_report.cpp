#include "screen/widget_report.h"

#include "assets/font_description.h"
#include "data/localise_text.h"
#include "data/mod_context.h"
#include "gfx/text_format.h"
#include "screen/art_item.h"
#include "screen/flash_art.h"
#include "screen/line_art.h"
#include "screen/rectangle_art.h"
#include "screen/screen_view.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"

namespace screen {

namespace {

gfx::Rect pixelBoundsOf(const Widget& widget)
{
    // Into the view's content space (the unit square), then its DIPs.
    gfx::Matrix toView = gfx::Matrix::identity();
    const ScreenView& view = widget.screen();
    for (const ui::Control* node = &widget; node && node != &view; node = node->parent())
        toView = toView * node->transform();
    const gfx::Point topLeft = toView.transformPoint({0.0f, 0.0f});
    const gfx::Point bottomRight = toView.transformPoint({widget.width(), widget.height()});
    return {topLeft.x * view.width(), topLeft.y * view.height(), bottomRight.x * view.width(),
            bottomRight.y * view.height()};
}

std::optional<Mod::FileOrigin> originOf(const Mod::ModContext& files, const std::string& path)
{
    if (path.empty() || !files.source)
        return std::nullopt;
    std::vector<Mod::FileOrigin> origins = Mod::fileOrigins(*files.source, path);
    if (origins.empty())
        return std::nullopt;
    return std::move(origins.front());
}

void reportTexture(const TextureArt& art, ArtReport& report)
{
    const TextureArt::Properties& p = art.properties();
    report.colours.push_back({"colour", p.colour});
    if (p.texture.empty())
        return;
    report.texture = p.texture;
    const assets::TextureCache::Texture& resolved = art.screen().assets().textures().resolve(p.texture);
    report.textureStatus = resolved.status;
    if (resolved.status == assets::TextureCache::Status::Missing)
        report.textureReason = missingTextureReason(p.texture);
    else if (resolved.status == assets::TextureCache::Status::Invalid)
        report.textureReason = resolved.path + ": " + resolved.reason;
    report.textureOrigin = originOf(art.screen().files(), resolved.path);
}

void reportText(const TextArt& art, ArtReport& report)
{
    const TextArt::Properties& p = art.properties();
    report.colours.push_back({"textColourTop", p.textColourTop});
    report.colours.push_back({"textColourBottom", p.textColourBottom});
    report.fontname = p.fontname;
    const assets::FontEntry& font = art.screen().assets().getFont(p.fontname);
    report.typeface = font.format->familyName();
    report.fontSize = font.format->fontSize() * assets::sizeFactor(font.sizes, art.screen().referenceWidth());
    report.fontFallback = font.fallback;
    report.horzAlign = static_cast<int>(p.horzAlign);
    report.vertAlign = static_cast<int>(p.vertAlign);
}

ArtReport reportArt(const ArtItem& art)
{
    ArtReport report;
    report.item = &art;
    report.kind = art.kindName();
    report.type = art.typeName();
    for (int flag = 0; flag < ArtItem::StateFlagCount; ++flag)
        if (art.stateFlags()[static_cast<std::size_t>(flag)])
            report.states.push_back(flag);
    report.bounds = art.bounds();
    report.line = art.line();
    if (const auto* texture = dynamic_cast<const TextureArt*>(&art))
        reportTexture(*texture, report);
    else if (const auto* text = dynamic_cast<const TextArt*>(&art))
        reportText(*text, report);
    else if (const auto* rectangle = dynamic_cast<const RectangleArt*>(&art))
        report.colours.push_back({"colour", rectangle->properties().colour});
    else if (const auto* line = dynamic_cast<const LineArt*>(&art))
        report.colours.push_back({"colour", line->properties().colour});
    return report;
}

} // namespace

std::string missingTextureReason(const std::string& textureName)
{
    const std::vector<std::string> tried =
        assets::TextureCache::candidates(assets::TextureCache::normalise(textureName));
    std::string out = "no file ";
    for (std::size_t i = 0; i < tried.size(); ++i)
        out += (i == 0 ? "" : i + 1 == tried.size() ? " or " : ", ") + tried[i];
    return out;
}

std::optional<Mod::FileOrigin> screenOrigin(const ScreenView& view) { return originOf(view.files(), view.path()); }

WidgetReport reportWidget(const Widget& widget)
{
    WidgetReport report;
    report.widget = &widget;
    report.kind = widget.kindName();
    report.type = widget.typeName();
    report.name = widget.name();
    report.line = widget.line();
    report.bounds = widget.bounds();
    report.pixelBounds = pixelBoundsOf(widget);
    report.style = widget.style();
    report.visible = widget.visible();
    report.text = widget.text();
    if (widget.text())
        report.localisedText = Mod::LocaliseText(widget.text()->c_str(), widget.screen().files());
    report.tooltipText = widget.tooltipText();
    if (widget.tooltipWidget())
        report.tooltipWidget = widget.tooltipWidget()->name();
    // Built from the last element to the first: reversed, they are in Lua order.
    for (auto art = widget.artItems().rbegin(); art != widget.artItems().rend(); ++art)
        report.art.push_back(reportArt(**art));
    return report;
}

} // namespace screen
