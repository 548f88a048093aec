#pragma once
// A control that is one solid target: the pointer over any part of it is over
// it, it shows the hand cursor, and a left click runs its action (which may
// destroy the control).

#include "ui/control.h"

#include <functional>

namespace ui {

class ClickableControl : public Control {
public:
    explicit ClickableControl(std::function<void()> onClick) : onClick_(std::move(onClick)) {}

    Control* hitTarget(float x, float y) override;
    bool wantsHandCursor(float x, float y) override;
    std::unique_ptr<DragHandler> press(float x, float y, MouseButton button) override;
    HitResult hitTest(float x, float y) override;

private:
    std::function<void()> onClick_;
};

} // namespace ui
