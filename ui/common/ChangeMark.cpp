#include "ui/common/ChangeMark.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace trimlet {

const QIcon& changeMark() {
  static const QIcon icon = [] {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xb0, 0x40, 0x00));
    painter.drawPolygon(QPolygonF({{6, 0.5}, {11.5, 6}, {6, 11.5}, {0.5, 6}}));
    return QIcon(pixmap);
  }();
  return icon;
}

void paintChangeMark(QPainter& painter, const QRect& cell, const QColor& color) {
  const int size = std::max(5, cell.height() / 3);
  QPainterPath corner;
  corner.moveTo(cell.right() - size, cell.top());
  corner.lineTo(cell.right(), cell.top());
  corner.lineTo(cell.right(), cell.top() + size);
  corner.closeSubpath();
  painter.fillPath(corner, color);
  painter.setPen(QPen(color, 1));
  painter.drawRect(cell.adjusted(0, 0, -1, -1));
}

}  // namespace trimlet
