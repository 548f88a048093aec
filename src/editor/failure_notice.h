#pragma once
// What the screen area shows in place of a drawing when a screen that was
// shown fails to load again after its files changed: the error message,
// wrapped to the area, dark red on white. The next good load replaces it.

#include <string>

namespace gfx {
class GraphicsContext;
class RenderTarget;
} // namespace gfx

namespace editor {

// Paints message over the area (0, 0) to (width, height) of target.
void paintFailureNotice(gfx::RenderTarget& target, const gfx::GraphicsContext& graphics, const std::string& message,
                        float width, float height);

} // namespace editor
