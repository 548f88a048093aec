#include "editor/screen_host.h"

#include "gfx/render_target.h"
#include "screen/screen_view.h"

#include <memory>

namespace editor {

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path)
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
    target.fillRectangle({0, 0, width(), height()}, background_);
    paintChildren(target);
}

} // namespace editor
