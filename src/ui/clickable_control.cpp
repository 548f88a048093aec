#include "ui/clickable_control.h"

#include "ui/drag_handler.h"

namespace ui {

Control* ClickableControl::hitTarget(float, float) { return this; }

bool ClickableControl::wantsHandCursor(float, float) { return true; }

std::unique_ptr<DragHandler> ClickableControl::press(float x, float y, MouseButton button)
{
    if (button != LeftButton)
        return nullptr;
    // The handler keeps its own copy: the action may destroy this control.
    return makeClickHandler(*this, {x, y}, onClick_);
}

HitResult ClickableControl::hitTest(float x, float y) { return solidHitTest(x, y); }

} // namespace ui
