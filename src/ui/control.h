#pragma once
// The base of every control of the program's own retained control tree. A
// control has a transform into its parent's space (whose translation is its
// position), a size in DIPs, and hover and focus states that the tree's root
// keeps up to date. Input arrives in the control's local coordinates.

#include "gfx/matrix.h"
#include "ui/hit_result.h"

#include <memory>

namespace gfx {
class RenderTarget;
}

namespace ui {

class ContainerControl;
class DragHandler;
struct KeyPress;

// Mouse buttons as press() receives them.
enum MouseButton : int { LeftButton = 0, MiddleButton = 1, RightButton = 2 };

// hoverState and focusState values: StateTarget when the control itself is
// the hover or focus target, StateContains when a descendant is. Both have
// the bit StateContains set; 0 means neither.
inline constexpr unsigned StateContains = 2;
inline constexpr unsigned StateTarget = 3;

class Control {
public:
    Control() = default;
    // A hovered or focused control hands hover and focus to its parent, then
    // leaves its parent's children without being destroyed twice.
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The owning container; null for a root or a control never added.
    ContainerControl* parent() const { return parent_; }
    float width() const { return width_; }
    float height() const { return height_; }
    unsigned hoverState() const { return hoverState_; }
    unsigned focusState() const { return focusState_; }
    bool isHovered() const { return (hoverState_ & StateContains) != 0; }

    // Asks for a repaint; climbs to the root.
    virtual void invalidate();
    // Asks for a repaint of the rectangle (local coordinates) alone; climbs
    // to the root, mapped through each transform.
    virtual void invalidateRect(const gfx::Rect& rect);
    // Position in the parent (the transform's translation) and size, then layout().
    virtual void setBounds(float x, float y, float width, float height);
    // The control that becomes the hover or focus target at a local point, or null.
    virtual Control* hitTarget(float x, float y);
    virtual bool wantsHandCursor(float x, float y);
    // A handler that follows the pointer until the button goes up, or null.
    virtual std::unique_ptr<DragHandler> press(float x, float y, MouseButton button);
    // Local coordinates to the parent's.
    virtual const gfx::Matrix& transform() const;
    virtual HitResult hitTest(float x, float y);
    // Wheel movement in DIPs; unhandled here, so it goes to the parent.
    virtual void scroll(float dx, float dy);
    // A key press offered to the control; whether it acted on it. Keys go
    // from the root down to the level the user works in (the root offers
    // them to its children): nothing by default.
    virtual bool keyPress(const KeyPress& press);
    // Draws in local coordinates (the render target's transform is set).
    virtual void paint(gfx::RenderTarget& target);
    virtual void layout();
    // Make the control the hover or focus target; the root does the work.
    virtual void setHover(Control* control);
    virtual void setFocus(Control* control);
    // The root changed this control's hoverState: by default the whole
    // tree is repainted; controls whose look depends on it little say what
    // to repaint instead.
    virtual void hoverChanged();

protected:
    // Hit inside (0, 0) to (width, height).
    HitResult solidHitTest(float x, float y) const;

private:
    gfx::Matrix transform_;
    float width_ = 64.0f;
    float height_ = 64.0f;
    friend class ContainerControl;
    friend class RootControl;
    ContainerControl* parent_ = nullptr;
    unsigned hoverState_ = 0;
    unsigned focusState_ = 0;
};

// A point of a parent's space in the child's local space. A singular transform
// gives non-finite coordinates, which no inside test accepts.
gfx::Point mapToChild(const Control& child, float x, float y);

} // namespace ui
