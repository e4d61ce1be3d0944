// Drawing projected points: the axes and the mesh that every graph of the program draws.
#pragma once

#include "core/table.h"

namespace trimlet {

class Canvas;
class Projection;

// Three axes from the origin to the unscaled projections of (L, 0, 0), (0, L, 0), (0, 0, L),
// in that order, at the canvas's current pen width.
void drawAxes(Canvas& canvas, const Projection& projection, double length);

// For each row and column: a circle around the point (c, r, value) projected and normalised to
// (X / xmax × 125, Y / ymin × -125), joined to the point of the previous row and to that of the
// previous column. Columns and rows must lie in 0..kMaxTableCells.
void drawMesh(Canvas& canvas, const Projection& projection, const PointTable& data, int cols,
              int rows, double xmax, double ymin, double radius);

}  // namespace trimlet
