#pragma once
// What the whole graphics layer shares: made once at start-up, before any
// window, and passed by pointer to every window and to whatever makes text
// formats, layouts, font collections or render targets. It stands for the
// process's text system (Qt's font database, which needs a QGuiApplication)
// and knows the desktop DPI.
//
// Units: everything the program draws is in device-independent pixels (DIPs,
// 96 per inch). Qt's logical pixels are DIPs already; the conversions here are
// for device pixels.

#include "gfx/font_properties.h"
#include "gfx/geometry.h"
#include "gfx/text_format.h"

#include <memory>
#include <string>

namespace gfx {

class GraphicsContext {
public:
    // Throws std::runtime_error when no QGuiApplication exists (any font or
    // text call would abort the process).
    GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // Device pixels per inch for the primary screen: 96 times its device
    // pixel ratio, 96 off screen. Read afresh on every call.
    Size desktopDpi() const;

    // pixels × 96 / dpi.
    Size pixelsToDips(Size pixels) const;
    // The ceiling of dips × dpi / 96, for window sizes.
    int dipsToPixelsX(float dips) const;
    int dipsToPixelsY(float dips) const;

    // A format with every property given ("IDWriteFactory::CreateTextFormat").
    TextFormatPtr createTextFormat(std::u16string familyName,
                                   std::shared_ptr<const FontCollection> collection,
                                   FontWeight weight, FontStyle style, FontStretch stretch,
                                   float fontSize, std::u16string localeName) const;

    // The standard UI format: "Microsoft Sans Serif" from the system's fonts,
    // the given weight, normal style and stretch, size in DIPs, "en-us".
    TextFormatPtr createStandardTextFormat(FontWeight weight, float fontSize) const;
};

} // namespace gfx
