// A stretch of the image seen in 3-D, the one way every picture of the program is made: the
// bytes read into a table of points, the extents widened to take them in, axes and mesh drawn.
#pragma once

#include <memory>

#include "core/table.h"

namespace trimlet {

class Canvas;
class Projection;

// The 3D Maps tab's wire frame, the Hex tab's two graphs and the viewer's graph.
class WireFrame {
 public:
  WireFrame();

  // The bytes of the table at `place`, row 0 first; its columns and rows within 0..500.
  void read(const TablePlace& place);
  [[nodiscard]] int cols() const { return cols_; }
  [[nodiscard]] int rows() const { return rows_; }
  // The points' values by column and row (a table panel steps and writes them back).
  [[nodiscard]] PointTable& values() { return *values_; }
  [[nodiscard]] const PointTable& values() const { return *values_; }

  // Widens the extents to take in every point: maxX only grows, minY only falls.
  void widen(const Projection& projection, double& maxX, double& minY) const;

  // Clears the picture and draws three axes of length `axis` (pen 2) from the origin, then the
  // mesh (pen 1).
  void draw(Canvas& picture, const Projection& projection, double axis, double radius, double maxX,
            double minY) const;
  // The mesh alone, at the picture's pen: around each point (c, r, value) projected and
  // normalised to (X / maxX × 125, Y / minY × -125) a circle of `radius`, joined to the points
  // of the previous row and column.
  void drawMesh(Canvas& picture, const Projection& projection, double radius, double maxX,
                double minY) const;

 private:
  std::unique_ptr<PointTable> values_;  // some 2 MB: kept off the stack
  int cols_ = 0;
  int rows_ = 0;
};

}  // namespace trimlet
