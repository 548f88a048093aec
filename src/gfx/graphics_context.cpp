#include "gfx/graphics_context.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <stdexcept>

namespace gfx {

GraphicsContext::GraphicsContext()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("The graphics layer needs a running GUI application");
}

Size GraphicsContext::desktopDpi() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const auto dpi = static_cast<float>(96.0 * (screen ? screen->devicePixelRatio() : 1.0));
    return {dpi, dpi};
}

Size GraphicsContext::pixelsToDips(Size pixels) const
{
    const Size dpi = desktopDpi();
    return {pixels.width * 96.0f / dpi.width, pixels.height * 96.0f / dpi.height};
}

int GraphicsContext::dipsToPixelsX(float dips) const
{
    return static_cast<int>(std::ceil(dips * desktopDpi().width * (1.0f / 96.0f)));
}

int GraphicsContext::dipsToPixelsY(float dips) const
{
    return static_cast<int>(std::ceil(dips * desktopDpi().height * (1.0f / 96.0f)));
}

TextFormatPtr GraphicsContext::createTextFormat(std::u16string familyName,
                                                std::shared_ptr<const FontCollection> collection,
                                                FontWeight weight, FontStyle style,
                                                FontStretch stretch, float fontSize,
                                                std::u16string localeName) const
{
    return std::make_shared<TextFormat>(std::move(familyName), std::move(collection), weight, style,
                                        stretch, fontSize, std::move(localeName));
}

TextFormatPtr GraphicsContext::createStandardTextFormat(FontWeight weight, float fontSize) const
{
    return createTextFormat(u"Microsoft Sans Serif", nullptr, weight, FontStyle::Normal,
                            FontStretch::Normal, fontSize, u"en-us");
}

} // namespace gfx
