#pragma once
// The view sizes a screen can be previewed at: the window's own size (the
// default) or one of the game's resolutions, chosen from the screen area's
// menu and kept for the rest of the run. At a fixed size the view is laid
// out at exactly that size, as a player's screen is, and shown letterboxed
// in the screen area: centred, with that aspect ratio, scaled down when it
// does not fit (never up).

#include <string>
#include <vector>

namespace editor {

struct PreviewSize {
    int width = 0; // 0 × 0: fit the window
    int height = 0;

    bool fitsWindow() const { return width <= 0 || height <= 0; }
    bool operator==(const PreviewSize&) const = default;
};

// The fixed sizes the menu offers, in its order: 800 × 600 to 2560 × 1440.
const std::vector<PreviewSize>& previewSizes();

// The size chosen last in this run; fit until one is chosen.
PreviewSize runPreviewSize();
void setRunPreviewSize(PreviewSize size);

// "Fit window", or "1280 × 720".
std::u16string previewLabel(PreviewSize size);

// Where the view stands in the screen area, in the area's DIPs: the view's
// own size (the chosen size, or the area's when fitting), the scale that
// shows it (at most 1) and the offset of its top left corner.
struct PreviewPlacement {
    float viewWidth = 0.0f;
    float viewHeight = 0.0f;
    float scale = 1.0f;
    float x = 0.0f;
    float y = 0.0f;
};
PreviewPlacement placePreview(PreviewSize size, float areaWidth, float areaHeight);

} // namespace editor
