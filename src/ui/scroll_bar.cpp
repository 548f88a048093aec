#include "ui/scroll_bar.h"

#include "gfx/render_target.h"
#include "ui/drag_handler.h"
#include "ui/scroll_view.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Dragging the thumb: pointer travel times the bar's ratio scrolls the
// content; what the bar cannot apply is carried into the next move, so the
// thumb meets the pointer again after overshooting an end.
class ThumbDrag final : public DragHandler {
public:
    ThumbDrag(ScrollBar& bar, gfx::Point direction) : bar_(&bar), direction_(direction) {}

    Control& owner() const override { return *bar_; }

    bool drag(float dx, float dy) override
    {
        const float moved = direction_.x * (dx - last_.x) + direction_.y * (dy - last_.y);
        carry_ = bar_->scrollBy(bar_->ratio() * moved + carry_);
        last_ = {dx, dy};
        return true;
    }

private:
    ScrollBar* bar_;
    gfx::Point direction_;
    gfx::Point last_;
    float carry_ = 0.0f;
};

} // namespace

ScrollBar::ScrollBar(ScrollView& view, gfx::Point direction) : view_(&view), direction_(direction)
{
    updateThumb();
}

void ScrollBar::setContent(float content)
{
    content_ = content;
    update();
}

void ScrollBar::setViewport(float viewport)
{
    viewport_ = viewport;
    update();
}

void ScrollBar::update()
{
    visible_ = content_ > viewport_;
    const float before = offset_;
    scrollBy(0);
    if (offset_ == before)
        updateThumb();
}

void ScrollBar::updateThumb()
{
    const float track = viewport_ - 8.0f;
    ratio_ = content_ / track;
    halfLength_ = viewport_ * track / (2.0f * content_);
    const float along = offset_ * (1.0f + track / content_) + 4.0f + halfLength_;
    thumbCentre_ = {direction_.x * along, direction_.y * along};
}

float ScrollBar::scrollBy(float delta)
{
    const float old = offset_;
    const float moved = std::max(0.0f, std::min(offset_ + delta, content_ - viewport_));
    if (moved == old)
        return delta;
    offset_ = moved;
    view_->updateContentTransform();
    updateThumb();
    invalidate();
    return delta - (moved - old);
}

Control* ScrollBar::hitTarget(float, float) { return this; }

bool ScrollBar::wantsHandCursor(float, float) { return true; }

std::unique_ptr<DragHandler> ScrollBar::press(float, float, MouseButton button)
{
    if (button != LeftButton)
        return nullptr;
    return std::make_unique<ThumbDrag>(*this, direction_);
}

HitResult ScrollBar::hitTest(float x, float y)
{
    if (!visible_)
        return HitResult::Miss;
    const float px = x - thumbCentre_.x, py = y - thumbCentre_.y;
    const float along = std::max(0.0f, std::fabs(direction_.x * px + direction_.y * py) - halfLength_);
    const float across = direction_.y * px - direction_.x * py;
    return HitResult::fromBool(4.0f * (across * across + along * along) <= 64.0f);
}

void ScrollBar::paint(gfx::RenderTarget& target)
{
    if (!visible_ || !view_->isHovered())
        return;
    const gfx::Point from{thumbCentre_.x + direction_.x * halfLength_, thumbCentre_.y + direction_.y * halfLength_};
    const gfx::Point to{thumbCentre_.x - direction_.x * halfLength_, thumbCentre_.y - direction_.y * halfLength_};
    target.drawLine(from, to, view_->barBrush(), 8.0f, &view_->barStroke());
}

} // namespace ui
