#include "ui/scroll_view.h"

#include "gfx/render_target.h"
#include "ui/scroll_bar.h"

#include <cmath>

namespace ui {

ScrollView::ScrollView()
{
    horizontal_ = static_cast<ScrollBar*>(addChild(std::make_unique<ScrollBar>(*this, gfx::Point{1, 0})));
    vertical_ = static_cast<ScrollBar*>(addChild(std::make_unique<ScrollBar>(*this, gfx::Point{0, 1})));
    updateContentTransform();
}

ScrollView::~ScrollView()
{
    barStroke_.reset();
    barBrush_.reset();
    clearChildren();
}

void ScrollView::setContentSize(float width, float height)
{
    horizontal_->setContent(width);
    vertical_->setContent(height);
}

void ScrollView::scrollIntoView(float top, float bottom)
{
    const float offset = vertical_->offset();
    if (bottom > offset + height())
        vertical_->scrollBy(bottom - (offset + height()));
    if (top < vertical_->offset())
        vertical_->scrollBy(top - vertical_->offset());
}

const gfx::Matrix& ScrollView::transform() const { return contentTransform_; }

void ScrollView::updateContentTransform()
{
    contentTransform_ = gfx::Matrix::translation(Control::transform().dx - std::floor(horizontal_->offset()),
                                                 Control::transform().dy - std::floor(vertical_->offset()));
}

Control* ScrollView::hitTarget(float x, float y)
{
    Control* target = ContainerControl::hitTarget(x, y);
    return target ? target : this;
}

HitResult ScrollView::hitTest(float x, float y)
{
    if (!horizontal_->visible() && !vertical_->visible())
        return ContainerControl::hitTest(x, y);
    const float vx = x - horizontal_->offset(), vy = y - vertical_->offset();
    return HitResult::fromBool(vx >= 0 && vx < width() && vy >= 0 && vy < height());
}

void ScrollView::scroll(float dx, float dy)
{
    const float leftoverX = horizontal_->scrollBy(dx);
    const float leftoverY = vertical_->scrollBy(dy);
    if ((leftoverX != 0 || leftoverY != 0) && parent())
        Control::scroll(leftoverX, leftoverY);
}

void ScrollView::paint(gfx::RenderTarget& target)
{
    if (!horizontal_->visible() && !vertical_->visible()) {
        paintChildren(target);
        return;
    }
    const float ox = horizontal_->offset(), oy = vertical_->offset();
    target.pushAxisAlignedClip({ox, oy, width() + ox, height() + oy}, gfx::AntialiasMode::PerPrimitive);
    paintChildren(target);
    target.popAxisAlignedClip();
}

void ScrollView::layout()
{
    horizontal_->setBounds(0, height() - 6, 0, 0);
    horizontal_->setViewport(width());
    vertical_->setBounds(width() - 6, 0, 0, 0);
    vertical_->setViewport(height());
    updateContentTransform();
    invalidate();
}

const gfx::StrokeStyle& ScrollView::barStroke()
{
    if (!barStroke_) {
        gfx::StrokeStyleProperties properties;
        properties.startCap = gfx::CapStyle::Round;
        properties.endCap = gfx::CapStyle::Round;
        properties.dashCap = gfx::CapStyle::Flat;
        properties.lineJoin = gfx::LineJoin::Miter;
        properties.miterLimit = 10.0f;
        properties.dashStyle = gfx::DashStyle::Solid;
        barStroke_ = std::make_unique<gfx::StrokeStyle>(properties);
    }
    return *barStroke_;
}

const gfx::SolidColorBrush& ScrollView::barBrush()
{
    if (!barBrush_)
        barBrush_ = std::make_unique<gfx::SolidColorBrush>(gfx::Color{0, 0, 0, 0.5f});
    return *barBrush_;
}

} // namespace ui
