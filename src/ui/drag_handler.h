#pragma once
// Following the pointer from a press until its button goes up. A drag
// reports displacements from the press point in its owner's local space.

#include "gfx/geometry.h"

#include <functional>
#include <memory>

namespace ui {

class Control;

class DragHandler {
public:
    virtual ~DragHandler() = default;
    // The control in whose space displacements are reported.
    virtual Control& owner() const = 0;
    // The pointer is (dx, dy) from the press point; true asks for the hand cursor.
    virtual bool drag(float dx, float dy) = 0;
    // The button went up.
    virtual void release() {}
};

// A press that becomes a click when released over its owner. click() may
// destroy the owner.
class ClickHandler : public DragHandler {
public:
    ClickHandler(Control& owner, gfx::Point pressPoint) : owner_(&owner), pressPoint_(pressPoint) {}

    Control& owner() const override { return *owner_; }
    // Whether the pointer is over the owner.
    bool drag(float dx, float dy) override;
    // Clicks when the owner is still hovered.
    void release() override;

protected:
    virtual void click() = 0;

private:
    Control* owner_;
    gfx::Point pressPoint_;
};

// A click handler that runs a function.
std::unique_ptr<ClickHandler> makeClickHandler(Control& owner, gfx::Point pressPoint,
                                               std::function<void()> onClick);

} // namespace ui
