#pragma once
// A scrolling container: its content lives in a space larger than the view,
// moved by the scroll offsets. Two thin bars, drawn over the content while
// the pointer is over the view, show and change the offsets. The wheel
// scrolls; what the view cannot apply goes on to its parent.

#include "gfx/brush.h"
#include "gfx/stroke_style.h"
#include "ui/container_control.h"

#include <memory>

namespace ui {

class ScrollBar;

class ScrollView : public ContainerControl {
public:
    // Adds the horizontal and then the vertical bar as the first children;
    // content added later is behind them.
    ScrollView();
    ~ScrollView() override;

    ScrollBar& horizontalBar() const { return *horizontal_; }
    ScrollBar& verticalBar() const { return *vertical_; }

    void setContentSize(float width, float height);
    // Scrolls vertically by the least that shows the content from top to
    // bottom (its top, when it is taller than the view).
    void scrollIntoView(float top, float bottom);

    // The content's place: the view's position minus the whole-DIP offsets.
    const gfx::Matrix& transform() const override;
    Control* hitTarget(float x, float y) override;
    HitResult hitTest(float x, float y) override;
    void scroll(float dx, float dy) override;
    void paint(gfx::RenderTarget& target) override;
    void layout() override;

private:
    friend class ScrollBar;
    void updateContentTransform();
    // The bars' look, made on the first bar paint.
    const gfx::StrokeStyle& barStroke();
    const gfx::SolidColorBrush& barBrush();

    ScrollBar* horizontal_;
    ScrollBar* vertical_;
    std::unique_ptr<gfx::StrokeStyle> barStroke_;
    std::unique_ptr<gfx::SolidColorBrush> barBrush_;
    gfx::Matrix contentTransform_;
};

} // namespace ui
