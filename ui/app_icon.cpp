#include "ui/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace kestrelon::ui {

QImage KestrelonIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  // Drawn on a 32-unit grid and scaled, so every size shares one picture: crisp pixels up to
  // the grid's own size, smoothed edges when enlarged.
  painter.setRenderHint(QPainter::Antialiasing, size > 32);
  painter.scale(size / 32.0, size / 32.0);

  // The sheet of a captured table.
  painter.setPen(QPen(QColor(0, 0, 128), 1.5));
  painter.setBrush(QColor(255, 255, 255));
  painter.drawRect(QRectF(2.5, 2.5, 21, 27));

  // Its rows, growing like sorted prefixes.
  const QColor rowColours[] = {QColor(0, 128, 0), QColor(0, 128, 128), QColor(0, 0, 255),
                               QColor(128, 0, 128), QColor(255, 0, 0)};
  for (int row = 0; row < 5; ++row) {
    painter.setPen(QPen(rowColours[row], 2.5, Qt::SolidLine, Qt::FlatCap));
    const double y = 7.5 + row * 4.5;
    painter.drawLine(QPointF(6, y), QPointF(9 + row * 2.5, y));
  }

  // The downward arrow of the order.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 0, 0));
  painter.drawRect(QRectF(24.5, 4, 4, 16));
  const QPointF head[] = {QPointF(20.5, 19), QPointF(32, 19), QPointF(26.5, 30)};
  painter.drawPolygon(head, 3);
  painter.end();
  return image;
}

QIcon KestrelonIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(KestrelonIconImage(32)));
  icon.addPixmap(QPixmap::fromImage(KestrelonIconImage(16)));
  return icon;
}

}  // namespace kestrelon::ui
