#include "screen/custom_widget.h"

#include "data/ansi_text.h"
#include "screen/device_geometry.h"
#include "screen/placeholder_box.h"
#include "screen/screen_view.h"

namespace screen {

CustomWidget::CustomWidget(ScreenView& screen, lua_State* lua) : Widget(screen, lua, WidgetKind::Custom) {}

CustomWidget::~CustomWidget() = default;

ui::Control* CustomWidget::hitTarget(float x, float y)
{
    ui::Control* found = ContainerControl::hitTarget(x, y);
    return found ? found : this;
}

ui::HitResult CustomWidget::hitTest(float x, float y) { return ContainerControl::hitTest(x, y); }

void CustomWidget::hoverChanged()
{
    gfx::Matrix at;
    if (screen().closing() || !screen().paintedTransform(*this, at)) {
        invalidate();
        return;
    }
    const gfx::Rect box = toDevice(at, {0.0f, 0.0f, width(), height()});
    if (isDrawable(box))
        screen().invalidateDevice({box.left - 1.0f, box.top - 1.0f, box.right + 1.0f, box.bottom + 1.0f});
}

void CustomWidget::paint(gfx::RenderTarget& target)
{
    if (!shown())
        return;
    handOverTooltip();
    leaveEmphasis(target);
    if (!label_)
        label_ = std::make_unique<gfx::TextLayout>(screen().graphics(), u"Custom\n\n" + Mod::ansiToUtf16(name()),
                                                   screen().resources().placeholderFormat(), 0.0f, 0.0f);
    drawPlaceholderBox(target, screen().resources(), *label_, isHovered() ? 0.5f : 0.0f, width(), height());
    reenterEmphasis(target);
}

} // namespace screen
