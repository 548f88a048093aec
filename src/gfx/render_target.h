#pragma once
// A render target: where the program draws, either a window or an image.
// Drawing happens between beginDraw and endDraw, in DIPs mapped through the
// current transform; axis-aligned clips and layers nest between push and pop.
//
// Errors made while drawing (a draw outside beginDraw/endDraw, a pop that does
// not match its push, an unusable bitmap) do not interrupt the drawing: the
// first one is kept and endDraw throws it as a Kestra::COMException named
// "ID2D1RenderTarget::EndDraw". Creating things throws at once.
//
// Between frames a target keeps what its drawing calls drew, at device
// resolution (see setRetainedDrawing): a repaint of unchanged content lays
// down those pictures instead of scaling textures and rasterising text again.

#include "gfx/bitmap.h"
#include "gfx/brush.h"
#include "gfx/color.h"
#include "gfx/geometry.h"
#include "gfx/layer.h"
#include "gfx/matrix.h"
#include "gfx/stroke_style.h"
#include "gfx/text_format.h"
#include "gfx/text_layout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

class QPaintDevice;

namespace gfx {

class BitmapRenderTarget;
class GraphicsContext;

enum class AntialiasMode : int { PerPrimitive = 0, Aliased = 1 };

enum class DrawTextOptions : unsigned {
    None = 0,
    Clip = 2, // cut the text off at the layout box
};

class RenderTarget {
public:
    // Draws on device (a window's widget or a QImage), which must outlive the
    // target. The device's logical pixels are the target's DIPs. Qt paints a
    // widget only inside its paint event, so on a widget each beginDraw and
    // its endDraw belong in one paint event (a beginDraw elsewhere makes the
    // endDraw throw E_FAIL).
    RenderTarget(const GraphicsContext& context, QPaintDevice& device);
    virtual ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    const GraphicsContext& context() const { return *context_; }
    // The device's size in DIPs.
    Size size() const;

    void beginDraw();
    // Ends drawing: pops whatever is still pushed, finishes the picture, then
    // throws the first error of the drawing, if any (after a drawing with
    // unbalanced pushes that is Hr::PushPopUnbalanced). Without a matching
    // beginDraw it throws Hr::WrongState.
    void endDraw();
    bool isDrawing() const;

    // Fills the clip (the whole target when there is none) with the colour,
    // replacing what was there; the transform does not apply.
    void clear(const Color& color);

    Matrix transform() const;
    void setTransform(const Matrix& transform);

    AntialiasMode antialiasMode() const;
    void setAntialiasMode(AntialiasMode mode);

    // Cuts drawing off outside the rectangle, transformed by the current
    // transform and widened to its axis-aligned bounds, and intersected with
    // the clip already in effect. Clips and layers must be popped in reverse
    // order of their pushes. The mode is accepted and not used: Qt clips to
    // the rectangle exactly, so edges that fall between pixels are cut hard
    // in either mode (every clip of the program lies on whole pixels or
    // outside what is drawn).
    void pushAxisAlignedClip(const Rect& clip, AntialiasMode mode = AntialiasMode::PerPrimitive);
    void popAxisAlignedClip();

    // Redirects drawing into the layer until popLayer, which composites it
    // with the parameters' opacity. The clip in effect stays in effect.
    void pushLayer(const LayerParameters& parameters, Layer& layer);
    void popLayer();

    void fillRectangle(const Rect& rect, const Brush& brush);
    void drawRectangle(const Rect& rect, const Brush& brush, float strokeWidth = 1.0f,
                       const StrokeStyle* strokeStyle = nullptr);
    void fillRoundedRectangle(const RoundedRect& rect, const Brush& brush);
    void drawRoundedRectangle(const RoundedRect& rect, const Brush& brush, float strokeWidth = 1.0f,
                              const StrokeStyle* strokeStyle = nullptr);
    void drawLine(Point from, Point to, const Brush& brush, float strokeWidth = 1.0f,
                  const StrokeStyle* strokeStyle = nullptr);

    // Draws the bitmap (or the source part of it, in texels) stretched over
    // the destination rectangle. A shared bitmap (which nobody changes) is
    // drawn as its picture of an earlier frame when the call comes again;
    // a null one is an unusable bitmap.
    void drawBitmap(const Bitmap& bitmap, const Rect& destination, float opacity = 1.0f,
                    BitmapInterpolationMode interpolation = BitmapInterpolationMode::Linear,
                    const Rect* source = nullptr);
    void drawBitmap(const BitmapPtr& bitmap, const Rect& destination, float opacity = 1.0f,
                    BitmapInterpolationMode interpolation = BitmapInterpolationMode::Linear,
                    const Rect* source = nullptr);

    // Copies what source drew, texel for texel, blended over this target,
    // with source's top left at the device pixel nearest to where the current
    // transform puts (0, 0). A picture drawn off screen thus appears exactly
    // as it was drawn, whatever its offset here (drawing it scaled, as
    // drawBitmap does, would resample it).
    void drawRenderTarget(const BitmapRenderTarget& source);

    // Draws the layout with its layout box's top left at origin.
    void drawTextLayout(Point origin, const TextLayout& layout, const Brush& brush,
                        DrawTextOptions options = DrawTextOptions::None);
    // Lays the text out in the format within the rectangle and draws it there.
    void drawText(std::u16string_view text, const TextFormat& format, const Rect& layoutRect,
                  const Brush& brush, DrawTextOptions options = DrawTextOptions::None);

    // A target that draws into a new bitmap of the given size in DIPs (at 96
    // DPI, one texel per DIP); a size of 0 × 0 means this target's size.
    // Throws Kestra::COMException named
    // "ID2D1RenderTarget::CreateCompatibleRenderTarget".
    std::unique_ptr<BitmapRenderTarget> createCompatibleRenderTarget(Size desiredSize = {}) const;

    // Whether drawing calls are kept between frames (the default): a call
    // made again with the same arguments, transform and brush in a later
    // frame lays down the picture it made before, at device resolution,
    // pixel for pixel what drawing it again would give; and a call whose
    // pixels lie wholly outside the clip draws nothing. Kept only on targets
    // that draw into a premultiplied image at one pixel per DIP (bitmap
    // targets, layers). Off, every call is drawn afresh: the reference that
    // kept drawing is compared with.
    void setRetainedDrawing(bool retained);
    bool retainedDrawing() const;

    // Where the drawing calls since the last take (or the start of the
    // target's life) draw, whether the clip cuts them off or not: one
    // rectangle of whole device pixels that holds every pixel they would
    // change (empty when none; far beyond any target, Everywhere, when a
    // call's extent is not known). Taking starts afresh; addDrawn() puts
    // pixels back, to measure a part of a drawing within the whole.
    static constexpr float Everywhere = 1.0e9f;
    Rect takeDrawn();
    void addDrawn(const Rect& rect);
    // The clip in effect, in device pixels; nothing without one.
    std::optional<Rect> clipBounds() const;
    // Whether the target only measures (gfx/ink_meter.h): what is drawn on
    // it is not seen.
    bool measuresOnly() const;

protected:
    // A target that draws nothing: its calls only count in takeDrawn()
    // (gfx/ink_meter.h).
    void measureOnly();

    // For targets that own their device: attach it before the first draw.
    explicit RenderTarget(const GraphicsContext& context);
    void attach(QPaintDevice& device);
    // Stops any drawing in progress and lets go of the device; owners of the
    // device call it before the device goes away.
    void detach();

private:
    void drawBitmapCall(const Bitmap& bitmap, const BitmapPtr* shared, const Rect& destination, float opacity,
                        BitmapInterpolationMode interpolation, const Rect* source);

    struct State;
    const GraphicsContext* context_;
    std::unique_ptr<State> state_;
};

} // namespace gfx
