#pragma once
// One of a scroll view's two overlay bars: it keeps the scroll position along
// its axis, computes the thumb, draws it while the pointer is over the view
// and scrolls by dragging the thumb.

#include "gfx/geometry.h"
#include "ui/control.h"

namespace ui {

class ScrollView;

class ScrollBar final : public Control {
public:
    // direction: (1, 0) for the horizontal bar, (0, 1) for the vertical one.
    ScrollBar(ScrollView& view, gfx::Point direction);

    bool visible() const { return visible_; }
    float offset() const { return offset_; }
    float content() const { return content_; }
    float viewport() const { return viewport_; }
    float ratio() const { return ratio_; }
    gfx::Point thumbCentre() const { return thumbCentre_; }
    float halfLength() const { return halfLength_; }

    void setContent(float content);
    void setViewport(float viewport);
    // Moves the offset by delta within 0 to content − viewport; returns the
    // part of delta that could not be applied.
    float scrollBy(float delta);

    Control* hitTarget(float x, float y) override;
    bool wantsHandCursor(float x, float y) override;
    std::unique_ptr<DragHandler> press(float x, float y, MouseButton button) override;
    // Within 4 DIPs of the thumb's centre line; never while the bar is hidden.
    HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;

private:
    void update();
    void updateThumb();

    ScrollView* view_;
    bool visible_ = false;
    float offset_ = 0.0f;
    float content_ = 1.0f;
    float viewport_ = 2.0f;
    float ratio_ = 0.0f;
    gfx::Point direction_;
    gfx::Point thumbCentre_;
    float halfLength_ = 0.0f;
};

} // namespace ui
