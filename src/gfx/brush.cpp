#include "gfx/brush.h"

#include "base/errors.h"

#include <algorithm>

namespace gfx {

bool isDrawable(const Bitmap& bitmap)
{
    return bitmap.width > 0 && bitmap.height > 0 &&
           bitmap.pixels.size() / 4 / static_cast<std::size_t>(bitmap.width) >=
               static_cast<std::size_t>(bitmap.height);
}

SolidColorBrush::SolidColorBrush(const Color& color, float opacity) : color_(color)
{
    setOpacity(opacity);
}

GradientStopCollection::GradientStopCollection(std::span<const GradientStop> stops,
                                               ExtendMode extendMode)
    : stops_(stops.begin(), stops.end()), extendMode_(extendMode)
{
    const int mode = static_cast<int>(extendMode);
    if (stops_.empty() || mode < 0 || mode > 2)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument,
                                   "ID2D1RenderTarget::CreateGradientStopCollection");
    std::stable_sort(stops_.begin(), stops_.end(),
                     [](const GradientStop& a, const GradientStop& b) { return a.position < b.position; });
}

LinearGradientBrush::LinearGradientBrush(Point startPoint, Point endPoint,
                                         GradientStopCollectionPtr stops, float opacity)
    : start_(startPoint), end_(endPoint), stops_(std::move(stops))
{
    if (!stops_)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument,
                                   "ID2D1RenderTarget::CreateLinearGradientBrush");
    setOpacity(opacity);
}

BitmapBrush::BitmapBrush(BitmapPtr bitmap, BitmapInterpolationMode interpolation, float opacity)
    : bitmap_(std::move(bitmap)), interpolation_(interpolation)
{
    if (!bitmap_ || !isDrawable(*bitmap_))
        throw Kestra::COMException(Kestra::Hr::InvalidArgument,
                                   "ID2D1RenderTarget::CreateBitmapBrush");
    setOpacity(opacity);
}

} // namespace gfx
