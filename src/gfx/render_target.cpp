#include "gfx/render_target.h"

#include "base/errors.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/bitmap_surface.h"
#include "gfx/drawing_cache.h"
#include "gfx/lay_queue.h"
#include "gfx/layer_surface.h"
#include "gfx/qt_bridge.h"
#include "base/result_codes.h"

#include <QImage>
#include <QPainter>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
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
    if (m.m12 == 0.0f && m.m21 == 0.0f) {
        // Scale and translation: each edge maps to an edge.
        double x1 = double(m.m11) * rect.left + m.dx, x2 = double(m.m11) * rect.right + m.dx;
        double y1 = double(m.m22) * rect.top + m.dy, y2 = double(m.m22) * rect.bottom + m.dy;
        if (std::isnan(x1) || std::isnan(x2) || std::isnan(y1) || std::isnan(y2))
            return std::nullopt;
        if (x2 < x1)
            std::swap(x1, x2);
        if (y2 < y1)
            std::swap(y1, y2);
        return QRectF(QPointF(tame(x1), tame(y1)), QPointF(tame(x2), tame(y2)));
    }
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

// The device pixels that drawing within bounds (device coordinates) may
// change: whole pixels, widened by margin pixels for antialiasing; nothing
// when bounds are not known.
std::optional<QRect> pixelsOf(const std::optional<QRectF>& bounds, int margin)
{
    if (!bounds)
        return std::nullopt;
    const QRectF& b = *bounds;
    return QRect(QPoint(static_cast<int>(std::floor(b.left())) - margin, static_cast<int>(std::floor(b.top())) - margin),
                 QPoint(static_cast<int>(std::ceil(b.right())) + margin - 1,
                        static_cast<int>(std::ceil(b.bottom())) + margin - 1));
}

Rect inflated(const Rect& r, float by)
{
    const QRectF q = toQRectF(r).normalized();
    return {static_cast<float>(q.left()) - by, static_cast<float>(q.top()) - by, static_cast<float>(q.right()) + by,
            static_cast<float>(q.bottom()) + by};
}

// The bitmap a brush paints with, which a kept picture of its call must
// still be drawn from; null for other brushes.
const BitmapPtr* bitmapOf(const Brush& brush)
{
    const auto* bitmap = dynamic_cast<const BitmapBrush*>(&brush);
    return bitmap ? &bitmap->bitmap() : nullptr;
}

// Bytes of kept pictures a target may hold: four frames of its size, at
// least 64 MiB.
std::size_t budgetFor(QSize pixels)
{
    const std::size_t frame = static_cast<std::size_t>(std::max(0, pixels.width())) *
                              static_cast<std::size_t>(std::max(0, pixels.height())) * 4;
    return std::max<std::size_t>(std::size_t{64} << 20, frame * 4);
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
    bool retained = true;
    // While drawing: the device's size when its calls may be kept as
    // pictures, an image of premultiplied ARGB at one pixel per DIP (the
    // format of every layer and picture, so that blending is the same).
    std::optional<QSize> keepable;
    bool measuring = false;
    // The device pixels drawn since the last takeDrawn(); everywhere once a
    // call's extent was not known.
    std::optional<QRect> drawn;
    bool drawnEverywhere = false;
    std::unique_ptr<DrawingCache> cache;
    // Kept pictures not laid yet: laid before anything else touches the
    // pixels (laid()), and before the cache changes an entry.
    LayQueue queue;
    // directPixels() of the painter in use, while the painter and the clip
    // stay.
    std::optional<std::pair<QImage*, QRect>> direct;
    bool directKnown = false;

    void record(std::int32_t code)
    {
        if (error == Kestra::Hr::Ok)
            error = code;
    }

    // Lays the pictures waiting in the queue: before a call draws through
    // the painter, a layer is laid on what is below it, or drawing ends.
    void laid() { queue.lay(); }

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
        return measuring || painter().isActive();
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

    std::optional<QSize> keepableSize() const
    {
        if (!retained || !device || device->devType() != QInternal::Image)
            return std::nullopt;
        const auto* image = static_cast<const QImage*>(device);
        if (image->format() != QImage::Format_ARGB32_Premultiplied || image->devicePixelRatio() != 1.0)
            return std::nullopt;
        return image->size();
    }

    void setUp(QPainter& p) const
    {
        p.setRenderHint(QPainter::Antialiasing, antialias == AntialiasMode::PerPrimitive);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setWorldTransform(toQTransform(transform));
    }

    void applyClip(QPainter& p)
    {
        directKnown = false;
        p.resetTransform();
        if (const auto c = clip())
            p.setClipRect(*c, Qt::ReplaceClip);
        else
            p.setClipping(false);
        p.setWorldTransform(toQTransform(transform));
    }

    static bool smoothSampling(const Brush& brush)
    {
        const auto* bitmap = dynamic_cast<const BitmapBrush*>(&brush);
        return bitmap && bitmap->interpolationMode() == BitmapInterpolationMode::Linear;
    }

    static DrawCall fillOf(const Brush& brush)
    {
        DrawCall call;
        call.opacity = brush.opacity();
        call.smooth = smoothSampling(brush);
        call.brush = toQBrush(brush);
        return call;
    }

    static DrawCall strokeOf(const Brush& brush, float width, const StrokeStyle* style)
    {
        DrawCall call;
        call.opacity = brush.opacity();
        call.smooth = smoothSampling(brush);
        call.pen = toQPen(brush, width, style);
        return call;
    }

    // The key's part that every call shares: the device's size, the
    // transform and the antialiasing.
    void keyCommon(DrawKey& key, std::uint32_t kind) const
    {
        key.add(kind);
        const Size size = logicalSize();
        key.add(size.width);
        key.add(size.height);
        key.add(static_cast<std::uint32_t>(antialias));
        key.add(transform);
    }

    // The painter's image and its clip in device pixels, when the painter
    // draws on a premultiplied image that may be written directly and its
    // clip lies on whole pixels.
    std::optional<std::pair<QImage*, QRect>> directPixels(QPainter& p) const
    {
        if (p.device()->devType() != QInternal::Image)
            return std::nullopt;
        auto* target = static_cast<QImage*>(p.device());
        if (target->format() != QImage::Format_ARGB32_Premultiplied || target->devicePixelRatio() != 1.0 ||
            !target->isDetached())
            return std::nullopt;
        QRect area = target->rect();
        if (const auto c = clip()) {
            const QRect whole = c->toRect();
            if (QRectF(whole) != *c)
                return std::nullopt;
            area = area.intersected(whole);
        }
        return std::pair{target, area};
    }

    // Draws one call that may change the device pixels in `pixels` (all of
    // them may when that is not known); makeCall gives the DrawCall. When
    // makeKey fills a key that says everything that decides its pixels (and
    // returns true), the call's picture is kept from one frame to the next
    // (drawing_cache.h); bitmap is the bitmap it draws, if any. A call whose
    // pixels lie outside the clip draws nothing.
    template <class MakeKey, class MakeCall>
    void draw(const std::optional<QRect>& pixels, MakeKey&& makeKey, const BitmapPtr* bitmap, MakeCall&& makeCall)
    {
        if (!ready())
            return;
        if (pixels)
            drawn = drawn ? drawn->united(*pixels) : *pixels;
        else
            drawnEverywhere = true;
        if (measuring)
            return;
        std::optional<QRect> visible = pixels;
        if (retained && visible) {
            if (const auto c = clip()) {
                if (!QRectF(*visible).intersects(*c))
                    return;
                // Nothing outside the clip is drawn: a picture kept for a
                // clip that cuts the call (a repaint of a small part) holds
                // only what the clip leaves.
                visible = visible->intersected(c->toAlignedRect());
            }
            if (keepable) {
                visible = visible->intersected(QRect(QPoint(0, 0), *keepable));
                if (visible->isEmpty())
                    return;
            }
        }
        auto call = [&] {
            DrawCall made = makeCall();
            made.transform = toQTransform(transform);
            made.antialiased = antialias == AntialiasMode::PerPrimitive;
            made.clip = clip();
            return made;
        };
        QPainter& p = painter();
        DrawKey key;
        bool keyed = keepable && visible && makeKey(key);
        if (keyed) {
            // The painter blends a shape its clip may cut with other
            // arithmetic than one well inside it: a call that comes near
            // the clip's edge is kept for that clip alone.
            // (A clip reaching beyond the device is the painter's clip
            // where they meet.)
            const QRectF reach = QRectF(pixels->adjusted(-2, -2, 2, 2));
            const QRectF device(QPointF(0, 0), QSizeF(*keepable));
            if (const auto c = clip()) {
                const QRectF met = c->intersected(device);
                if (!met.contains(reach)) {
                    key.add(std::uint32_t{2});
                    key.add(Rect{static_cast<float>(met.left()), static_cast<float>(met.top()),
                                 static_cast<float>(met.right()), static_cast<float>(met.bottom())});
                }
            } else if (!device.contains(reach)) {
                key.add(std::uint32_t{1});
            }
        }
        if (keyed && key.valid()) {
            if (!cache) {
                cache = std::make_unique<DrawingCache>(budgetFor(*keepable));
                cache->setBeforeChange([this] { laid(); });
            }
            if (DrawingCache::Entry* entry = cache->find(key, bitmap)) {
                if (!entry->made)
                    cache->make(*entry, call(), *visible, *keepable);
                if (entry->made && lay(p, *entry))
                    return;
            }
        }
        laid();
        const DrawCall direct = call();
        direct.prepare(p);
        direct.paint(p);
    }

    // Lays the entry's picture down where its call would have drawn; false
    // when that cannot be done on this painter (its pixels blended step by
    // step need the image itself).
    bool lay(QPainter& p, const DrawingCache::Entry& entry)
    {
        if (!directKnown) {
            direct = directPixels(p);
            directKnown = true;
        }
        if (direct) {
            queue.add(direct->first->bits(), direct->first->bytesPerLine(), direct->second, entry);
            return true;
        }
        if (!entry.overlaps.empty() || entry.coverage)
            return false;
        laid();
        syncTransform(p, QTransform());
        p.setOpacity(1.0);
        p.drawImage(entry.at, entry.image());
        return true;
    }

    void popEntry()
    {
        directKnown = false;
        if (stack.back().isLayer)
            laid();
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
        if (below.isActive())
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
    s.laid();
    while (!s.stack.empty())
        s.popEntry();
    if (s.rootPainter.isActive())
        s.rootPainter.end();
    s.drawing = false;
    s.device = nullptr;
}

Size RenderTarget::size() const { return state_->logicalSize(); }

bool RenderTarget::isDrawing() const { return state_->drawing; }

void RenderTarget::setRetainedDrawing(bool retained)
{
    state_->retained = retained;
    if (!retained)
        state_->cache.reset();
}

bool RenderTarget::retainedDrawing() const { return state_->retained; }

void RenderTarget::measureOnly() { state_->measuring = true; }

bool RenderTarget::measuresOnly() const { return state_->measuring; }

Rect RenderTarget::takeDrawn()
{
    State& s = *state_;
    Rect result;
    if (s.drawnEverywhere)
        result = {-Everywhere, -Everywhere, Everywhere, Everywhere};
    else if (s.drawn)
        result = {static_cast<float>(s.drawn->left()), static_cast<float>(s.drawn->top()),
                  static_cast<float>(s.drawn->right() + 1), static_cast<float>(s.drawn->bottom() + 1)};
    s.drawn.reset();
    s.drawnEverywhere = false;
    return result;
}

void RenderTarget::addDrawn(const Rect& rect)
{
    State& s = *state_;
    if (!(rect.left < rect.right && rect.top < rect.bottom))
        return;
    if (rect.left <= -Everywhere || rect.top <= -Everywhere || rect.right >= Everywhere || rect.bottom >= Everywhere) {
        s.drawnEverywhere = true;
        return;
    }
    const QRect pixels(QPoint(static_cast<int>(std::floor(rect.left)), static_cast<int>(std::floor(rect.top))),
                       QPoint(static_cast<int>(std::ceil(rect.right)) - 1, static_cast<int>(std::ceil(rect.bottom)) - 1));
    s.drawn = s.drawn ? s.drawn->united(pixels) : pixels;
}

std::optional<Rect> RenderTarget::clipBounds() const
{
    const std::optional<QRectF> c = state_->clip();
    if (!c)
        return std::nullopt;
    return Rect{static_cast<float>(c->left()), static_cast<float>(c->top()), static_cast<float>(c->right()),
                static_cast<float>(c->bottom())};
}

void RenderTarget::beginDraw()
{
    State& s = *state_;
    if (s.drawing) {
        s.record(Kestra::Hr::WrongState);
        return;
    }
    s.drawing = true;
    s.directKnown = false;
    if (s.cache)
        s.cache->nextFrame();
    s.keepable = s.keepableSize();
    if (s.measuring)
        return;
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
    s.laid();
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
    if (!s.ready() || s.measuring)
        return;
    s.laid();
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

// The painter takes the transform when something is drawn with it.
void RenderTarget::setTransform(const Matrix& transform) { state_->transform = transform; }

AntialiasMode RenderTarget::antialiasMode() const { return state_->antialias; }

void RenderTarget::setAntialiasMode(AntialiasMode mode) { state_->antialias = mode; }

void RenderTarget::pushAxisAlignedClip(const Rect& clip, AntialiasMode)
{
    State& s = *state_;
    if (!s.ready())
        return;
    s.directKnown = false;
    State::Entry entry;
    entry.clip = intersect(s.clip(), deviceBounds(clip, s.transform));
    s.stack.push_back(std::move(entry));
    if (!s.measuring)
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
    s.directKnown = false;
    State::Entry entry;
    entry.isLayer = true;
    entry.opacity = parameters.opacity;
    entry.clip = intersect(s.clip(), deviceBounds(parameters.contentBounds, s.transform));
    if (s.measuring) {
        s.stack.push_back(std::move(entry));
        return;
    }
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

namespace {

enum CallKind : std::uint32_t { FillRect = 1, StrokeRect, FillRounded, StrokeRounded, Line, Image, Text };

// For calls that are never kept.
constexpr auto unkeyed = [](DrawKey&) { return false; };

} // namespace

void RenderTarget::fillRectangle(const Rect& rect, const Brush& brush)
{
    State& s = *state_;
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, FillRect);
        key.add(rect);
        return key.add(brush);
    };
    s.draw(pixelsOf(deviceBounds(rect, s.transform), 1), describe, bitmapOf(brush), [&] {
        DrawCall call = State::fillOf(brush);
        call.paint = [r = toQRectF(rect).normalized()](QPainter& p) { p.drawRect(r); };
        return call;
    });
}

void RenderTarget::drawRectangle(const Rect& rect, const Brush& brush, float strokeWidth,
                                 const StrokeStyle* strokeStyle)
{
    State& s = *state_;
    if (!usableWidth(strokeWidth)) {
        s.ready();
        return;
    }
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, StrokeRect);
        key.add(rect);
        key.add(strokeWidth);
        return !strokeStyle && key.add(brush);
    };
    s.draw(pixelsOf(deviceBounds(inflated(rect, strokeWidth / 2.0f), s.transform), 1), describe,
           bitmapOf(brush), [&] {
               DrawCall call = State::strokeOf(brush, strokeWidth, strokeStyle);
               call.paint = [r = toQRectF(rect).normalized()](QPainter& p) { p.drawRect(r); };
               return call;
           });
}

void RenderTarget::fillRoundedRectangle(const RoundedRect& rect, const Brush& brush)
{
    State& s = *state_;
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, FillRounded);
        key.add(rect.rect);
        key.add(rect.radiusX);
        key.add(rect.radiusY);
        return key.add(brush);
    };
    s.draw(pixelsOf(deviceBounds(rect.rect, s.transform), 1), describe, bitmapOf(brush), [&] {
        DrawCall call = State::fillOf(brush);
        call.paint = [r = toQRectF(rect.rect).normalized(), rect](QPainter& p) {
            p.drawRoundedRect(r, rect.radiusX, rect.radiusY, Qt::AbsoluteSize);
        };
        return call;
    });
}

void RenderTarget::drawRoundedRectangle(const RoundedRect& rect, const Brush& brush, float strokeWidth,
                                        const StrokeStyle* strokeStyle)
{
    State& s = *state_;
    if (!usableWidth(strokeWidth)) {
        s.ready();
        return;
    }
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, StrokeRounded);
        key.add(rect.rect);
        key.add(rect.radiusX);
        key.add(rect.radiusY);
        key.add(strokeWidth);
        return !strokeStyle && key.add(brush);
    };
    s.draw(pixelsOf(deviceBounds(inflated(rect.rect, strokeWidth / 2.0f), s.transform), 1), describe,
           bitmapOf(brush), [&] {
               DrawCall call = State::strokeOf(brush, strokeWidth, strokeStyle);
               call.paint = [r = toQRectF(rect.rect).normalized(), rect](QPainter& p) {
                   p.drawRoundedRect(r, rect.radiusX, rect.radiusY, Qt::AbsoluteSize);
               };
               return call;
           });
}

void RenderTarget::drawLine(Point from, Point to, const Brush& brush, float strokeWidth,
                            const StrokeStyle* strokeStyle)
{
    State& s = *state_;
    if (!usableWidth(strokeWidth)) {
        s.ready();
        return;
    }
    // The caps reach half the width beyond the ends (square caps of a dash
    // style included).
    const Rect span{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)};
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, Line);
        key.add(from);
        key.add(to);
        key.add(strokeWidth);
        return !strokeStyle && key.add(brush);
    };
    s.draw(pixelsOf(deviceBounds(inflated(span, strokeWidth / 2.0f), s.transform), 1), describe,
           bitmapOf(brush), [&] {
               DrawCall call = State::strokeOf(brush, strokeWidth, strokeStyle);
               call.paint = [line = QLineF(toQPointF(from), toQPointF(to))](QPainter& p) { p.drawLine(line); };
               return call;
           });
}

void RenderTarget::drawBitmap(const Bitmap& bitmap, const Rect& destination, float opacity,
                              BitmapInterpolationMode interpolation, const Rect* source)
{
    drawBitmapCall(bitmap, nullptr, destination, opacity, interpolation, source);
}

void RenderTarget::drawBitmap(const BitmapPtr& bitmap, const Rect& destination, float opacity,
                              BitmapInterpolationMode interpolation, const Rect* source)
{
    if (!bitmap) {
        State& s = *state_;
        s.ready();
        s.record(Kestra::Hr::InvalidArgument);
        return;
    }
    drawBitmapCall(*bitmap, &bitmap, destination, opacity, interpolation, source);
}

void RenderTarget::drawBitmapCall(const Bitmap& bitmap, const BitmapPtr* shared, const Rect& destination,
                                  float opacity, BitmapInterpolationMode interpolation, const Rect* source)
{
    State& s = *state_;
    if (!isDrawable(bitmap)) {
        s.ready();
        s.record(Kestra::Hr::InvalidArgument);
        return;
    }
    const Rect from = source ? *source : Rect{0.0f, 0.0f, float(bitmap.width), float(bitmap.height)};
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, Image);
        key.add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&bitmap)));
        key.add(destination);
        key.add(from);
        key.add(opacity);
        key.add(static_cast<std::uint32_t>(interpolation));
        return shared != nullptr;
    };
    s.draw(pixelsOf(deviceBounds(destination, s.transform), 1), describe, shared, [&] {
        DrawCall call;
        call.opacity = opacity;
        call.smooth = interpolation == BitmapInterpolationMode::Linear;
        call.paint = [to = toQRectF(destination).normalized(),
                      part = source ? toQRectF(*source).normalized() : QRectF(0, 0, bitmap.width, bitmap.height),
                      image = imageOf(bitmap)](QPainter& p) { p.drawImage(to, image, part); };
        return call;
    });
}

void RenderTarget::drawRenderTarget(const BitmapRenderTarget& source)
{
    State& s = *state_;
    const QPointF origin = toQTransform(s.transform).map(QPointF(0, 0));
    if (!(std::fabs(origin.x()) < FarAway && std::fabs(origin.y()) < FarAway)) {
        s.ready();
        return;
    }
    const QPoint at(static_cast<int>(std::lround(origin.x())), static_cast<int>(std::lround(origin.y())));
    s.draw(QRect(at, source.surface_->image.size()), unkeyed, nullptr, [&] {
        DrawCall call;
        call.paint = [at, &source](QPainter& p) {
            p.save();
            p.resetTransform();
            p.drawImage(at, source.surface_->image);
            p.restore();
        };
        return call;
    });
}

void RenderTarget::drawTextLayout(Point origin, const TextLayout& layout, const Brush& brush,
                                  DrawTextOptions options)
{
    State& s = *state_;
    const bool clip = hasFlag(options, DrawTextOptions::Clip);
    auto makeCall = [&] {
        DrawCall call;
        call.opacity = brush.opacity();
        call.smooth = State::smoothSampling(brush);
        call.pen = QPen(toQBrush(brush), 1.0);
        call.paint = [&layout, origin, clip](QPainter& p) {
            if (clip) {
                p.save();
                const double width = std::min<double>(layout.maxWidth(), FarAway);
                const double height = std::min<double>(layout.maxHeight(), FarAway);
                p.setClipRect(QRectF(origin.x, origin.y, width, height), Qt::IntersectClip);
            }
            layout.draw(p, origin);
            if (clip)
                p.restore();
        };
        call.paintSteps = [&layout, origin](QPainter& p, const std::function<void()>& drawn) {
            layout.drawGlyphByGlyph(p, origin, drawn);
        };
        return call;
    };
    if (!s.drawing || (!s.measuring && !s.retained)) {
        s.draw(std::nullopt, unkeyed, nullptr, makeCall);
        return;
    }
    const Rect ink = layout.inkBounds();
    if (ink.left >= ink.right) { // no glyph to draw
        s.draw(std::nullopt, unkeyed, nullptr, makeCall);
        return;
    }
    auto describe = [&](DrawKey& key) {
        s.keyCommon(key, Text);
        key.add(origin);
        key.add(layout.serial());
        key.add(layout.maxWidth());
        key.add(layout.maxHeight());
        key.add(static_cast<std::uint32_t>(layout.textAlignment()));
        key.add(static_cast<std::uint32_t>(layout.paragraphAlignment()));
        key.add(static_cast<std::uint32_t>(layout.wordWrapping()));
        return !clip && key.add(brush);
    };
    const Rect at{origin.x + ink.left, origin.y + ink.top, origin.x + ink.right, origin.y + ink.bottom};
    s.draw(pixelsOf(deviceBounds(at, s.transform), 2), describe, bitmapOf(brush), makeCall);
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
