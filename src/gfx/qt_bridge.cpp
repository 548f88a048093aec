#include "gfx/qt_bridge.h"

#include "gfx/brush.h"
#include "gfx/font_collection.h"
#include "gfx/stroke_style.h"
#include "gfx/text_format.h"

#include <QLinearGradient>

#include <algorithm>
#include <bit>
#include <cmath>

static_assert(std::endian::native == std::endian::little,
              "gfx::Bitmap's B, G, R, A bytes are QImage's ARGB32 words only on little-endian machines");

namespace gfx {

namespace {

float unit(float value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
}

Qt::PenCapStyle toQtCap(CapStyle cap)
{
    switch (cap) {
    case CapStyle::Round: return Qt::RoundCap;
    case CapStyle::Square:
    case CapStyle::Triangle: return Qt::SquareCap; // the nearest Qt has to a triangle
    case CapStyle::Flat: break;
    }
    return Qt::FlatCap;
}

Qt::PenJoinStyle toQtJoin(LineJoin join)
{
    switch (join) {
    case LineJoin::Bevel: return Qt::BevelJoin;
    case LineJoin::Round: return Qt::RoundJoin;
    case LineJoin::MiterOrBevel: return Qt::SvgMiterJoin;
    case LineJoin::Miter: break;
    }
    return Qt::MiterJoin;
}

// Our miter limit bounds the miter's length in half stroke widths, Qt's in
// whole stroke widths.
constexpr qreal qtMiterLimit(float limit) { return std::max(1.0f, limit) / 2.0; }

QGradient::Spread toQtSpread(ExtendMode mode)
{
    switch (mode) {
    case ExtendMode::Wrap: return QGradient::RepeatSpread;
    case ExtendMode::Mirror: return QGradient::ReflectSpread;
    case ExtendMode::Clamp: break;
    }
    return QGradient::PadSpread;
}

QGradientStops toQtStops(const std::vector<GradientStop>& stops)
{
    // Qt keeps one colour per position; a stop at the position of the one
    // before it (a hard edge) moves on by a hair so that both survive.
    constexpr qreal hair = 1e-6;
    QGradientStops result;
    for (const GradientStop& stop : stops) {
        qreal position = std::isfinite(stop.position) ? std::clamp<qreal>(stop.position, 0.0, 1.0) : 0.0;
        if (!result.isEmpty() && position <= result.back().first)
            position = std::min<qreal>(1.0, result.back().first + hair);
        if (!result.isEmpty() && position == result.back().first)
            result.back().second = toQColor(stop.color);
        else
            result.append({position, toQColor(stop.color)});
    }
    return result;
}

} // namespace

QColor toQColor(const Color& color)
{
    return QColor::fromRgbF(unit(color.r), unit(color.g), unit(color.b), unit(color.a));
}

QImage imageOf(const Bitmap& bitmap)
{
    if (!isDrawable(bitmap))
        return QImage();
    return QImage(bitmap.pixels.data(), bitmap.width, bitmap.height, bitmap.width * 4,
                  QImage::Format_ARGB32_Premultiplied);
}

QBrush toQBrush(const Brush& brush)
{
    QBrush result;
    if (const auto* solid = dynamic_cast<const SolidColorBrush*>(&brush)) {
        result = QBrush(toQColor(solid->color()));
    } else if (const auto* linear = dynamic_cast<const LinearGradientBrush*>(&brush)) {
        QLinearGradient gradient(toQPointF(linear->startPoint()), toQPointF(linear->endPoint()));
        gradient.setStops(toQtStops(linear->gradientStops()->stops()));
        gradient.setSpread(toQtSpread(linear->gradientStops()->extendMode()));
        result = QBrush(gradient);
    } else if (const auto* bitmap = dynamic_cast<const BitmapBrush*>(&brush)) {
        result = QBrush(imageOf(*bitmap->bitmap()));
    }
    result.setTransform(toQTransform(brush.transform()));
    return result;
}

QPen toQPen(const Brush& brush, float width, const StrokeStyle* style)
{
    QPen pen(toQBrush(brush), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(qtMiterLimit(10.0f));
    if (!style)
        return pen;
    const StrokeStyleProperties& p = style->properties();
    pen.setJoinStyle(toQtJoin(p.lineJoin));
    pen.setMiterLimit(qtMiterLimit(p.miterLimit));
    QList<qreal> pattern;
    float total = 0.0f;
    for (float length : style->dashPattern()) {
        // Qt needs positive entries: a zero-length dash becomes a speck.
        pattern.append(std::max(length, 1e-3f));
        total += length;
    }
    if (pattern.isEmpty() || total <= 0.0f) {
        pen.setCapStyle(toQtCap(p.startCap));
        return pen;
    }
    pen.setCapStyle(toQtCap(p.dashCap));
    pen.setDashPattern(pattern);
    pen.setDashOffset(p.dashOffset);
    return pen;
}

QFont toQFont(const TextFormat& format)
{
    QString family = toQString(format.familyName());
    FontWeight weight = format.fontWeight();
    FontStyle style = format.fontStyle();
    FontStretch stretch = format.fontStretch();
    if (const auto& collection = format.fontCollection()) {
        if (const CollectionFont* font = collection->matchFont(format.familyName(), weight, style, stretch)) {
            // Ask for the face exactly as it is, so that nothing is synthesised.
            family = toQString(font->systemFamily);
            weight = font->face.weight;
            style = font->face.style;
            stretch = font->face.stretch;
        }
    }
    QFont font;
    font.setFamilies({family});
    font.setPointSizeF(format.fontSize() * 72.0 / 96.0);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(static_cast<int>(weight), 1, 1000)));
    font.setStyle(style == FontStyle::Italic    ? QFont::StyleItalic
                  : style == FontStyle::Oblique ? QFont::StyleOblique
                                                : QFont::StyleNormal);
    static constexpr int stretchPercent[] = {100, 50, 62, 75, 87, 100, 112, 125, 150, 200};
    if (stretch != FontStretch::Normal)
        font.setStretch(stretchPercent[std::clamp(static_cast<int>(stretch), 0, 9)]);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

} // namespace gfx
