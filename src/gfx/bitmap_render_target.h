#pragma once
// A render target that draws into a bitmap of its own (96 DPI: one texel per
// DIP), starting out transparent. Its picture is taken as a gfx::Bitmap, for
// example to draw a generated placeholder like any texture.

#include "gfx/render_target.h"

#include <memory>

namespace gfx {

class BitmapRenderTarget final : public RenderTarget {
public:
    // Throws Kestra::COMException named "ID2D1RenderTarget::CreateCompatibleRenderTarget"
    // (E_INVALIDARG for a size below 1 × 1, E_OUTOFMEMORY when the pixels
    // cannot be had).
    BitmapRenderTarget(const GraphicsContext& context, int width, int height);
    ~BitmapRenderTarget() override;

    // A copy of the picture as drawn so far (normally taken after endDraw).
    // Throws Kestra::COMException (E_OUTOFMEMORY, "ID2D1BitmapRenderTarget::GetBitmap").
    BitmapPtr bitmap() const;

private:
    friend class RenderTarget; // draws the picture without a copy
    struct Surface;
    std::unique_ptr<Surface> surface_;
};

} // namespace gfx
