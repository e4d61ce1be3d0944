#include "ui/graph/PointGraph.h"

#include <QPointF>
#include <vector>

#include "ui/common/Canvas.h"
#include "ui/graph/Projection.h"

namespace trimlet {

void drawAxes(Canvas& canvas, const Projection& projection, double length) {
  const double ends[3][3] = {{length, 0, 0}, {0, length, 0}, {0, 0, length}};
  for (const auto& p : ends)
    canvas.Line(0, 0, projection.X_Bar(p[0], p[1], p[2]), projection.Y_Bar(p[0], p[1], p[2]));
}

void drawMesh(Canvas& canvas, const Projection& projection, const PointTable& data, int cols,
              int rows, double xmax, double ymin, double radius) {
  if (cols <= 0 || rows <= 0) return;
  std::vector<QPointF> points;
  points.reserve(static_cast<size_t>(cols) * static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const double value = data[static_cast<size_t>(c)][static_cast<size_t>(r)];
      points.emplace_back(projection.X_Bar(c, r, value) / xmax * 125,
                          projection.Y_Bar(c, r, value) / ymin * (-125));
    }
  }
  canvas.Mesh(std::move(points), cols, radius);
}

}  // namespace trimlet
