// Draws the application icon, run by the build: a game menu screen (a title
// bar and three buttons) in a dark frame, with a pointer resting on the
// middle button. The shapes below are its one source: they are painted into
// a PNG for each size of the hicolor theme and written out as the scalable
// SVG.
//
//   tise-mkappicon OUTPUT NAME
//
// writes OUTPUT/hicolor/SIZExSIZE/apps/NAME.png and
// OUTPUT/hicolor/scalable/apps/NAME.svg.

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double Box = 256; // the drawing's units: a square of this side

// A rounded rectangle (radius > 0), a rectangle, or a polygon (points), filled
// with a vertical gradient from top to bottom (the same colour: solid) and
// outlined when outlineWidth > 0.
struct Shape {
    QRectF rect;
    double radius = 0;
    std::vector<QPointF> points;
    QColor top, bottom;
    QColor outline = Qt::transparent;
    double outlineWidth = 0;
};

std::vector<Shape> iconShapes()
{
    const QColor frameTop(70, 82, 108), frameBottom(28, 34, 50);
    const QColor skyTop(58, 124, 200), skyBottom(20, 52, 100);
    const QColor gold(246, 196, 64), goldDark(150, 104, 20);
    const QColor buttonTop(246, 248, 252), buttonBottom(190, 200, 218), buttonEdge(36, 44, 64);
    std::vector<Shape> shapes{
        {QRectF(12, 20, 232, 216), 36, {}, frameTop, frameBottom},
        {QRectF(32, 40, 192, 176), 14, {}, skyTop, skyBottom},
        {QRectF(56, 56, 144, 30), 8, {}, gold, gold, goldDark, 4},
    };
    for (int i = 0; i < 3; ++i)
        shapes.push_back({QRectF(76, 102 + i * 36, 104, 26), 8, {}, buttonTop, buttonBottom, buttonEdge, 4});
    // The pointer, its tip on the middle button.
    shapes.push_back({{}, 0,
                      {QPointF(150, 128), QPointF(150, 214), QPointF(170, 194), QPointF(184, 226),
                       QPointF(200, 218), QPointF(186, 188), QPointF(214, 186)},
                      Qt::white, QColor(226, 230, 238), QColor(16, 20, 30), 6});
    return shapes;
}

QPainterPath pathOf(const Shape& shape)
{
    QPainterPath path;
    if (!shape.points.empty())
        path.addPolygon(QPolygonF(QList<QPointF>(shape.points.begin(), shape.points.end())));
    else
        path.addRoundedRect(shape.rect, shape.radius, shape.radius);
    path.closeSubpath();
    return path;
}

QImage paintIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Box, size / Box);
    for (const Shape& shape : iconShapes()) {
        const QPainterPath path = pathOf(shape);
        const QRectF bounds = path.boundingRect();
        QLinearGradient fill(bounds.topLeft(), bounds.bottomLeft());
        fill.setColorAt(0, shape.top);
        fill.setColorAt(1, shape.bottom);
        painter.setBrush(fill);
        if (shape.outlineWidth > 0)
            painter.setPen(QPen(shape.outline, shape.outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            painter.setPen(Qt::NoPen);
        painter.drawPath(path);
    }
    return image;
}

std::string svgColour(const QColor& colour) { return colour.name(QColor::HexRgb).toStdString(); }

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string svgIcon()
{
    std::string defs, body;
    int index = 0;
    for (const Shape& shape : iconShapes()) {
        const std::string id = "fill" + std::to_string(index++);
        defs += "    <linearGradient id=\"" + id + "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                "<stop offset=\"0\" stop-color=\"" + svgColour(shape.top) + "\"/>"
                "<stop offset=\"1\" stop-color=\"" + svgColour(shape.bottom) + "\"/></linearGradient>\n";
        std::string paint = " fill=\"url(#" + id + ")\"";
        if (shape.outlineWidth > 0)
            paint += " stroke=\"" + svgColour(shape.outline) + "\" stroke-width=\"" + number(shape.outlineWidth)
                     + "\" stroke-linejoin=\"round\"";
        if (!shape.points.empty()) {
            std::string points;
            for (const QPointF& point : shape.points)
                points += (points.empty() ? "" : " ") + number(point.x()) + "," + number(point.y());
            body += "  <polygon points=\"" + points + "\"" + paint + "/>\n";
        } else {
            body += "  <rect x=\"" + number(shape.rect.x()) + "\" y=\"" + number(shape.rect.y()) + "\" width=\""
                    + number(shape.rect.width()) + "\" height=\"" + number(shape.rect.height()) + "\" rx=\""
                    + number(shape.radius) + "\"" + paint + "/>\n";
        }
    }
    const std::string side = number(Box);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + side + "\" height=\"" + side + "\" viewBox=\"0 0 "
           + side + " " + side + "\">\n  <defs>\n" + defs + "  </defs>\n" + body + "</svg>\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tise-mkappicon OUTPUT NAME\n");
        return 2;
    }
    const std::filesystem::path theme = std::filesystem::path(argv[1]) / "hicolor";
    const std::string name = argv[2];
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        std::filesystem::create_directories(theme / folder / "apps");
        const std::string file = (theme / folder / "apps" / (name + ".png")).string();
        if (!paintIcon(size).save(QString::fromStdString(file), "PNG")) {
            std::fprintf(stderr, "tise-mkappicon: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    std::filesystem::create_directories(theme / "scalable" / "apps");
    std::ofstream svg(theme / "scalable" / "apps" / (name + ".svg"), std::ios::binary | std::ios::trunc);
    svg << svgIcon();
    return svg.flush() ? 0 : 1;
}
