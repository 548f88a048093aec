#include "ui/root_control.h"

#include "gfx/render_target.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ui {

unsigned heldBitOf(MouseButton button)
{
    switch (button) {
    case LeftButton: return HeldLeft;
    case MiddleButton: return HeldMiddle;
    case RightButton: return HeldRight;
    default: return 0;
    }
}

RootControl::RootControl() : hoverTarget_(this), focusTarget_(this) {}

RootControl::~RootControl()
{
    activeDrag_.reset();
    clearChildren();
}

void RootControl::invalidate()
{
    validateAfterPaint_ = false;
    damage_.addAll();
    if (batch_)
        batch_->addAll();
    else
        repaint();
}

void RootControl::invalidateRect(const gfx::Rect& rect)
{
    validateAfterPaint_ = false;
    damage_.add(rect);
    if (batch_)
        batch_->add(rect);
    else
        repaintRect(rect);
}

Control* RootControl::hitTarget(float x, float y)
{
    Control* target = ContainerControl::hitTarget(x, y);
    return target ? target : this;
}

HitResult RootControl::hitTest(float, float) { return HitResult::Hit; }

void RootControl::paint(gfx::RenderTarget& target)
{
    target.clear({1, 1, 1, 1});
    paintChildren(target);
}

void RootControl::moveTarget(Control*& remembered, Control* target, StateField state)
{
    if (!target)
        target = this;
    if (target == remembered)
        return;
    std::vector<std::pair<Control*, unsigned>> before;
    for (Control* c = remembered; c; c = c->parent_) {
        before.emplace_back(c, c->*state);
        c->*state = 0;
    }
    target->*state = StateTarget;
    for (Control* c = target->parent_; c; c = c->parent_)
        c->*state = StateContains;
    remembered = target;
    if (state != &Control::hoverState_) {
        invalidate();
        return;
    }
    // Each control whose hover state changed says what to repaint, once
    // every state is the new one.
    std::vector<Control*> changed;
    for (const auto& [control, old] : before)
        if (control->hoverState_ != old)
            changed.push_back(control);
    for (Control* c = target; c; c = c->parent_)
        if (std::none_of(before.begin(), before.end(), [c](const auto& entry) { return entry.first == c; }))
            changed.push_back(c);
    // One repaint for all of them.
    Damage batch;
    batch_ = &batch;
    for (Control* control : changed)
        control->hoverChanged();
    batch_ = nullptr;
    if (batch.all)
        repaint();
    else
        for (const gfx::Rect& rect : batch.rects)
            repaintRect(rect);
}

void RootControl::setHover(Control* control) { moveTarget(hoverTarget_, control, &Control::hoverState_); }

void RootControl::setFocus(Control* control) { moveTarget(focusTarget_, control, &Control::focusState_); }

bool RootControl::pointerMove(gfx::Point point, unsigned heldButtons)
{
    // The window keeps getting moves after a press even where the pointer has
    // left it. Those keep the hover on the dragged control until the release,
    // so that a dragged thumb stays drawn; the release itself hits as usual,
    // so a click released outside is no click.
    const bool dragging = activeDrag_ && (heldButtons & dragButtons_) != 0;
    const bool outside = point.x < 0 || point.y < 0 || point.x >= width() || point.y >= height();
    setHover(dragging && outside ? &activeDrag_->owner() : hitTarget(point.x, point.y));
    if (activeDrag_ && !dragging) {
        std::unique_ptr<DragHandler> finished = std::move(activeDrag_);
        finished->release();
    }
    if (activeDrag_) {
        const gfx::Point p = dragMatrix_.transformPoint(point);
        return activeDrag_->drag(p.x, p.y);
    }
    return wantsHandCursor(point.x, point.y);
}

std::optional<bool> RootControl::buttonPress(gfx::Point point, MouseButton button)
{
    std::optional<bool> hand;
    if (!activeDrag_) {
        activeDrag_ = press(point.x, point.y, button);
        if (activeDrag_) {
            gfx::Matrix m;
            for (const Control* node = &activeDrag_->owner(); node; node = node->parent_)
                m = m * node->transform();
            (void)m.invert(); // a singular chain maps nowhere useful either way
            const gfx::Point image = m.transformPoint(point);
            m.dx -= image.x;
            m.dy -= image.y;
            dragMatrix_ = m;
        }
        dragButtons_ = heldBitOf(button);
        hand = pointerMove(point, dragButtons_);
    }
    setFocus(hitTarget(point.x, point.y));
    return hand;
}

void RootControl::wheel(float deltaX, float deltaY)
{
    if (hoverTarget_)
        hoverTarget_->scroll(deltaX * -0.5f, deltaY * -0.5f);
}

bool RootControl::keyPress(const KeyPress& press)
{
    // By index: acting on a key may change the children.
    for (std::size_t i = 0; i < children().size(); ++i) {
        if (children()[i]->keyPress(press))
            return true;
    }
    return false;
}

} // namespace ui
