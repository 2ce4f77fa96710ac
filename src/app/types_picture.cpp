#include "app/types_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace kinvalo::app {

QPixmap DrawTypesPicture() {
  QPixmap picture(kTypesPictureWidth, kTypesPictureHeight);
  picture.fill(QColor(0xFF, 0xFF, 0xF4));
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);

  // Axes with arrow heads; the origin at (34, 160).
  const QPoint origin(34, 160);
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(origin, QPoint(34, 14));
  p.drawLine(origin, QPoint(262, 160));
  p.setBrush(Qt::black);
  p.drawPolygon(QPolygon({QPoint(34, 8), QPoint(30, 17), QPoint(38, 17)}));
  p.drawPolygon(QPolygon({QPoint(268, 160), QPoint(259, 156), QPoint(259, 164)}));
  QFont axisFont(QStringLiteral("Arial"), 10, QFont::Bold);
  p.setFont(axisFont);
  p.drawText(QPoint(14, 20), QStringLiteral("Y"));
  p.drawText(QPoint(256, 178), QStringLiteral("X"));

  auto line = [&p](const QColor& colour, std::initializer_list<QPoint> points, const QString& name,
                   QPoint at) {
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygon(points));
    p.setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
    p.drawText(at, name);
  };
  const QColor green(0x00, 0x90, 0x30);
  const QColor blue(0x10, 0x40, 0xD0);
  // Type 3: level, then sloping from the breakpoint at X = 110.
  line(green, {QPoint(40, 34), QPoint(110, 34), QPoint(236, 120)}, QStringLiteral("3a"), QPoint(240, 126));
  line(green, {QPoint(40, 140), QPoint(110, 140), QPoint(236, 56)}, QStringLiteral("3b"), QPoint(240, 58));
  // Type 4: sloping up to the breakpoint at X = 170, then level.
  line(blue, {QPoint(40, 110), QPoint(170, 24), QPoint(236, 24)}, QStringLiteral("4a"), QPoint(240, 28));
  line(blue, {QPoint(40, 66), QPoint(170, 150), QPoint(236, 150)}, QStringLiteral("4b"), QPoint(240, 154));

  p.setPen(Qt::black);
  p.setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
  p.drawText(QPoint(8, 194), QStringLiteral("Partial regression types"));
  p.setFont(QFont(QStringLiteral("Arial"), 9));
  p.setPen(green);
  p.drawText(QPoint(8, 210), QStringLiteral("Type 3: first horizontal then sloping"));
  p.setPen(blue);
  p.drawText(QPoint(8, 225), QStringLiteral("Type 4: first sloping then horizontal"));
  p.end();
  return picture;
}

}  // namespace kinvalo::app
