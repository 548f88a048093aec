#pragma once
// The offscreen surface behind a layer (used only by the layer's implementation
// and the render target).

#include "gfx/layer.h"

#include <QImage>

namespace gfx {

struct Layer::Surface {
    QImage image;
    bool inUse = false;
};

} // namespace gfx
