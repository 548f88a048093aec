#pragma once
// Where a chosen screen is shown: the loaded screen's view, filling the host.
// The host is made when the user chooses a screen and destroyed, with the
// view and its widget tree panel, when the user goes back. The panel may be
// closed by the user first; the host then no longer holds it.
//
// The view is drawn off screen over a white background, at the origin of a
// picture of the host's size, and the picture is copied into the window
// texel for texel: the window shows exactly the pixels that tise-cli render
// writes for the same size, wherever the host stands in the window.

#include "ui/container_control.h"

#include <memory>
#include <string>

class QWidget;

namespace gfx {
class BitmapRenderTarget;
class GraphicsContext;
} // namespace gfx
namespace Mod {
struct ModContext;
}
namespace screen {
class ScreenView;
class Widget;
} // namespace screen

namespace editor {

class WidgetTreePanel;

class ScreenHost final : public ui::ContainerControl {
public:
    // Loads the screen at path of the mounted module and opens its widget
    // tree panel, named after the screen's file name, floating above
    // panelOwner (may be null). graphics and module must outlive the host.
    // Loading errors (the message names the stage and the path) and the
    // panel's errors propagate; then nothing was made.
    ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
               QWidget* panelOwner = nullptr);
    // A host in place of the screen at path when it failed to load again
    // after its files changed: it shows failure instead of a drawing, and a
    // panel with the screen's item alone.
    ScreenHost(const gfx::GraphicsContext& graphics, const std::string& path, std::string failure,
               QWidget* panelOwner = nullptr);
    ~ScreenHost() override;

    // Whether the screen loaded; view() is there only then.
    bool loaded() const { return view_ != nullptr; }
    const std::string& failure() const { return failure_; }
    screen::ScreenView& view() const { return *view_; }
    // The open panel; null once the user closed it.
    WidgetTreePanel* panel() const { return panel_; }
    // The widget chosen in the panel; null for none or the screen itself.
    screen::Widget* selectedWidget() const { return selectedWidget_; }
    void setSelectedWidget(screen::Widget* widget) { selectedWidget_ = widget; }

    // The view fills the host.
    void layout() override;
    void paint(gfx::RenderTarget& target) override;

private:
    friend class WidgetTreePanel;
    // The panel is being destroyed.
    void panelGone(const WidgetTreePanel* panel);
    void openPanel(const std::string& path, QWidget* panelOwner);

    const gfx::GraphicsContext* graphics_;
    screen::ScreenView* view_ = nullptr;
    std::string failure_;
    WidgetTreePanel* panel_ = nullptr; // owned
    screen::Widget* selectedWidget_ = nullptr;
    std::unique_ptr<gfx::BitmapRenderTarget> picture_; // made again when the size changes
};

} // namespace editor
