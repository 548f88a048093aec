#include "editor/screen_host.h"

#include "gfx/bitmap_render_target.h"
#include "screen/screen_view.h"

#include <cmath>

namespace editor {

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path)
    : graphics_(&graphics)
{
    view_ = static_cast<screen::ScreenView*>(addChild(std::make_unique<screen::ScreenView>(graphics, module, path)));
    layout();
}

// The view goes first: its widgets hold references into its Lua state.
ScreenHost::~ScreenHost() { clearChildren(); }

void ScreenHost::layout()
{
    view_->setBounds(0, 0, width(), height());
    invalidate();
}

void ScreenHost::paint(gfx::RenderTarget& target)
{
    const int w = static_cast<int>(std::ceil(width())), h = static_cast<int>(std::ceil(height()));
    if (w < 1 || h < 1)
        return;
    if (!picture_ || picture_->size().width != w || picture_->size().height != h)
        picture_ = std::make_unique<gfx::BitmapRenderTarget>(*graphics_, w, h);
    picture_->beginDraw();
    picture_->setTransform(gfx::Matrix::identity());
    picture_->clear({1, 1, 1, 1});
    paintChildren(*picture_);
    picture_->endDraw();
    target.drawRenderTarget(*picture_);
}

} // namespace editor
