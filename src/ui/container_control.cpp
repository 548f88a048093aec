#include "ui/container_control.h"

#include "gfx/render_target.h"
#include "ui/drag_handler.h"

#include <algorithm>

namespace ui {

ContainerControl::~ContainerControl() { clearChildren(); }

Control* ContainerControl::addChild(std::unique_ptr<Control> child)
{
    if (child->parent_) {
        if (std::unique_ptr<Control> previous = child->parent_->removeChild(child.get()))
            (void)previous.release(); // the same object; we hold it already
    }
    child->parent_ = this;
    children_.push_back(std::move(child));
    return children_.back().get();
}

std::unique_ptr<Control> ContainerControl::removeChild(Control* child)
{
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [&](const std::unique_ptr<Control>& c) { return c.get() == child; });
    if (found == children_.end())
        return nullptr;
    std::unique_ptr<Control> removed = std::move(*found);
    children_.erase(found);
    return removed;
}

void ContainerControl::clearChildren()
{
    std::vector<std::unique_ptr<Control>> doomed = std::move(children_);
    children_.clear();
    for (std::unique_ptr<Control>& child : doomed)
        child.reset();
}

Control* ContainerControl::hitTarget(float x, float y)
{
    for (const std::unique_ptr<Control>& child : children_) {
        const gfx::Point p = mapToChild(*child, x, y);
        const HitResult r = child->hitTest(p.x, p.y);
        if (r == HitResult::Hit)
            return child->hitTarget(p.x, p.y);
        if (r == HitResult::Indeterminate) {
            if (Control* target = child->hitTarget(p.x, p.y))
                return target;
        }
    }
    return nullptr;
}

bool ContainerControl::wantsHandCursor(float x, float y)
{
    for (const std::unique_ptr<Control>& child : children_) {
        const gfx::Point p = mapToChild(*child, x, y);
        if (child->hitTest(p.x, p.y) == HitResult::Hit)
            return child->wantsHandCursor(p.x, p.y);
    }
    return false;
}

std::unique_ptr<DragHandler> ContainerControl::press(float x, float y, MouseButton button)
{
    for (const std::unique_ptr<Control>& child : children_) {
        const gfx::Point p = mapToChild(*child, x, y);
        if (child->hitTest(p.x, p.y) == HitResult::Hit)
            return child->press(p.x, p.y, button);
    }
    return nullptr;
}

HitResult ContainerControl::hitTest(float x, float y)
{
    if (!solidHitTest(x, y))
        return HitResult::Miss;
    HitResult result = HitResult::Miss;
    for (auto child = children_.begin(); child != children_.end() && result != HitResult::Hit; ++child) {
        const gfx::Point p = mapToChild(**child, x, y);
        result = result | (*child)->hitTest(p.x, p.y);
    }
    return result;
}

void ContainerControl::paint(gfx::RenderTarget& target) { paintChildren(target); }

void ContainerControl::paintChildren(gfx::RenderTarget& target)
{
    const gfx::Matrix base = target.transform();
    for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
        target.setTransform((*child)->transform() * base);
        (*child)->paint(target);
    }
    target.setTransform(base);
}

} // namespace ui
