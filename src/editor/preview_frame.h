#pragma once
// The control between the screen host and its view: it holds the view at
// the view's own size and stands, scaled and offset, where the preview
// placement puts it in the host (editor/preview_size.h). Pointer input
// reaches the view through its transform, so hovering and picking hit what
// is shown; painting its content draws the view at its own size.

#include "editor/preview_size.h"
#include "ui/container_control.h"

namespace editor {

class PreviewFrame final : public ui::ContainerControl {
public:
    void place(const PreviewPlacement& placement);
    const PreviewPlacement& placement() const { return placement_; }

    // Scale, then offset, into the host.
    const gfx::Matrix& transform() const override { return matrix_; }
    // Every child fills the frame.
    void layout() override;
    // The children in the frame's own units, at the target's transform.
    void paintContent(gfx::RenderTarget& target) { paintChildren(target); }

private:
    PreviewPlacement placement_;
    gfx::Matrix matrix_ = gfx::Matrix::identity();
};

} // namespace editor
