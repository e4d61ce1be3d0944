#include "ui/graph/WireFrame.h"

#include <QPointF>
#include <algorithm>
#include <vector>

#include "ui/common/Canvas.h"
#include "ui/graph/Projection.h"

namespace trimlet {

WireFrame::WireFrame() : values_(std::make_unique<PointTable>()) {}

void WireFrame::read(const TablePlace& place) {
  cols_ = std::clamp(place.cols, 0, kMaxTableCells);
  rows_ = std::clamp(place.rows, 0, kMaxTableCells);
  readTable({place.first, cols_, rows_}, *values_);
}

void WireFrame::widen(const Projection& projection, double& maxX, double& minY) const {
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c)
      projection.widen(c, r, (*values_)[static_cast<size_t>(c)][static_cast<size_t>(r)], maxX,
                       minY);
}

void WireFrame::draw(Canvas& picture, const Projection& projection, double axis, double radius,
                     double maxX, double minY) const {
  picture.Cls();
  picture.setDrawWidth(2);
  const double ends[3][3] = {{axis, 0, 0}, {0, axis, 0}, {0, 0, axis}};
  for (const auto& p : ends)
    picture.Line(0, 0, projection.X_Bar(p[0], p[1], p[2]), projection.Y_Bar(p[0], p[1], p[2]));
  picture.setDrawWidth(1);
  drawMesh(picture, projection, radius, maxX, minY);
}

void WireFrame::drawMesh(Canvas& picture, const Projection& projection, double radius, double maxX,
                         double minY) const {
  if (cols_ <= 0 || rows_ <= 0) return;
  std::vector<QPointF> points;
  points.reserve(static_cast<size_t>(cols_) * static_cast<size_t>(rows_));
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < cols_; ++c) {
      const double value = (*values_)[static_cast<size_t>(c)][static_cast<size_t>(r)];
      points.emplace_back(projection.X_Bar(c, r, value) / maxX * 125,
                          projection.Y_Bar(c, r, value) / minY * (-125));
    }
  }
  picture.Mesh(std::move(points), cols_, radius);
}

}  // namespace trimlet
