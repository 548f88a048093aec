#include "gfx/bitmap_render_target.h"
#include "gfx/bitmap_surface.h"

#include "base/errors.h"
#include "gfx/resource_count.h"

#include <QImage>

#include <cstring>
#include <new>

namespace gfx {

BitmapRenderTarget::BitmapRenderTarget(const GraphicsContext& context, int width, int height)
    : RenderTarget(context), surface_(std::make_unique<Surface>())
{
    const char* operation = "ID2D1RenderTarget::CreateCompatibleRenderTarget";
    if (width < 1 || height < 1)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument, operation);
    surface_->image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (surface_->image.isNull())
        throw Kestra::COMException(Kestra::Hr::OutOfMemory, operation);
    surface_->image.fill(Qt::transparent);
    attach(surface_->image);
}

BitmapRenderTarget::~BitmapRenderTarget() { detach(); }

BitmapPtr BitmapRenderTarget::bitmap() const
{
    try {
        const QImage& image = surface_->image;
        auto bitmap = std::make_shared<Bitmap>();
        countResource(Resource::Bitmap);
        bitmap->width = image.width();
        bitmap->height = image.height();
        const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
        bitmap->pixels.resize(rowBytes * image.height());
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(bitmap->row(y), image.constScanLine(y), rowBytes);
        return bitmap;
    } catch (const std::bad_alloc&) {
        throw Kestra::COMException(Kestra::Hr::OutOfMemory, "ID2D1BitmapRenderTarget::GetBitmap");
    }
}

} // namespace gfx
