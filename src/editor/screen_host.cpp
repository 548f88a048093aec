#include "editor/screen_host.h"

#include "editor/failure_notice.h"
#include "editor/widget_tree_panel.h"
#include "gfx/bitmap_render_target.h"
#include "screen/screen_view.h"

#include <cmath>
#include <utility>

namespace editor {

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
                       QWidget* panelOwner)
    : graphics_(&graphics)
{
    view_ = static_cast<screen::ScreenView*>(addChild(std::make_unique<screen::ScreenView>(graphics, module, path)));
    openPanel(path, panelOwner);
}

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const std::string& path, std::string failure,
                       QWidget* panelOwner)
    : graphics_(&graphics), failure_(std::move(failure))
{
    openPanel(path, panelOwner);
}

void ScreenHost::openPanel(const std::string& path, QWidget* panelOwner)
{
    const std::size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    try {
        panel_ = new WidgetTreePanel(*this, name, panelOwner);
    } catch (...) {
        clearChildren();
        throw;
    }
    layout();
}

// The panel goes first (its items name the view's widgets), then the view,
// whose widgets hold references into its Lua state.
ScreenHost::~ScreenHost()
{
    delete std::exchange(panel_, nullptr);
    clearChildren();
}

void ScreenHost::panelGone(const WidgetTreePanel* panel)
{
    if (panel_ == panel)
        panel_ = nullptr;
}

void ScreenHost::layout()
{
    if (view_)
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
    if (view_)
        paintChildren(*picture_);
    else
        paintFailureNotice(*picture_, *graphics_, failure_, width(), height());
    picture_->endDraw();
    target.drawRenderTarget(*picture_);
}

} // namespace editor
