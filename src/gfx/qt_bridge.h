#pragma once
// Conversions between the graphics layer's own types and Qt's, used only by
// the layer's implementation.

#include "gfx/bitmap.h"
#include "gfx/color.h"
#include "gfx/geometry.h"
#include "gfx/matrix.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <string_view>

namespace gfx {

// Qt's raster engine and text engine work in 26.6 fixed point: coordinates
// are clamped to this, far beyond anything visible, before they reach Qt.
inline constexpr double FarAway = 1.0e7;

class Brush;
class StrokeStyle;
class TextFormat;

QColor toQColor(const Color& color);

inline QPointF toQPointF(Point p) { return {p.x, p.y}; }

// Rectangles keep their orientation: a rectangle whose right is left of its
// left gives a negative width.
inline QRectF toQRectF(const Rect& r) { return QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top); }

inline QTransform toQTransform(const Matrix& m) { return QTransform(m.m11, m.m12, m.m21, m.m22, m.dx, m.dy); }

inline QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// The bitmap's own bytes seen as a premultiplied ARGB32 image, without a
// copy: valid while the bitmap lives and is not resized.
QImage imageOf(const Bitmap& bitmap);

// The Qt brush for one of our brushes, without its opacity (the painter's
// opacity carries that).
QBrush toQBrush(const Brush& brush);

// A pen of that brush and width, shaped by the stroke style (solid with flat
// caps and miter joins when there is none).
QPen toQPen(const Brush& brush, float width, const StrokeStyle* style);

// The font a format selects: its family in its collection (resolved to the
// name the text system knows) or among the system's fonts.
QFont toQFont(const TextFormat& format);

} // namespace gfx
