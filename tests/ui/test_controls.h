#pragma once
// Small controls for driving the control tree in tests: a solid box that
// records clicks, drags and wheel movement, and a root that counts repaints.

#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "ui/drag_handler.h"
#include "ui/root_control.h"

#include <QImage>

#include <memory>
#include <vector>

namespace UiTest {

// The control painted into a new width × height image.
inline QImage paintedImage(const gfx::GraphicsContext& graphics, ui::Control& control, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    gfx::RenderTarget target(graphics, image);
    target.beginDraw();
    control.paint(target);
    target.endDraw();
    return image;
}

// A solid rectangle; a left press gives a click handler, a middle press a
// drag recorder. Paints itself in its colour.
class Box : public ui::ContainerControl {
public:
    explicit Box(gfx::Color color = {1, 0, 0, 1}) : brush_(color) {}

    ui::HitResult hitTest(float x, float y) override { return solidHitTest(x, y); }
    ui::Control* hitTarget(float x, float y) override
    {
        ui::Control* child = ContainerControl::hitTarget(x, y);
        return child ? child : this;
    }
    bool wantsHandCursor(float, float) override { return true; }
    std::unique_ptr<ui::DragHandler> press(float x, float y, ui::MouseButton button) override
    {
        presses.push_back(button);
        if (button == ui::LeftButton)
            return ui::makeClickHandler(*this, {x, y}, [this] { ++clicks; });
        if (button == ui::MiddleButton)
            return std::make_unique<Recorder>(*this);
        return nullptr;
    }
    void scroll(float dx, float dy) override
    {
        scrolls.push_back({dx, dy});
        if (passScrollOn)
            Control::scroll(dx, dy);
    }
    void paint(gfx::RenderTarget& target) override
    {
        target.fillRectangle({0, 0, width(), height()}, brush_);
        paintChildren(target);
    }

    int clicks = 0;
    std::vector<int> presses;
    std::vector<gfx::Point> drags;
    int releases = 0;
    std::vector<gfx::Point> scrolls;
    bool passScrollOn = false;

private:
    class Recorder final : public ui::DragHandler {
    public:
        explicit Recorder(Box& box) : box_(&box) {}
        ui::Control& owner() const override { return *box_; }
        bool drag(float dx, float dy) override
        {
            box_->drags.push_back({dx, dy});
            return false;
        }
        void release() override { ++box_->releases; }

    private:
        Box* box_;
    };

    gfx::SolidColorBrush brush_;
};

class CountingRoot : public ui::RootControl {
public:
    int repaints = 0;
    std::vector<gfx::Point> scrolls;
    void scroll(float dx, float dy) override { scrolls.push_back({dx, dy}); }

protected:
    void repaint() override { ++repaints; }
};

template <typename T = Box, typename... Args>
T* add(ui::ContainerControl& parent, float x, float y, float width, float height, Args&&... args)
{
    auto* control = static_cast<T*>(parent.addChild(std::make_unique<T>(std::forward<Args>(args)...)));
    control->setBounds(x, y, width, height);
    return control;
}

} // namespace UiTest
