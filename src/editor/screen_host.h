#pragma once
// Where a chosen screen is shown: the loaded screen's view, filling the host.
// The host is made when the user chooses a screen and destroyed, with the
// view, when the user goes back. The widget tree panel hangs here.
//
// The view is drawn off screen over a white background, at the origin of a
// picture of the host's size, and the picture is copied into the window
// texel for texel: the window shows exactly the pixels that tise-cli render
// writes for the same size, wherever the host stands in the window.

#include "ui/container_control.h"

#include <memory>
#include <string>

namespace gfx {
class BitmapRenderTarget;
class GraphicsContext;
} // namespace gfx
namespace Mod {
struct ModContext;
}
namespace screen {
class ScreenView;
}

namespace editor {

class ScreenHost final : public ui::ContainerControl {
public:
    // Loads the screen at path of the mounted module; graphics and module
    // must outlive the host. Loading errors propagate (the message names the
    // stage and the path); then nothing was made.
    ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path);
    ~ScreenHost() override;

    screen::ScreenView& view() const { return *view_; }

    // The view fills the host.
    void layout() override;
    void paint(gfx::RenderTarget& target) override;

private:
    const gfx::GraphicsContext* graphics_;
    screen::ScreenView* view_;
    std::unique_ptr<gfx::BitmapRenderTarget> picture_; // made again when the size changes
};

} // namespace editor
