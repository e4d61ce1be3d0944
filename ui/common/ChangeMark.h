// The mark of whatever differs from the reference image: a shape, so it reads without colour.
#pragma once

#include <QIcon>

class QPainter;
class QRect;

namespace trimlet {

// A small filled diamond, for item lists and beside check boxes.
[[nodiscard]] const QIcon& changeMark();

// A filled triangle in the top-right corner of a grid cell, with a frame around the cell.
void paintChangeMark(QPainter& painter, const QRect& cell, const QColor& color);

}  // namespace trimlet
