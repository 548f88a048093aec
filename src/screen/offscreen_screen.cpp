#include "screen/offscreen_screen.h"

#include "gfx/bitmap_render_target.h"
#include "screen/screen_view.h"
#include "screen/widget.h"

#include <algorithm>

namespace screen {

OffscreenScreen::OffscreenScreen(std::unique_ptr<ScreenView> view, int width, int height)
    : view_(view.get()), width_(std::max(1, width)), height_(std::max(1, height))
{
    root_.setBounds(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
    root_.addChild(std::move(view));
    view_->setBounds(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
}

OffscreenScreen::~OffscreenScreen() = default;

void OffscreenScreen::resize(int width, int height)
{
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    root_.setBounds(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
    view_->setBounds(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
    target_.reset();
}

void OffscreenScreen::setHover(Widget* widget) { root_.setHover(widget ? static_cast<ui::Control*>(widget) : &root_); }

void OffscreenScreen::paint(gfx::RenderTarget& target)
{
    for (int frame = 0; frame < MaxFramesToSettle; ++frame) {
        root_.setValidateAfterPaint(true);
        paintWithin(target, nullptr);
        if (root_.validateAfterPaint())
            break;
    }
}

void OffscreenScreen::paintWithin(gfx::RenderTarget& target, const gfx::Rect* clip)
{
    target.beginDraw();
    target.setTransform(gfx::Matrix::identity());
    if (clip)
        target.pushAxisAlignedClip(*clip);
    root_.paint(target);
    if (clip)
        target.popAxisAlignedClip();
    target.endDraw();
}

const gfx::BitmapRenderTarget& OffscreenScreen::render()
{
    if (!target_)
        target_ = std::make_unique<gfx::BitmapRenderTarget>(view_->graphics(), width_, height_);
    root_.takeDamage();
    paint(*target_);
    if (root_.validateAfterPaint())
        root_.takeDamage(); // what the frames before the last asked for, the last drew
    return *target_;
}

const gfx::BitmapRenderTarget& OffscreenScreen::update()
{
    if (!target_)
        return render();
    const ui::Damage damage = root_.takeDamage();
    if (damage.all) {
        paint(*target_);
        return *target_;
    }
    for (const gfx::Rect& rect : damage.rects) {
        const gfx::Rect whole = ui::wholePixels(rect);
        paintWithin(*target_, &whole);
    }
    return *target_;
}

bool OffscreenScreen::needsUpdate() const { return root_.hasDamage(); }

gfx::BitmapPtr OffscreenScreen::renderBitmap() { return render().bitmap(); }

} // namespace screen
