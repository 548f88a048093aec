#include "screen/placeholder_box.h"

#include "gfx/render_target.h"
#include "screen/device_geometry.h"
#include "screen/view_resources.h"

#include <algorithm>
#include <cmath>

namespace screen {

void drawPlaceholderBox(gfx::RenderTarget& target, ViewResources& resources, gfx::TextLayout& label,
                        float opacity, float width, float height)
{
    const gfx::Matrix m = target.transform();
    const gfx::Rect box = toDevice(m, {0.0f, 0.0f, width, height});
    if (!isDrawable(box))
        return;
    gfx::SolidColorBrush& fill = resources.placeholderFill();
    gfx::SolidColorBrush& line = resources.placeholderLine();
    fill.setOpacity(opacity);
    line.setOpacity(std::min(opacity + 0.5f, 1.0f));

    target.setTransform(gfx::Matrix::identity());
    target.fillRectangle(box, fill);
    const gfx::Rect inset{box.left + 2.0f, box.top + 2.0f, box.right - 2.0f, box.bottom - 2.0f};
    target.drawRectangle(inset, line, 4.0f, &resources.dashStroke());
    // A box narrower than its outline has no room for the label: a maximum
    // of 0 rather than a negative one, which the layout refuses.
    label.setMaxWidth(std::max(0.0f, inset.width()));
    label.setMaxHeight(std::max(0.0f, inset.height()));
    target.drawTextLayout({inset.left, inset.top}, label, line, gfx::DrawTextOptions::Clip);
    target.setTransform(m);
}

} // namespace screen
