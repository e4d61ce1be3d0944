// The editor window's fields a table panel reads and changes; the window owns them.
#pragma once

#include <cstdint>

#include "core/state.h"

namespace trimlet {

class Document;
class ImageWatch;

struct TableFields {
  const IndexTable& Index;  // ArrayIndex or MapIndex
  int16_t& Cols;            // ArrayCols or MapCols
  int16_t& Rows;            // ArrayRows or MapRows
  bool& Raw;                // ArrayRaw or MapRaw
  bool& Saved;
  // The wire frame's angle and extents, and the arrays' sizes that choosing a map clears.
  int16_t& RotAngle;
  double& MapMaxX;
  double& MapMinY;
  int16_t& ArrayCols;
  int16_t& ArrayRows;
  // The items and the reference image the cells are compared with.
  const Document& document;
  // The image's announcements, which the grid, the wire frame and the graph follow.
  const ImageWatch& watch;
};

}  // namespace trimlet
