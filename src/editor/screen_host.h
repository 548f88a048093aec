#pragma once
// Where a chosen screen is shown: the loaded screen's view, filling the host.
// The host is made when the user chooses a screen and destroyed, with the
// view and its widget tree panel, when the user goes back. The panel may be
// closed by the user first; the host then no longer holds it.
//
// The view is drawn off screen over a white background, at the origin of a
// picture of the host's size, and the picture is copied into the window
// texel for texel: the window shows exactly the pixels that tise-cli render
// writes for the same size, wherever the host stands in the window. The
// picture is kept: a paint draws again only what was asked to be repainted
// since (a hover change repaints the pixels it changes), and the window
// repaints only that part of itself.
//
// Inspection (editor/screen_inspection.h): ctrl+click selects in the panel
// the widget under the pointer; the right button opens the view menu
// (preview sizes, language, pseudo-localisation, "Reload" as F5, and the
// picture's copy and save); Ctrl+C copies the picture
// (editor/screen_picture.h). At a fixed preview size the view is laid out at that
// size, drawn off screen at it, and the picture is shown scaled down where it
// does not fit, centred on a grey ground (editor/preview_size.h).

#include "base/finding.h"
#include "gfx/bitmap.h"
#include "ui/container_control.h"
#include "ui/damage.h"

#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace gfx {
class BitmapRenderTarget;
class GraphicsContext;
class SolidColorBrush;
} // namespace gfx
namespace Mod {
struct ModContext;
}
namespace screen {
class ScreenView;
class Widget;
} // namespace screen

namespace editor {

class FailureNotice;
class PreviewFrame;
struct PreviewSize;
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
    // A host in place of the screen at path of module when it failed to
    // load again after its files changed: it shows failure, and where it is
    // when that is known, instead of a drawing (editor/failure_notice.h), and
    // a panel with the screen's item alone.
    ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
               std::string failure, std::optional<base::Finding> where = std::nullopt, QWidget* panelOwner = nullptr);
    ~ScreenHost() override;

    // Whether the screen loaded; view() is there only then.
    bool loaded() const { return view_ != nullptr; }
    const std::string& failure() const { return failure_; }
    // What the Problems list shows for this host: the mounted module's
    // findings, then the screen's (ScreenView::findings), or its load error
    // when it failed to load again.
    base::FindingList problems() const;
    screen::ScreenView& view() const { return *view_; }
    // The open panel; null once the user closed it.
    WidgetTreePanel* panel() const { return panel_; }
    // The widget chosen in the panel; null for none or the screen itself.
    screen::Widget* selectedWidget() const { return selectedWidget_; }
    void setSelectedWidget(screen::Widget* widget) { selectedWidget_ = widget; }

    // The view at the run's preview size (editor/preview_size.h).
    const PreviewFrame& frame() const { return *frame_; }
    // Makes size the run's preview size and lays the view out at it; the
    // selector's band names it.
    void setPreviewSize(PreviewSize size);
    // The view fills the host, or stands letterboxed at the preview size.
    void layout() override;
    void paint(gfx::RenderTarget& target) override;
    // The picture the host shows, at the view's own size (the preview size,
    // or the host's when it fits the window) and unscaled: the pixels that
    // tise-cli render writes for that size, with the hover, the emphasis and
    // the hidden widgets as shown. The failure notice in its place while the
    // screen fails to load.
    gfx::BitmapPtr picture() const;
    // Ctrl+C copies the picture.
    bool keyPress(const ui::KeyPress& press) override;
    // What to draw again in the picture: everything, or the rectangle.
    void invalidate() override;
    void invalidateRect(const gfx::Rect& rect) override;
    // Hit anywhere in the host, letterbox included.
    ui::HitResult hitTest(float x, float y) override;
    // Ctrl+left picks a widget, the right button opens the view menu;
    // anything else goes to the view.
    std::unique_ptr<ui::DragHandler> press(float x, float y, ui::MouseButton button) override;

private:
    friend class WidgetTreePanel;
    // The panel is being destroyed.
    void panelGone(const WidgetTreePanel* panel);
    void openPanel(const std::string& path, QWidget* panelOwner);
    // Draws the picture onto a target of the view's size: within the
    // rectangle (the target's pixels), or whole when it is null.
    void drawPicture(gfx::BitmapRenderTarget& target, const gfx::Rect* within) const;

    const gfx::GraphicsContext* graphics_;
    const Mod::ModContext* module_;
    PreviewFrame* frame_;
    screen::ScreenView* view_ = nullptr; // null when the screen failed to load again
    std::string failure_;
    std::optional<base::Finding> failureWhere_;
    std::unique_ptr<FailureNotice> notice_; // over the area while the screen failed
    WidgetTreePanel* panel_ = nullptr; // owned
    screen::Widget* selectedWidget_ = nullptr;
    std::unique_ptr<gfx::BitmapRenderTarget> picture_; // made again when the size changes
    ui::Damage pictureDamage_;                         // in the picture's pixels
    std::unique_ptr<gfx::SolidColorBrush> ground_;     // the letterbox's grey, made on first use
};

} // namespace editor
