#include "core/table_edit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/conversion.h"
#include "core/text.h"

namespace trimlet {

namespace {

double& cell(PointTable& values, int c, int r) {
  return values[static_cast<size_t>(c)][static_cast<size_t>(r)];
}

// Gives a cell the whole raw number nearest to `raw` (halves to even), held within 0..255.
void put(double& target, double raw, Clamped& clamped) {
  const double whole = std::nearbyint(raw);
  ++clamped.cells;
  if (whole > 255) {
    ++clamped.above;
    target = 255;
  } else if (whole >= 0) {
    target = whole + 0.0;  // no negative zero
  } else {                 // below 0, or no number at all
    ++clamped.below;
    target = 0;
  }
}

// The text's lines: CR, LF and CRLF each end one; a line end at the very end ends the last line.
// Only the first `keep` lines are kept; the count is of all of them.
size_t splitLines(std::string_view text, size_t keep, std::vector<std::string_view>& lines) {
  size_t count = 0;
  // A plain scan: find_first_of tests every character against its set, three times slower on
  // the megabyte a large map's text takes.
  const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
  for (auto start = text.begin();;) {
    const auto end = std::find_if(start, text.end(), lineEnd);
    if (count++ < keep) lines.emplace_back(start, end);
    if (end == text.end()) break;
    start = end + (*end == '\r' && end + 1 != text.end() && end[1] == '\n' ? 2 : 1);
    if (start == text.end()) break;
  }
  return count;
}

size_t cellsIn(std::string_view line, char separator) {
  return static_cast<size_t>(std::count(line.begin(), line.end(), separator)) + 1;
}

// "row 2, column 3"
std::string place(size_t row, size_t col) {
  return "Row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1);
}

}  // namespace

CellUnits CellUnits::of(const ECU_Item& item, bool raw) {
  return {raw, item.Operation, item.Factor, item.Offset};
}

std::string CellUnits::problem() const {
  return raw ? std::string() : inverseProblem(operation, factor, offset);
}

double CellUnits::shown(double value) const {
  if (raw) return value;
  return calculatedValue(value, operation, factor, offset)
      .value_or(std::numeric_limits<double>::quiet_NaN());
}

double CellUnits::rawOf(double value) const {
  return raw ? value : rawValue(value, operation, factor, offset);
}

std::string Clamped::report() const {
  const auto sentence = [this](int count, const char* side, int bound) {
    return std::to_string(count) + " of " + counted(cells, "cell") +
           (count == 1 ? " was " : " were ") + side + " " + std::to_string(bound) +
           (count == 1 ? " and was set to " : " and were set to ") + std::to_string(bound) + ".";
  };
  std::string text;
  if (above > 0) text = sentence(above, "above", 255);
  if (below > 0) text += (text.empty() ? "" : "\n") + sentence(below, "below", 0);
  return text;
}

Clamped arithmetic(PointTable& values, const CellBlock& block, const CellUnits& units,
                   Arithmetic operation, double number) {
  Clamped clamped;
  for (int r = block.firstRow; r <= block.lastRow; ++r) {
    for (int c = block.firstCol; c <= block.lastCol; ++c) {
      double& target = cell(values, c, r);
      const double now = units.shown(target);
      const double wanted = operation == Arithmetic::Set   ? number
                            : operation == Arithmetic::Add ? now + number
                                                           : now * number / 100;
      put(target, units.rawOf(wanted), clamped);
    }
  }
  return clamped;
}

PastedCells parseCells(std::string_view text, int roomCols, int roomRows) {
  PastedCells pasted;
  if (text.empty()) {
    pasted.problem = "The pasted text is empty.";
    return pasted;
  }
  const char separator = text.find('\t') != std::string_view::npos ? '\t' : ',';
  std::vector<std::string_view> lines;
  const size_t rows = splitLines(text, static_cast<size_t>(std::max(roomRows, 0)) + 1, lines);
  const size_t cols = cellsIn(lines.front(), separator);
  for (size_t row = 1; row < lines.size(); ++row) {
    if (const size_t n = cellsIn(lines[row], separator); n != cols) {
      pasted.problem = "Row " + std::to_string(row + 1) + " of the pasted text has " +
                       counted(static_cast<int64_t>(n), "cell") + " and row 1 has " +
                       std::to_string(cols) + ": only a rectangle of cells can be pasted.";
      return pasted;
    }
  }
  if (rows > static_cast<size_t>(roomRows) || cols > static_cast<size_t>(roomCols)) {
    pasted.problem = "The pasted block has " + counted(static_cast<int64_t>(rows), "row") +
                     " and " + counted(static_cast<int64_t>(cols), "column") +
                     "; from the chosen cell the table has room for " + counted(roomRows, "row") +
                     " and " + counted(roomCols, "column") + ".";
    return pasted;
  }
  pasted.values.reserve(rows * cols);
  for (size_t row = 0; row < rows; ++row) {
    std::string_view rest = lines[row];
    for (size_t col = 0; col < cols; ++col) {
      const size_t end = rest.find(separator);
      const std::string_view text = trim(rest.substr(0, end));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      const std::optional<double> value = text == "." ? 0.0 : toReal(text);
      if (text.empty() || !value) {
        pasted.problem =
            place(row, col) + " of the pasted text " +
            (text.empty() ? std::string("is blank.")
                          : "is not a number: \"" + std::string(characters(text, 0, 20)) + "\".");
        pasted.values.clear();
        return pasted;
      }
      pasted.values.push_back(*value);
    }
  }
  pasted.rows = static_cast<int>(rows);
  pasted.cols = static_cast<int>(cols);
  return pasted;
}

Clamped pasteCells(PointTable& values, const CellBlock& block, const PastedCells& cells,
                   const CellUnits& units) {
  Clamped clamped;
  auto value = cells.values.begin();
  for (int r = block.lastRow; r >= block.firstRow; --r)
    for (int c = block.firstCol; c <= block.lastCol; ++c)
      put(cell(values, c, r), units.rawOf(*value++), clamped);
  return clamped;
}

std::string copyCells(const PointTable& values, const CellBlock& block, const CellUnits& units,
                      const ECU_Item* axes) {
  std::array<std::string, 256> texts;
  for (int byte = 0; byte < 256; ++byte)
    texts[static_cast<size_t>(byte)] =
        units.raw ? std::to_string(byte)
                  : formatCalculated(byte, units.operation, units.factor, units.offset);
  // A tab in a caption would shift the columns after it.
  const auto caption = [](std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
  };
  std::string text;
  text.reserve(static_cast<size_t>(block.cells()) * 7);
  if (axes) {
    for (int c = block.firstCol; c <= block.lastCol; ++c)
      text += "\t" + caption(columnCaption(*axes, c));
    text += '\n';
  }
  for (int r = block.lastRow; r >= block.firstRow; --r) {
    if (axes) text += caption(rowCaption(*axes, r)) + "\t";
    for (int c = block.firstCol; c <= block.lastCol; ++c) {
      const double value = values[static_cast<size_t>(c)][static_cast<size_t>(r)];
      text += texts[static_cast<size_t>(std::clamp(static_cast<int>(value), 0, 255))];
      text += c < block.lastCol ? '\t' : '\n';
    }
  }
  return text;
}

void interpolate(PointTable& values, const CellBlock& block, Direction direction) {
  const auto part = [](int i, int first, int last) {
    return last == first ? 0.0 : static_cast<double>(i - first) / (last - first);
  };
  const auto between = [](double a, double b, double t) { return a * (1 - t) + b * t; };
  const int c0 = block.firstCol, c1 = block.lastCol, r0 = block.firstRow, r1 = block.lastRow;
  // The end cells each line is drawn between come out as they were, so the work can be in place.
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const double t = part(c, c0, c1), u = part(r, r0, r1);
      double value = 0;
      if (direction == Direction::AlongRows) {
        value = between(cell(values, c0, r), cell(values, c1, r), t);
      } else if (direction == Direction::AlongColumns) {
        value = between(cell(values, c, r0), cell(values, c, r1), u);
      } else {
        value = between(between(cell(values, c0, r0), cell(values, c1, r0), t),
                        between(cell(values, c0, r1), cell(values, c1, r1), t), u);
      }
      Clamped unused;
      put(cell(values, c, r), value, unused);
    }
  }
}

void smooth(PointTable& values, const CellBlock& block) {
  const bool across = block.cols() >= 3, down = block.rows() >= 3;
  if (!across && !down) return;
  // The block as it was, so each cell moves toward its neighbours' old values.
  std::vector<double> before;
  before.reserve(static_cast<size_t>(block.cells()));
  for (int r = block.firstRow; r <= block.lastRow; ++r)
    for (int c = block.firstCol; c <= block.lastCol; ++c) before.push_back(cell(values, c, r));
  const auto was = [&](int c, int r) {
    return before[static_cast<size_t>((r - block.firstRow) * block.cols() + c - block.firstCol)];
  };
  for (int r = block.firstRow; r <= block.lastRow; ++r) {
    for (int c = block.firstCol; c <= block.lastCol; ++c) {
      if (across && (c == block.firstCol || c == block.lastCol)) continue;
      if (down && (r == block.firstRow || r == block.lastRow)) continue;
      double sum = 0;
      int neighbours = 0;
      if (across) {
        sum += was(c - 1, r) + was(c + 1, r);
        neighbours += 2;
      }
      if (down) {
        sum += was(c, r - 1) + was(c, r + 1);
        neighbours += 2;
      }
      Clamped unused;
      put(cell(values, c, r), (was(c, r) + sum / neighbours) / 2, unused);
    }
  }
}

GraphLines graphLines(const CellBlock& block) {
  if (block.cols() >= block.rows()) return {true, block.firstRow, block.lastRow};
  return {false, block.firstCol, block.lastCol};
}

}  // namespace trimlet
