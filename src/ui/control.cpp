#include "ui/control.h"

#include "ui/container_control.h"
#include "ui/drag_handler.h"

#include <algorithm>
#include <cmath>

namespace ui {

Control::~Control()
{
    if (parent_) {
        if (hoverState_ & StateContains)
            parent_->setHover(parent_);
        if (focusState_ & StateContains)
            parent_->setFocus(parent_);
        // The parent hands ownership back; it is ours to drop, not to delete.
        if (std::unique_ptr<Control> self = parent_->removeChild(this))
            (void)self.release();
    }
}

void Control::invalidate()
{
    if (parent_)
        parent_->invalidate();
}

void Control::invalidateRect(const gfx::Rect& rect)
{
    if (!parent_)
        return;
    const gfx::Rect r = transform().transformBounds(rect);
    if (std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom))
        parent_->invalidateRect(r);
    else
        parent_->invalidate();
}

void Control::setBounds(float x, float y, float width, float height)
{
    transform_.dx = x;
    transform_.dy = y;
    width_ = width;
    height_ = height;
    layout();
}

Control* Control::hitTarget(float, float) { return nullptr; }

bool Control::wantsHandCursor(float, float) { return false; }

std::unique_ptr<DragHandler> Control::press(float, float, MouseButton) { return nullptr; }

const gfx::Matrix& Control::transform() const { return transform_; }

HitResult Control::hitTest(float, float) { return HitResult::Miss; }

void Control::scroll(float dx, float dy)
{
    if (parent_)
        parent_->scroll(dx, dy);
}

bool Control::keyPress(const KeyPress&) { return false; }

void Control::paint(gfx::RenderTarget&) {}

void Control::layout() { invalidate(); }

void Control::setHover(Control* control)
{
    if (parent_)
        parent_->setHover(control);
}

void Control::setFocus(Control* control)
{
    if (parent_)
        parent_->setFocus(control);
}

void Control::hoverChanged() { invalidate(); }

HitResult Control::solidHitTest(float x, float y) const
{
    return HitResult::fromBool(x >= 0 && x < width_ && y >= 0 && y < height_);
}

gfx::Point mapToChild(const Control& child, float x, float y)
{
    const gfx::Matrix& m = child.transform();
    const float d = m.m11 * m.m22 - m.m12 * m.m21;
    const float px = x - m.dx, py = y - m.dy;
    return {(m.m22 * px - m.m21 * py) / d, (m.m11 * py - m.m12 * px) / d};
}

} // namespace ui
