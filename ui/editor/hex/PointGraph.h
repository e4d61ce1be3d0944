// Drawing projected points: the axes and the mesh that every graph of the program draws.
#pragma once

#include <array>
#include <cstdint>

namespace trimlet {

class Canvas;

// Values by column (0..500) and row (0..500), as the graphs and tables keep them.
using PointTable = std::array<std::array<double, 501>, 501>;

// Three axes from the origin to the unscaled projections of (L, 0, 0), (0, L, 0), (0, 0, L),
// in that order, at the canvas's current pen width.
void drawAxes(Canvas& canvas, int16_t rotAngle, double length);

// For each row (outer) and column (inner): a circle around the point (c, r, value) projected
// and normalised to (X / xmax × 125, Y / ymin × -125), a line to the point of the previous
// row and one to the point of the previous column. Columns and rows must lie in 0..501.
void drawMesh(Canvas& canvas, int16_t rotAngle, const PointTable& data, int cols, int rows,
              double xmax, double ymin, double radius);

}  // namespace trimlet
