#pragma once
// A render target that draws nothing: it measures where the drawing calls
// made on it would change pixels, in its device pixels (the transform set on
// it maps to them), as one rectangle that holds every such pixel (it may
// hold more). For finding what to repaint when something changes, by
// drawing it as it will be drawn.

#include "gfx/render_target.h"

namespace gfx {

class InkMeter final : public RenderTarget {
public:
    explicit InkMeter(const GraphicsContext& context) : RenderTarget(context) { measureOnly(); }

    // Every pixel the calls since the last call would change; empty when
    // none would.
    Rect ink() { return takeDrawn(); }
};

} // namespace gfx
