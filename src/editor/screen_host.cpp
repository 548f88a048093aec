#include "editor/screen_host.h"

#include "data/text_compare.h"
#include "editor/failure_notice.h"
#include "editor/preview_frame.h"
#include "editor/screen_inspection.h"
#include "editor/widget_tree_panel.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/brush.h"
#include "screen/screen_view.h"
#include "ui/drag_handler.h"
#include "ui/selector.h"

#include <cmath>
#include <utility>

namespace editor {

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
                       QWidget* panelOwner)
    : graphics_(&graphics), frame_(static_cast<PreviewFrame*>(addChild(std::make_unique<PreviewFrame>())))
{
    view_ = static_cast<screen::ScreenView*>(
        frame_->addChild(std::make_unique<screen::ScreenView>(graphics, module, path)));
    openPanel(path, panelOwner);
}

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const std::string& path, std::string failure,
                       QWidget* panelOwner)
    : graphics_(&graphics), frame_(static_cast<PreviewFrame*>(addChild(std::make_unique<PreviewFrame>()))),
      failure_(std::move(failure))
{
    openPanel(path, panelOwner);
}

void ScreenHost::openPanel(const std::string& path, QWidget* panelOwner)
{
    try {
        panel_ = new WidgetTreePanel(*this, std::string(Mod::fileNameOf(path)), panelOwner);
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
    frame_->place(placePreview(runPreviewSize(), width(), height()));
    invalidate();
}

void ScreenHost::setPreviewSize(PreviewSize size)
{
    setRunPreviewSize(size);
    layout();
    if (auto* selector = dynamic_cast<ui::Selector*>(parent()))
        selector->refreshBand();
}

void ScreenHost::invalidate()
{
    pictureDamage_.addAll();
    ContainerControl::invalidate();
}

void ScreenHost::invalidateRect(const gfx::Rect& rect)
{
    // The picture holds the frame's content at its own size: back through
    // the frame's scale and offset.
    const PreviewPlacement& at = frame_->placement();
    if (at.scale > 0.0f)
        pictureDamage_.add({(rect.left - at.x) / at.scale, (rect.top - at.y) / at.scale,
                            (rect.right - at.x) / at.scale, (rect.bottom - at.y) / at.scale});
    else
        pictureDamage_.addAll();
    // Scaled down, a picture pixel reaches into the window pixels beside.
    ContainerControl::invalidateRect({rect.left - 1.0f, rect.top - 1.0f, rect.right + 1.0f, rect.bottom + 1.0f});
}

void ScreenHost::paintPicture(const gfx::Rect* within)
{
    const PreviewPlacement& at = frame_->placement();
    picture_->beginDraw();
    picture_->setTransform(gfx::Matrix::identity());
    if (within)
        picture_->pushAxisAlignedClip(*within);
    picture_->clear({1, 1, 1, 1});
    if (view_)
        frame_->paintContent(*picture_);
    else
        paintFailureNotice(*picture_, *graphics_, failure_, at.viewWidth, at.viewHeight);
    if (within)
        picture_->popAxisAlignedClip();
    picture_->endDraw();
}

void ScreenHost::paint(gfx::RenderTarget& target)
{
    const PreviewPlacement& at = frame_->placement();
    const int w = static_cast<int>(std::ceil(at.viewWidth)), h = static_cast<int>(std::ceil(at.viewHeight));
    if (w < 1 || h < 1 || !(at.scale > 0.0f))
        return;
    ui::Damage damage = pictureDamage_.take();
    if (!picture_ || picture_->size().width != w || picture_->size().height != h) {
        picture_ = std::make_unique<gfx::BitmapRenderTarget>(*graphics_, w, h);
        damage.addAll();
    }
    if (damage.all) {
        paintPicture(nullptr);
    } else {
        for (const gfx::Rect& rect : damage.rects) {
            const gfx::Rect whole = ui::wholePixels(rect);
            paintPicture(&whole);
        }
    }
    if (runPreviewSize().fitsWindow()) {
        target.drawRenderTarget(*picture_);
        return;
    }
    if (!ground_)
        ground_ = std::make_unique<gfx::SolidColorBrush>(gfx::Color{0.5f, 0.5f, 0.5f, 1.0f});
    target.fillRectangle({0, 0, width(), height()}, *ground_);
    target.drawBitmap(*picture_->bitmap(), {at.x, at.y, at.x + w * at.scale, at.y + h * at.scale}, 1.0f,
                      gfx::BitmapInterpolationMode::Linear);
}

ui::HitResult ScreenHost::hitTest(float x, float y) { return solidHitTest(x, y); }

std::unique_ptr<ui::DragHandler> ScreenHost::press(float x, float y, ui::MouseButton button)
{
    if (handleInspectionPress(*this, x, y, button))
        return nullptr;
    return ContainerControl::press(x, y, button);
}

} // namespace editor
