#include "gfx/render_target.h"

#include "base/errors.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/bitmap_surface.h"
#include "gfx/layer_surface.h"
#include "gfx/qt_bridge.h"
#include "base/result_codes.h"

#include <QImage>
#include <QPainter>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace gfx {

namespace {

float unit(float value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
}

double tame(double value)
{
    return std::clamp(value, -FarAway, FarAway);
}

// The axis-aligned bounds of rect mapped by m, or nothing when the mapping is
// undefined (as for infinite bounds under a rotation).
std::optional<QRectF> deviceBounds(const Rect& rect, const Matrix& m)
{
    const QTransform t = toQTransform(m);
    const double xs[] = {rect.left, rect.right};
    const double ys[] = {rect.top, rect.bottom};
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (double x : xs) {
        for (double y : ys) {
            double px, py;
            t.map(x, y, &px, &py);
            if (std::isnan(px) || std::isnan(py))
                return std::nullopt;
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
    }
    left = tame(left), top = tame(top), right = tame(right), bottom = tame(bottom);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

std::optional<QRectF> intersect(const std::optional<QRectF>& a, const std::optional<QRectF>& b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    const QRectF r = a->intersected(*b);
    return r.isEmpty() ? QRectF(a->topLeft(), QSizeF(0, 0)) : r;
}

bool hasFlag(DrawTextOptions options, DrawTextOptions flag)
{
    return (static_cast<unsigned>(options) & static_cast<unsigned>(flag)) != 0;
}

bool usableWidth(float strokeWidth)
{
    return std::isfinite(strokeWidth) && strokeWidth > 0.0f;
}

} // namespace

struct RenderTarget::State {
    struct Entry {
        bool isLayer = false;
        std::optional<QRectF> clip; // the clip in effect while this entry is on top
        std::shared_ptr<Layer::Surface> surface;
        std::unique_ptr<QPainter> painter;
        float opacity = 1.0f;
    };

    QPaintDevice* device = nullptr;
    QPainter rootPainter;
    bool drawing = false;
    std::int32_t error = Kestra::Hr::Ok;
    Matrix transform;
    AntialiasMode antialias = AntialiasMode::PerPrimitive;
    std::vector<Entry> stack;

    void record(std::int32_t code)
    {
        if (error == Kestra::Hr::Ok)
            error = code;
    }

    QPainter& painter()
    {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            if (it->painter)
                return *it->painter;
        return rootPainter;
    }

    std::optional<QRectF> clip() const
    {
        return stack.empty() ? std::nullopt : stack.back().clip;
    }

    // Whether drawing calls may draw now; a call outside drawing is an error.
    bool ready()
    {
        if (!drawing) {
            record(Kestra::Hr::WrongState);
            return false;
        }
        return painter().isActive();
    }

    Size logicalSize() const
    {
        if (!device)
            return {};
        if (device->devType() == QInternal::Image) {
            const QSizeF size = static_cast<const QImage*>(device)->deviceIndependentSize();
            return {static_cast<float>(size.width()), static_cast<float>(size.height())};
        }
        return {static_cast<float>(device->width()), static_cast<float>(device->height())};
    }

    void setUp(QPainter& p) const
    {
        p.setRenderHint(QPainter::Antialiasing, antialias == AntialiasMode::PerPrimitive);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setWorldTransform(toQTransform(transform));
    }

    void applyClip(QPainter& p) const
    {
        p.resetTransform();
        if (const auto c = clip())
            p.setClipRect(*c, Qt::ReplaceClip);
        else
            p.setClipping(false);
        p.setWorldTransform(toQTransform(transform));
    }

    // The painter made ready for one shape: opacity, sampling, a pen or brush.
    QPainter* prepare(float opacity, bool smooth)
    {
        if (!ready())
            return nullptr;
        QPainter& p = painter();
        p.setOpacity(unit(opacity));
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        return &p;
    }

    QPainter* prepareFill(const Brush& brush)
    {
        QPainter* p = prepare(brush.opacity(), smoothSampling(brush));
        if (p) {
            p->setPen(Qt::NoPen);
            p->setBrush(toQBrush(brush));
        }
        return p;
    }

    QPainter* prepareStroke(const Brush& brush, float width, const StrokeStyle* style)
    {
        if (!usableWidth(width)) {
            ready();
            return nullptr;
        }
        QPainter* p = prepare(brush.opacity(), smoothSampling(brush));
        if (p) {
            p->setPen(toQPen(brush, width, style));
            p->setBrush(Qt::NoBrush);
        }
        return p;
    }

    static bool smoothSampling(const Brush& brush)
    {
        const auto* bitmap = dynamic_cast<const BitmapBrush*>(&brush);
        return bitmap && bitmap->interpolationMode() == BitmapInterpolationMode::Linear;
    }

    void popEntry()
    {
        Entry entry = std::move(stack.back());
        stack.pop_back();
        QPainter& below = painter();
        if (entry.isLayer && entry.painter) {
            entry.painter->end();
            below.save();
            below.resetTransform();
            below.setOpacity(unit(entry.opacity));
            below.setCompositionMode(QPainter::CompositionMode_SourceOver);
            below.drawImage(QPointF(0, 0), entry.surface->image);
            below.restore();
        }
        if (entry.surface)
            entry.surface->inUse = false;
        applyClip(below);
    }
};

RenderTarget::RenderTarget(const GraphicsContext& context, QPaintDevice& device)
    : RenderTarget(context)
{
    attach(device);
}

RenderTarget::RenderTarget(const GraphicsContext& context)
    : context_(&context), state_(std::make_unique<State>())
{
}

RenderTarget::~RenderTarget() { detach(); }

void RenderTarget::attach(QPaintDevice& device) { state_->device = &device; }

void RenderTarget::detach()
{
    State& s = *state_;
    while (!s.stack.empty())
        s.popEntry();
    if (s.rootPainter.isActive())
        s.rootPainter.end();
    s.drawing = false;
    s.device = nullptr;
}

Size RenderTarget::size() const { return state_->logicalSize(); }

bool RenderTarget::isDrawing() const { return state_->drawing; }

void RenderTarget::beginDraw()
{
    State& s = *state_;
    if (s.drawing) {
        s.record(Kestra::Hr::WrongState);
        return;
    }
    s.drawing = true;
    if (!s.device || !s.rootPainter.begin(s.device)) {
        s.record(Kestra::Hr::Fail);
        return;
    }
    s.setUp(s.rootPainter);
}

void RenderTarget::endDraw()
{
    State& s = *state_;
    if (!s.drawing)
        throw Kestra::COMException(Kestra::Hr::WrongState, "ID2D1RenderTarget::EndDraw");
    if (!s.stack.empty()) {
        s.record(Kestra::Hr::PushPopUnbalanced);
        while (!s.stack.empty())
            s.popEntry();
    }
    if (s.rootPainter.isActive())
        s.rootPainter.end();
    s.drawing = false;
    const std::int32_t error = s.error;
    s.error = Kestra::Hr::Ok;
    Kestra::throwIfFailed(error, "ID2D1RenderTarget::EndDraw");
}

void RenderTarget::clear(const Color& color)
{
    State& s = *state_;
    if (!s.ready())
        return;
    QPainter& p = s.painter();
    const Size size = s.logicalSize();
    p.save();
    p.resetTransform();
    p.setOpacity(1.0);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRectF(0, 0, size.width, size.height), toQColor(color));
    p.restore();
}

Matrix RenderTarget::transform() const { return state_->transform; }

void RenderTarget::setTransform(const Matrix& transform)
{
    State& s = *state_;
    s.transform = transform;
    if (s.drawing && s.painter().isActive())
        s.painter().setWorldTransform(toQTransform(transform));
}

AntialiasMode RenderTarget::antialiasMode() const { return state_->antialias; }

void RenderTarget::setAntialiasMode(AntialiasMode mode)
{
    State& s = *state_;
    s.antialias = mode;
    if (s.drawing && s.painter().isActive())
        s.painter().setRenderHint(QPainter::Antialiasing, mode == AntialiasMode::PerPrimitive);
}

void RenderTarget::pushAxisAlignedClip(const Rect& clip, AntialiasMode)
{
    State& s = *state_;
    if (!s.ready())
        return;
    State::Entry entry;
    entry.clip = intersect(s.clip(), deviceBounds(clip, s.transform));
    s.stack.push_back(std::move(entry));
    s.applyClip(s.painter());
}

void RenderTarget::popAxisAlignedClip()
{
    State& s = *state_;
    if (!s.ready())
        return;
    if (s.stack.empty() || s.stack.back().isLayer) {
        s.record(Kestra::Hr::PopCallDidNotMatchPush);
        return;
    }
    s.popEntry();
}

void RenderTarget::pushLayer(const LayerParameters& parameters, Layer& layer)
{
    State& s = *state_;
    if (!s.ready())
        return;
    State::Entry entry;
    entry.isLayer = true;
    entry.opacity = parameters.opacity;
    entry.clip = intersect(s.clip(), deviceBounds(parameters.contentBounds, s.transform));
    if (layer.surface_->inUse) {
        // Drawing goes on below; the matching pop finds this entry.
        s.record(Kestra::Hr::LayerAlreadyInUse);
        s.stack.push_back(std::move(entry));
        return;
    }

    const Size size = s.logicalSize();
    const qreal ratio = s.device->devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(size.width * ratio)),
                       static_cast<int>(std::ceil(size.height * ratio)));
    QImage& image = layer.surface_->image;
    if (image.size() != pixels || image.devicePixelRatio() != ratio) {
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
    }
    if (image.isNull()) {
        s.record(Kestra::Hr::OutOfMemory);
        s.stack.push_back(std::move(entry));
        return;
    }
    image.fill(Qt::transparent);
    layer.surface_->inUse = true;
    entry.surface = layer.surface_;
    entry.painter = std::make_unique<QPainter>(&image);
    s.setUp(*entry.painter);
    s.stack.push_back(std::move(entry));
    s.applyClip(*s.stack.back().painter);
}

void RenderTarget::popLayer()
{
    State& s = *state_;
    if (!s.drawing) {
        s.record(Kestra::Hr::WrongState);
        return;
    }
    if (s.stack.empty() || !s.stack.back().isLayer) {
        s.record(Kestra::Hr::PopCallDidNotMatchPush);
        return;
    }
    s.popEntry();
}

void RenderTarget::fillRectangle(const Rect& rect, const Brush& brush)
{
    if (QPainter* p = state_->prepareFill(brush))
        p->drawRect(toQRectF(rect).normalized());
}

void RenderTarget::drawRectangle(const Rect& rect, const Brush& brush, float strokeWidth,
                                 const StrokeStyle* strokeStyle)
{
    if (QPainter* p = state_->prepareStroke(brush, strokeWidth, strokeStyle))
        p->drawRect(toQRectF(rect).normalized());
}

void RenderTarget::fillRoundedRectangle(const RoundedRect& rect, const Brush& brush)
{
    if (QPainter* p = state_->prepareFill(brush))
        p->drawRoundedRect(toQRectF(rect.rect).normalized(), rect.radiusX, rect.radiusY, Qt::AbsoluteSize);
}

void RenderTarget::drawRoundedRectangle(const RoundedRect& rect, const Brush& brush, float strokeWidth,
                                        const StrokeStyle* strokeStyle)
{
    if (QPainter* p = state_->prepareStroke(brush, strokeWidth, strokeStyle))
        p->drawRoundedRect(toQRectF(rect.rect).normalized(), rect.radiusX, rect.radiusY, Qt::AbsoluteSize);
}

void RenderTarget::drawLine(Point from, Point to, const Brush& brush, float strokeWidth,
                            const StrokeStyle* strokeStyle)
{
    if (QPainter* p = state_->prepareStroke(brush, strokeWidth, strokeStyle))
        p->drawLine(QLineF(toQPointF(from), toQPointF(to)));
}

void RenderTarget::drawBitmap(const Bitmap& bitmap, const Rect& destination, float opacity,
                              BitmapInterpolationMode interpolation, const Rect* source)
{
    State& s = *state_;
    if (!isDrawable(bitmap)) {
        s.ready();
        s.record(Kestra::Hr::InvalidArgument);
        return;
    }
    QPainter* p = s.prepare(opacity, interpolation == BitmapInterpolationMode::Linear);
    if (!p)
        return;
    const QRectF from = source ? toQRectF(*source).normalized() : QRectF(0, 0, bitmap.width, bitmap.height);
    p->drawImage(toQRectF(destination).normalized(), imageOf(bitmap), from);
}

void RenderTarget::drawRenderTarget(const BitmapRenderTarget& source)
{
    State& s = *state_;
    QPainter* p = s.prepare(1.0f, false);
    if (!p)
        return;
    const QPointF origin = toQTransform(s.transform).map(QPointF(0, 0));
    if (!(std::fabs(origin.x()) < FarAway && std::fabs(origin.y()) < FarAway))
        return;
    p->save();
    p->resetTransform();
    p->drawImage(QPoint(static_cast<int>(std::lround(origin.x())), static_cast<int>(std::lround(origin.y()))),
                 source.surface_->image);
    p->restore();
}

void RenderTarget::drawTextLayout(Point origin, const TextLayout& layout, const Brush& brush,
                                  DrawTextOptions options)
{
    QPainter* p = state_->prepare(brush.opacity(), State::smoothSampling(brush));
    if (!p)
        return;
    p->setPen(QPen(toQBrush(brush), 1.0));
    p->setBrush(Qt::NoBrush);
    const bool clip = hasFlag(options, DrawTextOptions::Clip);
    if (clip) {
        p->save();
        const double width = std::min<double>(layout.maxWidth(), FarAway);
        const double height = std::min<double>(layout.maxHeight(), FarAway);
        p->setClipRect(QRectF(origin.x, origin.y, width, height), Qt::IntersectClip);
    }
    layout.draw(*p, origin);
    if (clip)
        p->restore();
}

void RenderTarget::drawText(std::u16string_view text, const TextFormat& format, const Rect& layoutRect,
                            const Brush& brush, DrawTextOptions options)
{
    const TextLayout layout(*context_, std::u16string(text), format, std::max(0.0f, layoutRect.width()),
                            std::max(0.0f, layoutRect.height()));
    drawTextLayout({layoutRect.left, layoutRect.top}, layout, brush, options);
}

std::unique_ptr<BitmapRenderTarget> RenderTarget::createCompatibleRenderTarget(Size desiredSize) const
{
    const char* operation = "ID2D1RenderTarget::CreateCompatibleRenderTarget";
    if (!(desiredSize.width >= 0.0f && desiredSize.height >= 0.0f))
        throw Kestra::COMException(Kestra::Hr::InvalidArgument, operation);
    if (desiredSize.width == 0.0f && desiredSize.height == 0.0f)
        desiredSize = size();
    constexpr float maxTexels = 16384.0f;
    if (desiredSize.width > maxTexels || desiredSize.height > maxTexels)
        throw Kestra::COMException(Kestra::Hr::MaxTextureSizeExceeded, operation);
    return std::make_unique<BitmapRenderTarget>(*context_,
                                                static_cast<int>(std::ceil(desiredSize.width)),
                                                static_cast<int>(std::ceil(desiredSize.height)));
}

} // namespace gfx
