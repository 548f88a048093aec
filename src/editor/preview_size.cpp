#include "editor/preview_size.h"

#include <algorithm>

namespace editor {

namespace {

PreviewSize& theRunSize()
{
    static PreviewSize size;
    return size;
}

std::u16string number(int value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

const std::vector<PreviewSize>& previewSizes()
{
    static const std::vector<PreviewSize> sizes = {{800, 600},   {1024, 768},  {1280, 720},  {1366, 768},
                                                   {1600, 900},  {1920, 1080}, {2560, 1080}, {2560, 1440}};
    return sizes;
}

PreviewSize runPreviewSize() { return theRunSize(); }

void setRunPreviewSize(PreviewSize size) { theRunSize() = size.fitsWindow() ? PreviewSize{} : size; }

std::u16string previewLabel(PreviewSize size)
{
    if (size.fitsWindow())
        return u"Fit window";
    return number(size.width) + u" \u00d7 " + number(size.height);
}

PreviewPlacement placePreview(PreviewSize size, float areaWidth, float areaHeight)
{
    if (size.fitsWindow())
        return {areaWidth, areaHeight, 1.0f, 0.0f, 0.0f};
    const float w = static_cast<float>(size.width), h = static_cast<float>(size.height);
    const float scale = std::max(0.0f, std::min({1.0f, areaWidth / w, areaHeight / h}));
    return {w, h, scale, (areaWidth - w * scale) / 2.0f, (areaHeight - h * scale) / 2.0f};
}

} // namespace editor
