#include "screen/text_art.h"

#include "assets/screen_assets.h"
#include "data/localise_text.h"
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

    if (!font_)
        font_ = &screen().assets().getFont(properties_.fontname);
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
    gradient_->setStartPoint({0.0f, origin.y + metrics.top});
    gradient_->setEndPoint({0.0f, origin.y + metrics.top + metrics.height});
    if (properties_.dropShadow)
        target.drawTextLayout({origin.x + 1.0f / s, origin.y + 1.0f / s}, *layout_, *shadow_);
    target.drawTextLayout(origin, *layout_, *gradient_);
    target.setTransform(m);
}

} // namespace screen
