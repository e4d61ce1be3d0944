// Work on a block of a table's cells: spreadsheet text in and out, set, add and scale,
// interpolation and smoothing. Numbers are in the units the grid shows (raw or calculated);
// cells always end as whole raw numbers within 0..255, and what had to be held there is counted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"
#include "core/table.h"

namespace trimlet {

// The units of the user's numbers: raw numbers, or the item's calculated values.
struct CellUnits {
  bool raw = true;
  int16_t operation = 0;
  double factor = 1;
  double offset = 0;

  [[nodiscard]] static CellUnits of(const ECU_Item& item, bool raw);
  // Why numbers in these units cannot become raw numbers; empty when they can.
  [[nodiscard]] std::string problem() const;
  // A raw number in these units; NaN where the rule gives no value.
  [[nodiscard]] double shown(double raw) const;
  // The raw number, not rounded, that a number in these units stands for.
  [[nodiscard]] double rawOf(double value) const;
};

// How many cells were given a value, and how many of them had to be held within 0..255.
struct Clamped {
  int cells = 0;
  int above = 0;
  int below = 0;
  // "12 of 96 cells were above 255 and were set to 255." and the like; empty when none were.
  [[nodiscard]] std::string report() const;
};

enum class Arithmetic { Set, Add, Scale };

// Sets every cell of the block to `number`, adds it, or scales by `number` percent, in `units`.
Clamped arithmetic(PointTable& values, const CellBlock& block, const CellUnits& units,
                   Arithmetic operation, double number);

// Spreadsheet text read as a block of numbers.
struct PastedCells {
  int rows = 0;
  int cols = 0;
  std::vector<double> values;  // row after row, the top row first
  std::string problem;         // why the text cannot be pasted; empty when it can

  // The cells the block covers with its top-left cell at table column `col`, row `topRow`.
  [[nodiscard]] CellBlock at(int col, int topRow) const {
    return {col, col + cols - 1, topRow - rows + 1, topRow};
  }
};

// Reads text copied from a spreadsheet: cells separated by tabs (by commas in a text without a
// tab), rows by CR, LF or CRLF, one line end at the very end ignored; numbers with "." as the
// decimal point, exponents allowed, and a lone "." read as 0 (how calculated cells show 0). A
// text that is not a rectangle, holds a blank or a cell that is not a number, or has more rows
// or columns than `roomRows` × `roomCols`, is refused whole.
[[nodiscard]] PastedCells parseCells(std::string_view text, int roomCols, int roomRows);

// Puts the pasted numbers, in `units`, into the cells of `block` (from cells.at).
Clamped pasteCells(PointTable& values, const CellBlock& block, const PastedCells& cells,
                   const CellUnits& units);

// The block as spreadsheet text in `units`: tab-separated cells as the grid writes them, the
// top row first, every row ended by a line end. With `axes`, the item's captions head the
// columns and the rows.
[[nodiscard]] std::string copyCells(const PointTable& values, const CellBlock& block,
                                    const CellUnits& units, const ECU_Item* axes = nullptr);

enum class Direction { AlongRows, AlongColumns, Both };

// Makes the block's cells straight lines between its end cells: along each row, along each
// column, or both (each cell from the four corner cells).
void interpolate(PointTable& values, const CellBlock& block, Direction direction);

// Moves each inner cell of the block halfway toward the mean of its neighbours in the block; the
// edge cells stay. A block only one or two cells deep in one direction is smoothed along the other.
void smooth(PointTable& values, const CellBlock& block);

// What a graph of the block draws: whole table rows first..last when the block is at least as
// wide as it is tall, else whole columns.
struct GraphLines {
  bool rows = true;
  int first = 0;
  int last = 0;
};
[[nodiscard]] GraphLines graphLines(const CellBlock& block);

}  // namespace trimlet
