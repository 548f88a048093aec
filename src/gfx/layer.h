#pragma once
// A layer: the offscreen surface that group opacity draws into. Pushing it on
// a render target redirects drawing into it; popping it composites what was
// drawn onto what lies below with the layer's opacity, as one picture, so
// overlapping items inside do not show through one another. A layer can be
// pushed again after it is popped (its surface is kept for reuse), but only
// once at a time.

#include "gfx/geometry.h"

#include <limits>
#include <memory>

namespace gfx {

struct LayerParameters {
    // Drawing outside these bounds (in the space of the transform in effect
    // when the layer is pushed) is cut off; infinite by default.
    Rect contentBounds{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity()};
    float opacity = 1.0f;
};

class Layer {
public:
    Layer();
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // Whether the layer is pushed on a render target right now.
    bool inUse() const;

private:
    friend class RenderTarget;
    struct Surface;
    // Shared with the render target while pushed, so that a layer destroyed
    // before its pop does not pull the surface from under the drawing.
    std::shared_ptr<Surface> surface_;
};

} // namespace gfx
