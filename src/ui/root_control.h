#pragma once
// The root of a control tree: it keeps the hover target, the focus target and
// the drag in progress, and routes pointer moves, presses and the wheel into
// the tree. A window derives from it and feeds it the mouse events it gets;
// without a window it can be driven directly (positions in DIPs).

#include "gfx/matrix.h"
#include "ui/container_control.h"
#include "ui/damage.h"
#include "ui/drag_handler.h"

#include <memory>
#include <optional>

namespace ui {

// The held-button bits of pointer moves: the button that ends a drag.
inline constexpr unsigned HeldLeft = 0x1;
inline constexpr unsigned HeldRight = 0x2;
inline constexpr unsigned HeldMiddle = 0x10;

// The held-button bit of a press button (0, 1, 2); 0 for others.
unsigned heldBitOf(MouseButton button);

class RootControl : public ContainerControl {
public:
    RootControl();
    // Ends any drag and destroys the children while the root is still whole.
    ~RootControl() override;

    // Invalidation stops here: repaint() is asked for, and what to repaint
    // is kept until takeDamage().
    void invalidate() override;
    void invalidateRect(const gfx::Rect& rect) override;
    // The container's search; the root itself where no child answers.
    Control* hitTarget(float x, float y) override;
    HitResult hitTest(float x, float y) override;
    // Clears to opaque white, then paints the children.
    void paint(gfx::RenderTarget& target) override;
    void setHover(Control* control) override;
    void setFocus(Control* control) override;

    // Input. Each returns whether the cursor should be the hand.
    // A pointer move with the held buttons (also after every release). While
    // a drag lasts, a move outside the root's bounds leaves the hover on the
    // dragged control instead of the control under the pointer.
    bool pointerMove(gfx::Point point, unsigned heldButtons);
    // A press of button 0, 1 or 2; starts a drag if the tree returns a handler
    // and none is active, then moves the focus. The cursor choice of the
    // pointer move that a new press runs; nothing while a drag was active.
    std::optional<bool> buttonPress(gfx::Point point, MouseButton button);
    // Wheel deltas in wheel units (120 per notch) to the hover target.
    void wheel(float deltaX, float deltaY);
    // A key press, offered to the children front first until one acts on it.
    bool keyPress(const KeyPress& press) override;

    Control* hoverTarget() const { return hoverTarget_; }
    Control* focusTarget() const { return focusTarget_; }
    bool isDragging() const { return activeDrag_ != nullptr; }
    // Cleared by invalidate(); set by the window before it paints.
    bool validateAfterPaint() const { return validateAfterPaint_; }
    void setValidateAfterPaint(bool value) { validateAfterPaint_ = value; }
    // What was asked to be repainted since the last call (root coordinates).
    Damage takeDamage() { return damage_.take(); }
    const Damage& damage() const { return damage_; }
    bool hasDamage() const { return !damage_.empty(); }

protected:
    // Schedules a repaint of the whole root; nothing without a window.
    virtual void repaint() {}
    // Schedules a repaint of the rectangle; by default of the whole root.
    virtual void repaintRect(const gfx::Rect&) { repaint(); }
    // Drops a drag in progress without releasing it (for the window's end).
    void abandonDrag() { activeDrag_.reset(); }

private:
    using StateField = unsigned Control::*;
    void moveTarget(Control*& remembered, Control* target, StateField state);

    Control* hoverTarget_;
    Control* focusTarget_;
    std::unique_ptr<DragHandler> activeDrag_;
    gfx::Matrix dragMatrix_;
    unsigned dragButtons_ = 0;
    bool validateAfterPaint_ = false;
    Damage damage_;
    Damage* batch_ = nullptr; // while controls react to a hover change: what they asked for
};

} // namespace ui
