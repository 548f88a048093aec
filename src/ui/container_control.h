#pragma once
// A control that owns an ordered list of children. The first child is the
// front-most: it is asked first for hits, presses and the cursor, and is
// painted last.

#include "ui/control.h"

#include <memory>
#include <vector>

namespace ui {

class ContainerControl : public Control {
public:
    ContainerControl() = default;
    // Destroys the children first, in order.
    ~ContainerControl() override;

    // Takes the child (out of a previous parent if it has one), appends it
    // and returns it.
    virtual Control* addChild(std::unique_ptr<Control> child);
    // Gives the child back without destroying it; null if it is not a child.
    // The child still names this container as its parent (until it is added
    // elsewhere), so that destroying it later still hands hover and focus on.
    virtual std::unique_ptr<Control> removeChild(Control* child);
    virtual void clearChildren();

    const std::vector<std::unique_ptr<Control>>& children() const { return children_; }

    Control* hitTarget(float x, float y) override;
    bool wantsHandCursor(float x, float y) override;
    std::unique_ptr<DragHandler> press(float x, float y, MouseButton button) override;
    HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

protected:
    // Paints the children from the last to the first, each through its transform.
    void paintChildren(gfx::RenderTarget& target);

private:
    std::vector<std::unique_ptr<Control>> children_;
};

} // namespace ui
