#include "ui/drag_handler.h"

#include "ui/control.h"

namespace ui {

bool ClickHandler::drag(float dx, float dy)
{
    return owner_->hitTest(pressPoint_.x + dx, pressPoint_.y + dy) == HitResult::Hit;
}

void ClickHandler::release()
{
    if (owner_->isHovered())
        click();
}

namespace {

class FunctionClickHandler final : public ClickHandler {
public:
    FunctionClickHandler(Control& owner, gfx::Point pressPoint, std::function<void()> onClick)
        : ClickHandler(owner, pressPoint), onClick_(std::move(onClick))
    {
    }

protected:
    void click() override { onClick_(); }

private:
    std::function<void()> onClick_;
};

} // namespace

std::unique_ptr<ClickHandler> makeClickHandler(Control& owner, gfx::Point pressPoint,
                                               std::function<void()> onClick)
{
    return std::make_unique<FunctionClickHandler>(owner, pressPoint, std::move(onClick));
}

} // namespace ui
