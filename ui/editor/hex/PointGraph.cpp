#include "ui/editor/hex/PointGraph.h"

#include <QPointF>
#include <algorithm>
#include <vector>

#include "ui/common/Canvas.h"
#include "ui/editor/hex/Projection.h"

namespace trimlet {

void drawAxes(Canvas& canvas, int16_t rotAngle, double length) {
  const double ends[3][3] = {{length, 0, 0}, {0, length, 0}, {0, 0, length}};
  for (const auto& p : ends) {
    canvas.Line(0, 0, X_Bar(rotAngle, p[0], p[1], p[2]), Y_Bar(rotAngle, p[0], p[1], p[2]));
  }
}

void drawMesh(Canvas& canvas, int16_t rotAngle, const PointTable& data, int cols, int rows,
              double xmax, double ymin, double radius) {
  const auto place = [&](int c, int r) {
    const double value = data[static_cast<size_t>(c)][static_cast<size_t>(r)];
    const double x = X_Bar(rotAngle, c, r, value);
    const double y = Y_Bar(rotAngle, c, r, value);
    return QPointF(x / xmax * 125, y / ymin * (-125));
  };
  if (cols > 0 && rows > 0) canvas.reserve(static_cast<size_t>(cols) * rows * 3);
  // Each point is projected once; the previous row's points are kept for the row lines.
  std::vector<QPointF> previous(static_cast<size_t>(std::max(cols, 0)));
  std::vector<QPointF> current(previous.size());
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const QPointF p = place(c, r);
      current[static_cast<size_t>(c)] = p;
      canvas.Circle(p.x(), p.y(), radius);
      if (r > 0) {
        const QPointF q = previous[static_cast<size_t>(c)];
        canvas.Line(p.x(), p.y(), q.x(), q.y());
      }
      if (c > 0) {
        const QPointF q = current[static_cast<size_t>(c - 1)];
        canvas.Line(p.x(), p.y(), q.x(), q.y());
      }
    }
    std::swap(previous, current);
  }
}

}  // namespace trimlet
