// A table item (array or map) in the image: where its cells lie, reading them, stepping the
// selected ones and writing the table back.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "core/state.h"

namespace trimlet {

// Values by column (0..500) and row (0..500), as the tables and the graphs keep them.
using PointTable = std::array<std::array<double, kMaxTableCells>, kMaxTableCells>;

// Where a table's cells lie: row after row, one byte a cell, rows `cols` bytes apart.
struct TablePlace {
  int first = 0;  // the record of cell (0, 0)
  int cols = 0;
  int rows = 0;

  [[nodiscard]] int record(int c, int r) const { return first + cols * r + c; }
  // Grid data rows count from 1 at the top, so table row 0 is the bottom one.
  [[nodiscard]] int gridRow(int r) const { return rows - r; }
};

// A rectangle of cells in table coordinates, its edges included. Its top row in the grid is
// lastRow: table row 0 is the bottom one.
struct CellBlock {
  int firstCol = 0;
  int lastCol = -1;
  int firstRow = 0;
  int lastRow = -1;

  [[nodiscard]] bool contains(int c, int r) const {
    return c >= firstCol && c <= lastCol && r >= firstRow && r <= lastRow;
  }
  [[nodiscard]] int cols() const { return lastCol - firstCol + 1; }
  [[nodiscard]] int rows() const { return lastRow - firstRow + 1; }
  [[nodiscard]] int cells() const { return cols() * rows(); }
  bool operator==(const CellBlock&) const = default;
};

struct TableResolution {
  RangeProblem problem = RangeProblem::None;
  TablePlace place;  // when problem is None
};

// An array's or map's place: its columns and rows must each be 1..kMaxTableCells and every cell
// a byte of the loaded file.
[[nodiscard]] TableResolution resolveTable(const ECU_Item& item);

// The table's cells as the image holds them now.
void readTable(const TablePlace& place, PointTable& values);

// Steps every cell inside one of the blocks by `step`, each held within 0..255 on its own.
// Returns how many cells changed.
int stepCells(PointTable& values, const TablePlace& place, const std::vector<CellBlock>& blocks,
              int step);

// Writes every cell back into the image, in edit form.
void writeTable(const TablePlace& place, const PointTable& values);
// Writes the cells of `block` alone back into the image, in edit form.
void writeTable(const TablePlace& place, const PointTable& values, const CellBlock& block);

// The captions of table column c (slots of 3 characters of Xaxis) and table row r (slots of 5
// characters of Yaxis), cut by character: shorter or empty where the text runs out.
[[nodiscard]] std::string_view columnCaption(const ECU_Item& item, int c);
[[nodiscard]] std::string_view rowCaption(const ECU_Item& item, int r);

}  // namespace trimlet
