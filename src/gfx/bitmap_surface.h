#pragma once
// The image behind a bitmap render target (used only by the graphics layer's
// implementation).

#include "gfx/bitmap_render_target.h"

#include <QImage>

namespace gfx {

struct BitmapRenderTarget::Surface {
    QImage image;
};

} // namespace gfx
