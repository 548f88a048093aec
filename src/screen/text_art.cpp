#include "screen/text_art.h"

#include "assets/screen_assets.h"
#include "base/closest_name.h"
#include "data/localise_text.h"
#include "data/mod_context.h"
#include "data/text_compare.h"
#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <algorithm>
#include <cmath>

namespace screen {

TextArt::TextArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Text), properties_(std::move(properties))
{
}

TextArt::~TextArt() = default;

ui::HitResult TextArt::hitTest(float x, float y)
{
    return solidHitTest(x, y) ? ui::HitResult::Indeterminate : ui::HitResult::Miss;
}

void TextArt::textChanged() { layout_.reset(); }

void TextArt::reportFallback()
{
    const std::string& name = properties_.fontname;
    const std::string file = "font\\" + name + ".fnt";
    const bool noFile = font_->fallbackReason.starts_with("no file");
    std::optional<std::string> hint;
    if (name.empty()) {
        hint = "the Text art names no font: add fontname = \"NAME\" for a file font\\NAME.fnt";
    } else if (noFile) {
        std::vector<std::string> files;
        screen().files().source->list("font\\", files);
        std::vector<std::string> fonts;
        for (const std::string& entry : files)
            if (Mod::endsWithNoCase(entry, ".fnt"))
                fonts.push_back(entry.substr(0, entry.size() - 4));
        hint = base::didYouMean(base::closestNames(name, std::vector<std::string_view>(fonts.begin(), fonts.end())));
    } else {
        hint = font_->fallbackReason;
    }
    screen().screenFindings().addOnce(
        "font-fallback",
        "font \"" + name + "\" fell back to Microsoft Sans Serif: " +
            (noFile ? font_->fallbackReason
                    : file + " does not load, or names a typeface that no .ttf file in font\\ has"),
        std::move(hint), *this);
}

void TextArt::checkFit(const gfx::TextMetrics& metrics, float scale)
{
    // Half a device pixel of slack across: what rounding in the layout may
    // add. Down, half a line: a line a little taller than its box (as the
    // font's line height makes it) still shows whole, nothing runs below.
    const float slack = 0.5f / scale;
    const float halfLine = metrics.lineCount > 0 ? metrics.height / static_cast<float>(metrics.lineCount) / 2.0f : 0.0f;
    const bool tooWide = metrics.width > metrics.layoutWidth + slack;
    const bool tooHigh = metrics.height > metrics.layoutHeight + std::max(slack, halfLine);
    if (!tooWide && !tooHigh)
        return;
    const Widget* owner = widget();
    const auto pixels = [scale](float w, float h) {
        return std::to_string(static_cast<int>(std::ceil(w * scale))) + " x " +
               std::to_string(static_cast<int>(std::ceil(h * scale)));
    };
    const std::string size = std::to_string(static_cast<int>(std::lround(screen().width()))) + "x" +
                             std::to_string(static_cast<int>(std::lround(screen().height())));
    const std::string& text = *owner->text();
    const std::string shown = text[0] == '$' || text.size() <= 40 ? text : text.substr(0, 40) + "...";
    screen().screenFindings().add(
        "text-overflow",
        "widget \"" + owner->name() + "\": text " + (text[0] == '$' ? shown : "\"" + shown + "\"") +
            " does not fit its box at " + size +
            ": it needs " + pixels(metrics.width, metrics.height) + " pixels, the box has " +
            pixels(metrics.layoutWidth, metrics.layoutHeight),
        std::string(tooWide && !properties_.multiline
                        ? "widen the box or shorten the text; multiline = true lets it wrap"
                        : "make the box larger, the text shorter or the font smaller"),
        *this);
}

void TextArt::paint(gfx::RenderTarget& target)
{
    if (!passesStateGate())
        return;
    const Widget* owner = widget();
    if (!owner || !owner->text() || owner->text()->empty())
        return;
    const gfx::Matrix m = target.transform();
    if (!isDrawable(toDevice(m, {0.0f, 0.0f, width(), height()})))
        return;

    if (!font_) {
        font_ = &screen().assets().getFont(properties_.fontname);
        if (font_->fallback)
            reportFallback();
    }
    if (!gradient_) {
        const gfx::GradientStop stops[] = {{0.0f, properties_.textColourTop.color},
                                           {1.0f, properties_.textColourBottom.color}};
        gradient_ = std::make_unique<gfx::LinearGradientBrush>(
            gfx::Point{}, gfx::Point{}, std::make_shared<gfx::GradientStopCollection>(stops));
        shadow_ = std::make_unique<gfx::SolidColorBrush>(gfx::Color{0.0f, 0.0f, 0.0f, 1.0f});
    }
    if (!layout_) {
        layout_ = std::make_unique<gfx::TextLayout>(screen().graphics(),
                                                    Mod::LocaliseText(owner->text()->c_str(), screen().files()),
                                                    *font_->format, 0.0f, 0.0f);
        layout_->setTextAlignment(properties_.horzAlign);
        layout_->setParagraphAlignment(properties_.vertAlign);
        layout_->setWordWrapping(properties_.multiline ? gfx::WordWrapping::Wrap : gfx::WordWrapping::NoWrap);
    }

    const float s = assets::sizeFactor(font_->sizes, screen().referenceWidth());
    if (!(std::isfinite(s) && s > 0.0f))
        return;
    // Laid out at the font's size times s, in a box that covers the item on
    // screen: the transform is a pure scale by s, the box the item's device
    // rectangle divided by s.
    target.setTransform(gfx::Matrix::scale(s, s));
    layout_->setMaxWidth(std::max(0.0f, m.m11 * width() / s));
    layout_->setMaxHeight(std::max(0.0f, m.m22 * height() / s));
    const gfx::Point origin{m.dx / s, m.dy / s};
    const gfx::TextMetrics metrics = layout_->metrics();
    if (screen().checksTextFit())
        checkFit(metrics, s);
    gradient_->setStartPoint({0.0f, origin.y + metrics.top});
    gradient_->setEndPoint({0.0f, origin.y + metrics.top + metrics.height});
    if (properties_.dropShadow)
        target.drawTextLayout({origin.x + 1.0f / s, origin.y + 1.0f / s}, *layout_, *shadow_);
    target.drawTextLayout(origin, *layout_, *gradient_);
    target.setTransform(m);
}

} // namespace screen
