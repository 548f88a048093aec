#include "editor/preview_frame.h"

namespace editor {

void PreviewFrame::place(const PreviewPlacement& placement)
{
    placement_ = placement;
    matrix_ = {placement.scale, 0.0f, 0.0f, placement.scale, placement.x, placement.y};
    setBounds(placement.x, placement.y, placement.viewWidth, placement.viewHeight);
}

void PreviewFrame::layout()
{
    for (const auto& child : children())
        child->setBounds(0.0f, 0.0f, width(), height());
    invalidate();
}

} // namespace editor
