#include "core/table_edit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

#include "core/conversion.h"
#include "core/text.h"

namespace trimlet {

namespace {

double& cell(PointTable& values, int c, int r) {
  return values[static_cast<size_t>(c)][static_cast<size_t>(r)];
}

// The whole raw number nearest to `raw` (halves to even) held within 0..255, and the side it was
// held at: 1 above 255, -1 below 0 (or no number at all), 0 when it was within.
struct Nearest {
  int raw = 0;
  int side = 0;
};
Nearest nearest(double raw) {
  const double whole = std::nearbyint(raw);
  if (whole > 255) return {255, 1};
  if (whole >= 0) return {static_cast<int>(whole), 0};
  return {0, -1};
}

// Gives a cell the nearest raw number, counting what had to be held.
void put(double& target, double raw, Clamped& clamped) {
  const Nearest held = nearest(raw);
  ++clamped.cells;
  clamped.above += held.side > 0;
  clamped.below += held.side < 0;
  target = held.raw;
}

// What set, add or scale makes of a cell showing `now`, in the units the numbers are in.
double arithmeticValue(double now, Arithmetic operation, double number) {
  return operation == Arithmetic::Set   ? number
         : operation == Arithmetic::Add ? now + number
                                        : now * number / 100;
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

// The line without the empty cells at its end.
std::string_view withoutEmptyEnd(std::string_view line, char separator) {
  while (!line.empty() && (isBlank(line.back()) || line.back() == separator)) line.remove_suffix(1);
  return line;
}

// The line's first `count` cells.
std::string_view firstCells(std::string_view line, char separator, size_t count) {
  size_t end = 0;
  for (size_t n = 0; n < count; ++n) {
    end = line.find(separator, n == 0 ? 0 : end + 1);
    if (end == std::string_view::npos) return line;
  }
  return line.substr(0, end);
}

// The line's first cell, and the line after it.
std::string_view firstCell(std::string_view line, char separator) {
  return trim(line.substr(0, line.find(separator)));
}
std::string_view afterFirstCell(std::string_view line, char separator) {
  const size_t end = line.find(separator);
  return end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
}

// Whether `cells` are captions of `count` columns or rows in a run, as a copy with axes writes
// them (tabs as blanks): captionOf(first + i) heads cells[i].
bool captionRun(const std::vector<std::string_view>& cells, int count,
                const std::function<std::string_view(int)>& captionOf) {
  const int n = static_cast<int>(cells.size());
  for (int first = 0; first + n <= count; ++first) {
    bool all = true;
    for (int i = 0; i < n && all; ++i) {
      std::string caption(captionOf(first + i));
      std::replace(caption.begin(), caption.end(), '\t', ' ');
      all = trim(caption) == cells[static_cast<size_t>(i)];
    }
    if (all) return true;
  }
  return false;
}

// Whether the lines are a copy with axes of `item`: a blank top-left cell, the column captions
// of a run of its columns across the top, the row captions of a run of its rows down the left.
bool hasCaptions(const std::vector<std::string_view>& lines, char separator, const ECU_Item& item) {
  if (lines.size() < 2 || !firstCell(lines.front(), separator).empty()) return false;
  std::vector<std::string_view> top;
  for (std::string_view rest = afterFirstCell(lines.front(), separator);;) {
    top.push_back(firstCell(rest, separator));
    if (rest.find(separator) == std::string_view::npos) break;
    rest = afterFirstCell(rest, separator);
  }
  std::vector<std::string_view> left;  // the bottom row first, as the rows count
  for (size_t i = lines.size() - 1; i > 0; --i) left.push_back(firstCell(lines[i], separator));
  return captionRun(top, item.Cols, [&](int c) { return columnCaption(item, c); }) &&
         captionRun(left, item.Rows, [&](int r) { return rowCaption(item, r); });
}

// "Row 2, column 3", counted in the text as pasted.
std::string place(size_t row, size_t col) {
  return "Row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1);
}

// The decimal exponent of a number's first digit that is not 0 ("0.05e3": 1), for a number
// too large or too small for a double, so only its sign matters.
bool runsHigh(std::string_view number) {
  const size_t e = number.find_first_of("eE");
  const std::string_view digits = number.substr(0, e);
  const size_t point = std::min(digits.find('.'), digits.size());
  const size_t first = digits.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  const long long lead = first < point ? static_cast<long long>(point - first) - 1
                                       : -static_cast<long long>(first - point);
  if (e == std::string_view::npos) return lead > 0;
  std::string_view exponent = number.substr(e + 1);
  if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
  long long written = 0;
  const auto [end, error] =
      std::from_chars(exponent.data(), exponent.data() + exponent.size(), written);
  if (error == std::errc::result_out_of_range) return exponent.front() != '-';
  return lead + written > 0;
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

std::string CellUnits::valueText(int byte) const {
  if (raw) return std::to_string(byte);
  std::string text = formatCalculated(byte, operation, factor, offset);
  if (!text.empty() && text.back() == '.') text.pop_back();
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);
  if (text.empty() || text.front() == '.') text.insert(0, "0");
  return (negative ? "\u2212" : "") + text;
}

std::string CellUnits::range() const {
  const bool rising = raw || shown(255) >= shown(0);
  return valueText(rising ? 0 : 255) + " to " + valueText(rising ? 255 : 0);
}

std::optional<double> cellNumber(std::string_view text) {
  text = trim(text);
  if (text == ".") return 0.0;
  if (const std::optional<double> value = toReal(text)) return value;
  // A number a double cannot hold: read only to tell that it is one, and which way it ran out.
  std::string_view number = text;
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) number.remove_prefix(1);
  double unused = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), unused);
  if (error != std::errc::result_out_of_range || end != number.data() + number.size())
    return std::nullopt;
  const double size = runsHigh(number) ? std::numeric_limits<double>::infinity() : 0.0;
  return text.front() == '-' ? -size : size;
}

TypedCell typedCell(std::string_view text, const CellUnits& units) {
  TypedCell typed;
  text = trim(text);
  const std::string echo(characters(text, 0, 40));
  const std::optional<double> number = cellNumber(text);
  if (text.empty()) {
    typed.problem = "Type a number to store in the cell, or press Esc to leave it as it is.";
  } else if (!number) {
    typed.problem =
        "\"" + echo + "\" is not a number. Write it with a point for decimals, as 12.5.";
  } else {
    typed.problem = units.problem();
  }
  if (!typed.problem.empty()) return typed;
  typed.number = *number;
  const double raw = units.rawOf(*number);
  const Nearest held = nearest(raw);
  typed.raw = held.raw;
  const std::string stored =
      std::to_string(held.raw) + (units.raw ? "" : " = " + units.valueText(held.raw));
  // A calculated value that stands for a whole raw number comes back a hair off in binary.
  if (held.side != 0) {
    typed.preview = echo + " is outside the values this item can hold (" + units.range() +
                    ") and will be stored as " + stored;
  } else if (std::fabs(raw - held.raw) > 1e-9) {
    typed.preview = echo + " will be stored as " + stored;
  }
  return typed;
}

std::string Clamped::report(const CellUnits& units) const {
  const auto sentence = [this](int count, const std::string& what, const std::string& to) {
    return std::to_string(count) + " of " + counted(cells, "cell") +
           (count == 1 ? " was " : " were ") + what +
           (count == 1 ? " and was set to " : " and were set to ") + to + ".";
  };
  if (!units.raw) {
    const int outside = above + below;
    return outside == 0
               ? std::string()
               : sentence(outside, "outside the values this item can hold (" + units.range() + ")",
                          "the nearest");
  }
  std::string text;
  if (above > 0) text = sentence(above, "above 255", "255");
  if (below > 0) text += (text.empty() ? "" : "\n") + sentence(below, "below 0", "0");
  return text;
}

Clamped arithmetic(PointTable& values, const CellBlock& block, const CellUnits& units,
                   Arithmetic operation, double number) {
  Clamped clamped;
  for (int r = block.firstRow; r <= block.lastRow; ++r) {
    for (int c = block.firstCol; c <= block.lastCol; ++c) {
      double& target = cell(values, c, r);
      put(target, units.rawOf(arithmeticValue(units.shown(target), operation, number)), clamped);
    }
  }
  return clamped;
}

int cellsChanged(const PointTable& values, const CellBlock& block, const CellUnits& units,
                 Arithmetic operation, double number) {
  int changed = 0;
  for (int r = block.firstRow; r <= block.lastRow; ++r) {
    for (int c = block.firstCol; c <= block.lastCol; ++c) {
      const double now = values[static_cast<size_t>(c)][static_cast<size_t>(r)];
      const double wanted = arithmeticValue(units.shown(now), operation, number);
      changed += nearest(units.rawOf(wanted)).raw != now;
    }
  }
  return changed;
}

PastedCells parseCells(std::string_view text, int roomCols, int roomRows, const ECU_Item* axes) {
  PastedCells pasted;
  const char separator = text.find('\t') != std::string_view::npos ? '\t' : ',';
  // Blank lines and empty cells at the very end are what spreadsheets leave, not cells.
  while (!text.empty() &&
         (isBlank(text.back()) || isLineEnd(text.back()) || text.back() == separator))
    text.remove_suffix(1);
  if (text.empty()) {
    pasted.problem = "The pasted text is empty.";
    return pasted;
  }
  std::vector<std::string_view> lines;
  size_t rows = splitLines(text, static_cast<size_t>(std::max(roomRows, 0)) + 2, lines);
  // Counted in the text as pasted, for the messages, when a caption row and column are dropped.
  size_t skipped = 0;
  if (axes && hasCaptions(lines, separator, *axes)) {
    skipped = 1;
    lines.erase(lines.begin());
    --rows;
    for (std::string_view& line : lines) line = afterFirstCell(line, separator);
  }
  size_t cols = 0;
  for (const std::string_view line : lines)
    cols = std::max(cols, cellsIn(withoutEmptyEnd(line, separator), separator));
  for (std::string_view& line : lines)
    if (cellsIn(line, separator) > cols) line = firstCells(line, separator, cols);
  for (size_t row = 0; row < lines.size(); ++row) {
    if (const size_t n = cellsIn(lines[row], separator); n != cols) {
      pasted.problem = "Row " + std::to_string(row + skipped + 1) + " of the pasted text has " +
                       counted(static_cast<int64_t>(n + skipped), "cell") +
                       " and the widest row has " + std::to_string(cols + skipped) +
                       ": only a rectangle of cells can be pasted.";
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
      const std::optional<double> value = cellNumber(text);
      if (text.empty() || !value) {
        pasted.problem =
            place(row + skipped, col + skipped) + " of the pasted text " +
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

CellBlock PastedCells::target(const CellBlock& selection) const {
  if (selection.rows() % rows == 0 && selection.cols() % cols == 0) return selection;
  return {selection.firstCol, selection.firstCol + cols - 1, selection.lastRow - rows + 1,
          selection.lastRow};
}

Clamped pasteCells(PointTable& values, const CellBlock& block, const PastedCells& cells,
                   const CellUnits& units) {
  Clamped clamped;
  for (int r = block.lastRow; r >= block.firstRow; --r) {
    // The pasted rows from the top, again from its first after its last.
    const double* row = cells.values.data() + (block.lastRow - r) % cells.rows * cells.cols;
    for (int c = block.firstCol; c <= block.lastCol; ++c)
      put(cell(values, c, r), units.rawOf(row[(c - block.firstCol) % cells.cols]), clamped);
  }
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
