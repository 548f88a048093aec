// Draws the icon strip of the widget tree panel: sixteen 16 × 16 pictures
// side by side in one 256 × 16 RGBA PNG, in the panel's icon order. Run by
// the build; the picture is written to the path given as the only argument.
//
//   0 group   1 text   2 check box   3 combo box   4 progress bar
//   5 edit box   6 button   7 custom   8 radio button   9 text list
//  10 bulleted list   11 pictures   12 Flash document   13 unknown type
//  14 the screen   15 empty

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor Ink(40, 48, 64);
const QColor Blue(52, 110, 200);
const QColor PaleBlue(200, 220, 250);
const QColor Green(60, 160, 70);
const QColor Face(236, 236, 236);
const QColor Red(200, 40, 40);
const QColor Yellow(250, 200, 40);

QPen pen(const QColor& colour, qreal width = 1.0) { return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin); }

void group(QPainter& p)
{
    p.setPen(pen(Ink));
    p.setBrush(PaleBlue);
    p.drawRect(QRectF(1.5, 1.5, 8, 8));
    p.setBrush(QColor(140, 180, 240, 220));
    p.drawRect(QRectF(5.5, 5.5, 8, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    for (const QPointF c : {QPointF(1.5, 1.5), QPointF(13.5, 13.5), QPointF(13.5, 5.5), QPointF(5.5, 13.5)})
        p.drawRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3));
}

void letterA(QPainter& p)
{
    p.setPen(QPen(Ink, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2.5, 15), QPointF(8, 1.5), QPointF(13.5, 15)}));
    p.drawLine(QPointF(4.5, 10), QPointF(11.5, 10));
}

void checkBox(QPainter& p)
{
    p.setPen(pen(Ink));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Green, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11), QPointF(12, 4.5)}));
}

void textWindow(QPainter& p)
{
    p.setPen(pen(Ink));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawRect(QRectF(1, 2, 14, 3));
    p.setPen(pen(QColor(110, 110, 110)));
    for (const qreal y : {7.5, 9.5, 11.5})
        p.drawLine(QPointF(3, y), QPointF(y < 11 ? 13 : 9, y));
}

void bar(QPainter& p, qreal filled)
{
    p.setPen(pen(Ink));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 4.5, 15, 7));
    if (filled > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawRect(QRectF(2, 6, 12 * filled, 4));
    }
}

void pushButton(QPainter& p)
{
    p.setPen(pen(QColor(90, 90, 90)));
    p.setBrush(Face);
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 2, 2);
    p.setPen(pen(Qt::white));
    p.drawLine(QPointF(2, 5), QPointF(14, 5));
    p.setPen(pen(Ink));
    p.drawLine(QPointF(5, 8.5), QPointF(11, 8.5));
}

void puzzlePiece(QPainter& p)
{
    QPainterPath piece;
    piece.addRect(QRectF(2, 4, 10, 10));
    QPainterPath knobs;
    knobs.addEllipse(QPointF(7, 3.5), 2.5, 2.5);
    knobs.addEllipse(QPointF(12.5, 9), 2.5, 2.5);
    QPainterPath hole;
    hole.addEllipse(QPointF(2, 9), 2.2, 2.2);
    p.setPen(pen(QColor(40, 90, 30)));
    p.setBrush(QColor(110, 190, 80));
    p.drawPath(piece.united(knobs).subtracted(hole));
}

void radioButton(QPainter& p)
{
    p.setPen(pen(Ink));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
}

void textLines(QPainter& p)
{
    p.setPen(pen(Ink));
    const qreal ends[] = {14, 11, 14, 8, 13};
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(1.5, 2.5 + 3 * i), QPointF(ends[i], 2.5 + 3 * i));
}

void bulletedList(QPainter& p)
{
    for (int i = 0; i < 3; ++i) {
        const qreal y = 3 + 5 * i;
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QPointF(2.5, y), 1.8, 1.8);
        p.setPen(pen(Ink));
        p.drawLine(QPointF(6, y + 0.5), QPointF(i == 1 ? 12 : 14.5, y + 0.5));
    }
}

void framedPictures(QPainter& p)
{
    const auto frame = [&](QRectF r) {
        p.setPen(pen(QColor(120, 80, 40)));
        p.setBrush(QColor(170, 215, 250));
        p.drawRect(r);
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawPolygon(QPolygonF({QPointF(r.left() + 1, r.bottom()), QPointF(r.left() + r.width() * 0.45, r.top() + 3),
                                 QPointF(r.right(), r.bottom())}));
        p.setBrush(Yellow);
        p.drawEllipse(QPointF(r.right() - 2.5, r.top() + 2.5), 1.3, 1.3);
    };
    frame(QRectF(0.5, 0.5, 10, 8));
    frame(QRectF(5.5, 7.5, 10, 8));
}

void flashDocument(QPainter& p)
{
    p.setPen(pen(QColor(90, 90, 90)));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(2.5, 0.5), QPointF(10.5, 0.5), QPointF(13.5, 3.5), QPointF(13.5, 15.5),
                             QPointF(2.5, 15.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRectF(4, 5, 8, 8));
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath f;
    f.moveTo(10.5, 6.5);
    f.cubicTo(8, 6.5, 8, 8, 7.5, 9.5);
    f.cubicTo(7, 11, 6.5, 11.5, 5, 11.5);
    p.drawPath(f);
    p.drawLine(QPointF(6, 9), QPointF(10, 9));
}

void warningTriangle(QPainter& p)
{
    p.setPen(QPen(QColor(120, 80, 0), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Yellow);
    p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15.5, 14.5), QPointF(0.5, 14.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(7, 5, 2, 5.5));
    p.drawRect(QRectF(7, 11.5, 2, 2));
}

void monitor(QPainter& p)
{
    p.setPen(pen(Ink));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(0.5, 1.5, 15, 10), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 160, 230));
    p.drawRect(QRectF(2, 3, 12, 7));
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(6.5, 12, 3, 2));
    p.drawRect(QRectF(4, 14, 8, 1.5));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    const std::vector<std::function<void(QPainter&)>> icons = {
        group,         letterA,      checkBox,       textWindow,
        [](QPainter& p) { bar(p, 0.6); },            [](QPainter& p) { bar(p, 0); },
        pushButton,    puzzlePiece,  radioButton,    textLines,
        bulletedList,  framedPictures, flashDocument, warningTriangle,
        monitor,       [](QPainter&) {},
    };
    QImage strip(16 * static_cast<int>(icons.size()), 16, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        painter.save();
        painter.translate(16.0 * static_cast<qreal>(i), 0);
        painter.setClipRect(0, 0, 16, 16);
        icons[i](painter);
        painter.restore();
    }
    painter.end();
    if (!strip.convertToFormat(QImage::Format_RGBA8888).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
