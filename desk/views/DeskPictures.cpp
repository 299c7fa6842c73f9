#include "DeskPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace DeskPictures {
namespace {
const QColor kFrame(64, 64, 64);
const QColor kTitleBar(0, 0, 160);
const QColor kGreen(0, 150, 0);
const QColor kDarkGreen(0, 90, 0);
const QColor kBlue(0, 64, 220);

QPixmap blank(int width, int height) {
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    return picture;
}

// A window frame with a title bar filling the given rectangle.
void drawWindow(QPainter &painter, const QRectF &frame) {
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(frame);
    painter.fillRect(
        QRectF(frame.left() + 0.5, frame.top() + 0.5, frame.width(), 3),
        kTitleBar);
}

// An arc of the circle around centre with an arrow head at its end.
void drawCirclingArrow(QPainter &painter, QPointF centre, double radius,
                       int startDegrees, int spanDegrees) {
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius,
                        2 * radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(circle, startDegrees * 16, spanDegrees * 16);

    QPainterPath arc;
    arc.arcMoveTo(circle, startDegrees + spanDegrees);
    const QPointF tip = arc.currentPosition();
    // Tangent direction at the end of a counter-clockwise arc.
    const double angle =
        (startDegrees + spanDegrees) * std::numbers::pi / 180.0;
    const QPointF along(-std::sin(angle), -std::cos(angle));
    const QPointF across(std::cos(angle), -std::sin(angle));
    const double size = 3.2;
    QPolygonF head;
    head << tip + along * size << tip + across * size << tip - across * size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDarkGreen);
    painter.drawPolygon(head);
}

// A page with a folded top right corner in a 16 x 16 picture.
void drawDocument(QPainter &painter) {
    QPolygonF page;
    page << QPointF(2.5, 0.5) << QPointF(10.5, 0.5) << QPointF(13.5, 3.5)
         << QPointF(13.5, 15.5) << QPointF(2.5, 15.5);
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(page);
    QPolygonF fold;
    fold << QPointF(10.5, 0.5) << QPointF(10.5, 3.5) << QPointF(13.5, 3.5);
    painter.setBrush(QColor(220, 220, 220));
    painter.drawPolygon(fold);
}
} // namespace

QPixmap refresh() {
    QPixmap picture = blank(kToolbarPictureWidth, kToolbarPictureHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawWindow(painter, QRectF(0.5, 1.5, 17, 15));
    const QPointF centre(14, 13);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(centre, 8, 8);
    drawCirclingArrow(painter, centre, 5.5, 20, 140);
    drawCirclingArrow(painter, centre, 5.5, 200, 140);
    return picture;
}

QPixmap toolbox() {
    QPixmap picture = blank(kToolbarPictureWidth, kToolbarPictureHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(11.5, 11);

    // Wrench, from the bottom left to the top right: a handle and an open
    // jaw at its upper end.
    painter.save();
    painter.translate(centre);
    painter.rotate(45);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(QColor(170, 175, 185));
    painter.drawRoundedRect(QRectF(-1.8, -3, 3.6, 13), 1.2, 1.2);
    QPainterPath jaw;
    jaw.addEllipse(QPointF(0, -6), 4.5, 4.5);
    QPainterPath opening;
    opening.addRect(QRectF(-1.6, -11.5, 3.2, 6));
    painter.drawPath(jaw.subtracted(opening));
    painter.restore();

    // Hammer, from the bottom right to the top left: a wooden handle and a
    // steel head across its upper end.
    painter.save();
    painter.translate(centre);
    painter.rotate(-45);
    painter.setPen(QPen(QColor(90, 50, 10), 1));
    painter.setBrush(QColor(190, 120, 50));
    painter.drawRoundedRect(QRectF(-1.5, -6, 3, 16), 1, 1);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(110, 110, 120));
    painter.drawRect(QRectF(-5.5, -10, 11, 4.5));
    painter.restore();
    return picture;
}

QPixmap start() {
    QPixmap picture = blank(kToolbarPictureWidth, kToolbarPictureHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF triangle;
    triangle << QPointF(5.5, 2.5) << QPointF(19.5, 11) << QPointF(5.5, 19.5);
    painter.setPen(
        QPen(kDarkGreen, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kGreen);
    painter.drawPolygon(triangle);
    return picture;
}

QPixmap info() {
    QPixmap picture = blank(kToolbarPictureWidth, kToolbarPictureHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawWindow(painter, QRectF(1.5, 1.5, 19, 18));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(kBlue);
    painter.drawText(QRectF(1.5, 4.5, 19, 15.5), Qt::AlignCenter,
                     QStringLiteral("?"));
    return picture;
}

QPixmap document() {
    QPixmap picture = blank(kListIconSize, kListIconSize);
    QPainter painter(&picture);
    drawDocument(painter);
    return picture;
}

QPixmap documentChecked() {
    QPixmap picture = blank(kListIconSize, kListIconSize);
    QPainter painter(&picture);
    drawDocument(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(220, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPolygonF check;
    check << QPointF(4.5, 8.5) << QPointF(7.5, 12) << QPointF(14, 4);
    painter.drawPolyline(check);
    return picture;
}

QPixmap documentWindow() {
    QPixmap picture = blank(kListIconSize, kListIconSize);
    QPainter painter(&picture);
    drawDocument(painter);
    drawWindow(painter, QRectF(4.5, 6.5, 7, 6));
    return picture;
}
} // namespace DeskPictures
