#pragma once
// Brushes: what fills shapes, outlines and text. Every brush has an opacity
// (multiplied into whatever it paints) and a transform from brush space into
// the space of the shape being drawn (applied before the render target's
// transform). Brushes do not belong to a render target: one brush can paint
// on any target.

#include "gfx/bitmap.h"
#include "gfx/color.h"
#include "gfx/geometry.h"
#include "gfx/matrix.h"
#include "gfx/resource_count.h"

#include <memory>
#include <span>
#include <vector>

namespace gfx {

class Brush {
public:
    virtual ~Brush() = default;

    float opacity() const { return opacity_; }
    void setOpacity(float opacity) { opacity_ = opacity; }
    const Matrix& transform() const { return transform_; }
    void setTransform(const Matrix& transform) { transform_ = transform; }

protected:
    Brush() { countResource(Resource::Brush); }
    Brush(const Brush& other) : opacity_(other.opacity_), transform_(other.transform_) { countResource(Resource::Brush); }
    Brush& operator=(const Brush&) = default;

private:
    float opacity_ = 1.0f;
    Matrix transform_;
};

class SolidColorBrush final : public Brush {
public:
    explicit SolidColorBrush(const Color& color, float opacity = 1.0f);

    const Color& color() const { return color_; }
    void setColor(const Color& color) { color_ = color; }

private:
    Color color_;
};

// How a gradient or bitmap continues beyond its end.
enum class ExtendMode : int { Clamp = 0, Wrap = 1, Mirror = 2 };

struct GradientStop {
    float position = 0.0f;
    Color color;
};

// An ordered set of gradient stops; colours are interpolated between stops as
// given (gamma 2.2, that is in the colours' own sRGB values). Shared by the
// gradient brushes made from it.
class GradientStopCollection {
public:
    // Throws Kestra::COMException (E_INVALIDARG,
    // "ID2D1RenderTarget::CreateGradientStopCollection") for no stops or an
    // extend mode outside the enumeration. Stops are kept sorted by position
    // (stable, so equal positions keep their order and make a hard edge).
    explicit GradientStopCollection(std::span<const GradientStop> stops,
                                    ExtendMode extendMode = ExtendMode::Clamp);

    const std::vector<GradientStop>& stops() const { return stops_; }
    ExtendMode extendMode() const { return extendMode_; }

private:
    std::vector<GradientStop> stops_;
    ExtendMode extendMode_;
};

using GradientStopCollectionPtr = std::shared_ptr<const GradientStopCollection>;

// A gradient along the line from the start point to the end point (brush
// space). Owners typically stretch it to the shape before each use.
class LinearGradientBrush final : public Brush {
public:
    // Throws Kestra::COMException (E_INVALIDARG,
    // "ID2D1RenderTarget::CreateLinearGradientBrush") without stops.
    LinearGradientBrush(Point startPoint, Point endPoint, GradientStopCollectionPtr stops,
                        float opacity = 1.0f);

    Point startPoint() const { return start_; }
    Point endPoint() const { return end_; }
    void setStartPoint(Point point) { start_ = point; }
    void setEndPoint(Point point) { end_ = point; }
    const GradientStopCollectionPtr& gradientStops() const { return stops_; }

private:
    Point start_;
    Point end_;
    GradientStopCollectionPtr stops_;
};

enum class BitmapInterpolationMode : int { NearestNeighbor = 0, Linear = 1 };

// A bitmap repeated in both directions from the brush-space origin, one texel
// per unit of brush space.
class BitmapBrush final : public Brush {
public:
    // Throws Kestra::COMException (E_INVALIDARG,
    // "ID2D1RenderTarget::CreateBitmapBrush") for no bitmap, an empty one, or
    // one whose pixel buffer is smaller than its size says.
    explicit BitmapBrush(BitmapPtr bitmap,
                         BitmapInterpolationMode interpolation = BitmapInterpolationMode::Linear,
                         float opacity = 1.0f);

    const BitmapPtr& bitmap() const { return bitmap_; }
    BitmapInterpolationMode interpolationMode() const { return interpolation_; }
    void setInterpolationMode(BitmapInterpolationMode mode) { interpolation_ = mode; }

private:
    BitmapPtr bitmap_;
    BitmapInterpolationMode interpolation_;
};

// Whether a bitmap's buffer holds all of its pixels (and it has any).
bool isDrawable(const Bitmap& bitmap);

} // namespace gfx
