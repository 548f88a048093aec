#pragma once
// Where a chosen screen is shown: the loaded screen's view, filling the host
// over a white background. The host is made when the user chooses a screen
// and destroyed, with the view, when the user goes back. The widget tree
// panel hangs here.

#include "gfx/brush.h"
#include "ui/container_control.h"

#include <string>

namespace gfx {
class GraphicsContext;
}
namespace Mod {
struct ModContext;
}
namespace screen {
class ScreenView;
}

namespace editor {

class ScreenHost final : public ui::ContainerControl {
public:
    // Loads the screen at path of the mounted module, which must outlive the
    // host. Loading errors propagate (the message names the stage and the
    // path); then nothing was made.
    ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path);
    ~ScreenHost() override;

    screen::ScreenView& view() const { return *view_; }

    // The view fills the host.
    void layout() override;
    void paint(gfx::RenderTarget& target) override;

private:
    screen::ScreenView* view_;
    gfx::SolidColorBrush background_{{1, 1, 1, 1}};
};

} // namespace editor
