// Work on a block of a table's cells: spreadsheet text in and out, set, add and scale,
// interpolation and smoothing. Numbers are in the units the grid shows (raw or calculated);
// cells always end as whole raw numbers within 0..255, and what had to be held there is counted.
#pragma once

#include <cstdint>
#include <optional>
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
  // A raw number as the user reads it in these units: the value the grid shows, with a leading
  // 0 and no trailing point ("117.5", "0.5", "−40"), the minus sign a typographic one.
  [[nodiscard]] std::string valueText(int raw) const;
  // "−40 to 117.5": the values raw 0..255 stand for, the lower first.
  [[nodiscard]] std::string range() const;
};

// A number the user gives a cell: "." is 0 (how calculated cells show it), one too small for a
// double is 0 and one too large is infinite, so that it is held within 0..255 and reported like
// any other. Empty for text that is not a number.
[[nodiscard]] std::optional<double> cellNumber(std::string_view text);

// A number typed into a cell, in `units`.
struct TypedCell {
  std::string problem;  // why nothing can be stored; empty when it can
  double number = 0;    // the number typed, for `arithmetic`
  int raw = 0;          // the byte it is stored as
  // What the user is told while typing when the byte does not stand for the number typed:
  // "117.3 will be stored as 235 = 117.5", or "200 is outside the values this item can hold
  // (−40 to 117.5) and will be stored as 255 = 117.5"; empty when it does.
  std::string preview;
};
[[nodiscard]] TypedCell typedCell(std::string_view text, const CellUnits& units);

// How many cells were given a value, and how many of them had to be held within 0..255.
struct Clamped {
  int cells = 0;
  int above = 0;
  int below = 0;
  // What had to be held, in the units the numbers were given in: in raw numbers "12 of 96
  // cells were above 255 and were set to 255." and the like; in calculated values "12 of 96
  // cells were outside the values this item can hold (−40 to 117.5) and were set to the
  // nearest." Empty when nothing was held.
  [[nodiscard]] std::string report(const CellUnits& units) const;
};

enum class Arithmetic { Set, Add, Scale };

// Sets every cell of the block to `number`, adds it, or scales by `number` percent, in `units`.
Clamped arithmetic(PointTable& values, const CellBlock& block, const CellUnits& units,
                   Arithmetic operation, double number);
// How many of the block's cells `arithmetic` would give another raw value.
[[nodiscard]] int cellsChanged(const PointTable& values, const CellBlock& block,
                               const CellUnits& units, Arithmetic operation, double number);

// Spreadsheet text read as a block of numbers.
struct PastedCells {
  int rows = 0;
  int cols = 0;
  std::vector<double> values;  // row after row, the top row first
  std::string problem;         // why the text cannot be pasted; empty when it can

  // The cells a paste onto `selection` fills, as a spreadsheet does: the whole selection when
  // its size is a whole multiple of the block's (one value fills every cell), else the block's
  // own size from the selection's top-left cell.
  [[nodiscard]] CellBlock target(const CellBlock& selection) const;
};

// Reads text copied from a spreadsheet: cells separated by tabs (by commas in a text without a
// tab), rows by CR, LF or CRLF; blank lines at the end and empty cells after the widest row's
// last cell ignored; numbers as cellNumber reads them. Text copied with axes from `axes` loses
// its caption row and column when they are captions of that item. A text that is not a
// rectangle, holds a blank or a cell that is not a number, or has more rows or columns than
// `roomRows` × `roomCols`, is refused whole.
[[nodiscard]] PastedCells parseCells(std::string_view text, int roomCols, int roomRows,
                                     const ECU_Item* axes = nullptr);

// Puts the pasted numbers, in `units`, into the cells of `block` (from cells.target), the
// pasted block repeated across and down as often as it fits.
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
