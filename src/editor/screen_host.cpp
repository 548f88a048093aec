#include "editor/screen_host.h"

#include "data/mod_context.h"
#include "data/text_compare.h"
#include "editor/failure_notice.h"
#include "editor/preview_frame.h"
#include "editor/screen_inspection.h"
#include "editor/screen_picture.h"
#include "editor/widget_tree_panel.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/brush.h"
#include "screen/screen_view.h"
#include "ui/drag_handler.h"
#include "ui/key_press.h"
#include "ui/selector.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace editor {

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
                       QWidget* panelOwner)
    : graphics_(&graphics), module_(&module),
      frame_(static_cast<PreviewFrame*>(addChild(std::make_unique<PreviewFrame>())))
{
    view_ = static_cast<screen::ScreenView*>(
        frame_->addChild(std::make_unique<screen::ScreenView>(graphics, module, path)));
    openPanel(path, panelOwner);
}

ScreenHost::ScreenHost(const gfx::GraphicsContext& graphics, const Mod::ModContext& module, const std::string& path,
                       std::string failure, std::optional<base::Finding> where, QWidget* panelOwner)
    : graphics_(&graphics), module_(&module),
      frame_(static_cast<PreviewFrame*>(addChild(std::make_unique<PreviewFrame>()))), failure_(std::move(failure)),
      failureWhere_(std::move(where)), notice_(std::make_unique<FailureNotice>(panelOwner, failure_, failureWhere_))
{
    openPanel(path, panelOwner);
}

base::FindingList ScreenHost::problems() const
{
    base::FindingList problems = module_->findings;
    if (view_)
        problems.append(view_->findings());
    else if (failureWhere_)
        problems.add(*failureWhere_);
    return problems;
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
    if (notice_) {
        // Over the picture, in the window's pixels.
        float x = 0, y = 0;
        for (const ui::Control* node = this; node; node = node->parent()) {
            x += node->transform().dx;
            y += node->transform().dy;
        }
        const PreviewPlacement& at = frame_->placement();
        notice_->place(QRectF(x + at.x, y + at.y, at.viewWidth * at.scale, at.viewHeight * at.scale).toRect());
    }
    invalidate();
}

void ScreenHost::setPreviewSize(PreviewSize size)
{
    setRunPreviewSize(size);
    layout();
    if (auto* selector = dynamic_cast<ui::Selector*>(parent()))
        selector->refreshBand();
}

void ScreenHost::drawPicture(gfx::BitmapRenderTarget& target, const gfx::Rect* within) const
{
    target.beginDraw();
    target.setTransform(gfx::Matrix::identity());
    if (within)
        target.pushAxisAlignedClip(*within);
    target.clear({1, 1, 1, 1});
    if (view_)
        frame_->paintContent(target); // else the white under the failure notice
    if (within)
        target.popAxisAlignedClip();
    target.endDraw();
}

gfx::BitmapPtr ScreenHost::picture() const
{
    const PreviewPlacement& at = frame_->placement();
    const int w = std::max(1, static_cast<int>(std::ceil(at.viewWidth)));
    const int h = std::max(1, static_cast<int>(std::ceil(at.viewHeight)));
    gfx::BitmapRenderTarget target(*graphics_, w, h);
    drawPicture(target, nullptr);
    return target.bitmap();
}

bool ScreenHost::keyPress(const ui::KeyPress& press)
{
    if (press.key != ui::Key::Letter || press.letter != u'C' || !press.control || press.alt || press.shift)
        return false;
    copyPicture(*this);
    return true;
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
        drawPicture(*picture_, nullptr);
    } else {
        for (const gfx::Rect& rect : damage.rects) {
            const gfx::Rect whole = ui::wholePixels(rect);
            drawPicture(*picture_, &whole);
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
