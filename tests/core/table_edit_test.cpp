#include "core/table_edit.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

namespace trimlet {
namespace {

// A table whose cell (c, r) holds 10 × r + c: every cell tells where it is.
std::unique_ptr<PointTable> numbered(int cols, int rows) {
  auto values = std::make_unique<PointTable>();
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r) (*values)[c][r] = 10 * r + c;
  return values;
}

CellUnits calculated(int16_t operation, double factor, double offset) {
  return {false, operation, factor, offset};
}

// Each edit on a 4 × 3 numbered table, some cells set first, changes the block and nothing else.
TEST(TableEdit, EditsChangeOnlyTheBlock) {
  using Edit = std::function<void(PointTable&, const CellBlock&)>;
  const auto by = [](Arithmetic kind, double number, CellUnits units = {}) -> Edit {
    return [=](PointTable& t, const CellBlock& b) { arithmetic(t, b, units, kind, number); };
  };
  const auto along = [](Direction direction) -> Edit {
    return [=](PointTable& t, const CellBlock& b) { interpolate(t, b, direction); };
  };
  const Edit smoothed = [](PointTable& t, const CellBlock& b) { smooth(t, b); };
  // Block; cells set first (column, row, value); the block after, row after row.
  // clang-format off
  const std::tuple<Edit, CellBlock, std::vector<std::array<int, 3>>, std::vector<double>> cases[] = {
      {by(Arithmetic::Add, 250), {1, 2, 0, 1}, {}, {251, 252, 255, 255}},
      {by(Arithmetic::Scale, 50), {0, 3, 2, 2}, {}, {10, 10, 11, 12}},  // 10.5 to 10, 11.5 to 12
      {by(Arithmetic::Add, 10, calculated(0, 2, -40)), {3, 3, 0, 2}, {}, {8, 18, 28}},
      {along(Direction::AlongRows), {0, 3, 1, 1}, {{0, 1, 0}, {3, 1, 30}}, {0, 10, 20, 30}},
      {along(Direction::AlongColumns), {2, 2, 0, 2}, {{2, 1, 99}}, {2, 12, 22}},
      // 60.25, 80.5 and 100.5 round to even
      {along(Direction::Both), {0, 2, 0, 2}, {{0, 0, 0}, {2, 0, 40}, {0, 2, 80}, {2, 2, 121}},
       {0, 20, 40, 40, 60, 80, 80, 100, 121}},
      // (100 + 11) / 2 = 55.5 gives 56; (12 + 56.5) / 2 = 34.25 gives 34
      {smoothed, {0, 3, 1, 1}, {{1, 1, 100}}, {10, 56, 34, 13}},
      {smoothed, {0, 2, 0, 2}, {{1, 1, 91}}, {0, 1, 2, 10, 51, 12, 20, 21, 22}},
      {smoothed, {0, 1, 0, 1}, {{0, 0, 200}}, {200, 1, 10, 11}},  // too thin to smooth
  };
  // clang-format on
  for (size_t n = 0; n < std::size(cases); ++n) {
    const auto& [edit, block, first, inBlock] = cases[n];
    auto values = numbered(4, 3);
    auto expected = numbered(4, 3);
    for (const auto& [col, r, value] : first) (*values)[col][r] = value;
    edit(*values, block);
    auto next = inBlock.begin();
    for (int r = block.firstRow; r <= block.lastRow; ++r)
      for (int col = block.firstCol; col <= block.lastCol; ++col) (*expected)[col][r] = *next++;
    for (int col = 0; col < 4; ++col)
      for (int r = 0; r < 3; ++r)
        EXPECT_EQ((*values)[col][r], (*expected)[col][r]) << n << ": " << col << "," << r;
  }
}

// A number typed into a cell: the byte it is stored as, the preview, and the report once written.
TEST(TableEdit, ATypedNumberIsStoredAsTheNearestByteAndSaysSoWhenItIsNotExact) {
  const CellUnits raw;
  const CellUnits half = calculated(0, 0.5, -10);  // raw 0..255 is -10..117.5
  // The units, the text typed, the byte, the preview, the report; or the refusal's start.
  // clang-format off
  const std::tuple<CellUnits, const char*, int, std::string, std::string> cases[] = {
      {raw, " 12 ", 12, "", ""},
      {raw, "12.5", 12, "12.5 will be stored as 12", ""},
      {raw, "255.5", 255, "255.5 is outside the values this item can hold (0 to 255) and will be stored as 255",
       "1 of 1 cell was above 255 and was set to 255."},  // 256 before it is held
      {raw, "-0.4", 0, "-0.4 will be stored as 0", ""},
      {raw, "-0.6", 0, "-0.6 is outside the values this item can hold (0 to 255) and will be stored as 0",
       "1 of 1 cell was below 0 and was set to 0."},
      {half, "117.3", 255, "117.3 will be stored as 255 = 117.5", ""},
      {half, "-10.2", 0, "-10.2 will be stored as 0 = \u221210", ""},
      {half, "1e400", 255, "1e400 is outside the values this item can hold (\u221210 to 117.5) and "
       "will be stored as 255 = 117.5", "1 of 1 cell was outside the values this item can hold "
       "(\u221210 to 117.5) and was set to the nearest."},
      {calculated(0, 0.1, 0), "2.3", 23, "", ""},  // 22.999... in binary
      {calculated(1, 4, 0), "10.1", 40, "10.1 will be stored as 40 = 10", ""},
      {calculated(0, -2, 100), "51", 24, "51 will be stored as 24 = 52", ""},  // halves to even
      {calculated(0, -2, 100), "102", 0, "102 is outside the values this item can hold (\u2212410 to 100) and will be stored as 0 = 100", "1 of 1 cell was outside the values this item can hold (\u2212410 to 100) and was set to the nearest."},
      {raw, "", -1, "Type a number to store in the cell", ""},
      {raw, "1,5", -1, "\"1,5\" is not a number.", ""},
      {calculated(2, 1, 0), "5", -1, "its Operation is 2", ""},
      {calculated(0, 0, 5), "5", -1, "its Factor is 0, which", ""},
      {calculated(0, 1e307, 0), "5", -1, "its Factor and Offset give", ""},
  };
  // clang-format on
  for (const auto& [units, text, byte, preview, report] : cases) {
    SCOPED_TRACE(text);
    const TypedCell typed = typedCell(text, units);
    if (byte < 0) {
      EXPECT_EQ(typed.problem.substr(0, preview.size()), preview);
      continue;
    }
    EXPECT_EQ(typed.problem, "");
    EXPECT_EQ(typed.raw, byte);
    EXPECT_EQ(typed.preview, preview);
    auto values = numbered(1, 1);
    const Clamped clamped = arithmetic(*values, {0, 0, 0, 0}, units, Arithmetic::Set, typed.number);
    EXPECT_EQ((*values)[0][0], byte);
    EXPECT_EQ(clamped.report(units), report);
  }
}

// Clipboard text pasted onto a selection of a 4 × 3 numbered table, in raw numbers or in
// calculated values of raw × 0.5 - 10: the cells it fills and what is reported, or why not.
TEST(TableEdit, PastesFillTheSelectionAsASpreadsheetDoesOrAreRefusedWhole) {
  ECU_Item item;  // captions of columns 0..3 and rows 0..2
  item.Xaxis = "  a  b  c  d";
  item.Yaxis = "Idle Part Full ";
  item.Cols = 4;
  item.Rows = 3;
  // Text, selection, calculated?, the block filled, its values from the top row, the report
  // or the refusal's start.
  // clang-format off
  const std::tuple<const char*, CellBlock, bool, CellBlock, std::vector<double>, std::string> cases[] = {
      {"300", {0, 1, 0, 1}, false, {0, 1, 0, 1}, {255, 255, 255, 255}, "4 of 4 cells were above 255 and were set to 255."},
      {"1\t2\n3\t4\n", {0, 3, 0, 1}, false, {0, 3, 0, 1}, {1, 2, 1, 2, 3, 4, 3, 4}, ""},
      {"1\n2", {3, 3, 0, 2}, false, {3, 3, 1, 2}, {1, 2}, ""},  // 3 rows are no multiple of 2
      {"5,6", {2, 2, 0, 0}, false, {2, 3, 0, 0}, {5, 6}, ""},
      {"\tb\tc\nFull \t1\t2\nPart \t3\t4\n", {0, 0, 2, 2}, false, {0, 1, 1, 2}, {1, 2, 3, 4}, ""},
      {"\tb\tx\nFull \t1\t2\n", {0, 0, 2, 2}, false, {}, {}, "Row 1, column 1 of the pasted text is blank."},
      {"\tb\tc\nFull\t1\tz\n", {0, 0, 2, 2}, false, {}, {}, "Row 2, column 3 of the pasted text is not a number: \"z\"."},
      {"1\t2\t\r\n3\t4\t\r\n\r\n\t\n", {1, 1, 2, 2}, false, {1, 2, 1, 2}, {1, 2, 3, 4}, ""},
      {"1e-400\t1e400\t-1e400", {0, 2, 0, 0}, false, {0, 2, 0, 0}, {0, 255, 0},
       "1 of 3 cells was above 255 and was set to 255.\n1 of 3 cells was below 0 and was set to 0."},
      {"200\t-10\n", {0, 0, 0, 0}, true, {0, 1, 0, 0}, {255, 0},
       "1 of 2 cells was outside the values this item can hold (\u221210 to 117.5) and was set to the nearest."},
      {"1,5\t2", {0, 0, 0, 0}, false, {}, {}, "Row 1, column 1 of the pasted text is not a number"},
      {"1\t2\n3\n", {0, 0, 2, 2}, false, {}, {}, "Row 2 of the pasted text has 1 cell and the widest row has 2: only"},
      {"1,2,3", {2, 2, 2, 2}, false, {}, {}, "The pasted block has 1 row and 3 columns; from the chosen cell"},
      {"1\n2\n3", {0, 0, 1, 1}, false, {}, {}, "The pasted block has 3 rows and 1 column; from the chosen cell the table has room for 2 rows"},
      {"\r\n\t\n", {0, 0, 0, 0}, false, {}, {}, "The pasted text is empty."},
  };
  // clang-format on
  for (const auto& [text, selection, inCalculated, filled, inBlock, report] : cases) {
    SCOPED_TRACE(text);
    const CellUnits units = inCalculated ? calculated(0, 0.5, -10) : CellUnits{};
    const PastedCells pasted =
        parseCells(text, 4 - selection.firstCol, selection.lastRow + 1, &item);
    if (inBlock.empty()) {
      EXPECT_EQ(pasted.problem.substr(0, report.size()), report);
      continue;
    }
    ASSERT_EQ(pasted.problem, "");
    EXPECT_EQ(pasted.target(selection), filled);
    auto values = numbered(4, 3);
    auto expected = numbered(4, 3);
    EXPECT_EQ(pasteCells(*values, filled, pasted, units).report(units), report);
    auto next = inBlock.begin();
    for (int r = filled.lastRow; r >= filled.firstRow; --r)
      for (int col = filled.firstCol; col <= filled.lastCol; ++col) (*expected)[col][r] = *next++;
    for (int col = 0; col < 4; ++col)
      for (int r = 0; r < 3; ++r) EXPECT_EQ((*values)[col][r], (*expected)[col][r]) << col << r;
  }
  // Far more rows than the table holds: refused without reading them all.
  const std::string tall(1'000'000, '\n');
  EXPECT_EQ(
      parseCells("x" + tall + "y", 1, 501).problem.rfind("The pasted block has 1000001 rows", 0),
      0u);
}

// A copy writes the cells as the grid shows them, rows top first, with the captions when asked
// (a tab in one made a blank); a block wider than tall is graphed along its rows.
TEST(TableEdit, CopiedTextIsWhatTheGridShowsRowsTopFirst) {
  auto values = numbered(3, 2);
  ECU_Item item;
  item.Xaxis = "lo h\tix";
  item.Yaxis = "Idle Full ";
  const CellBlock block{1, 2, 0, 1};
  EXPECT_EQ(copyCells(*values, block, {}), "11\t12\n1\t2\n");
  EXPECT_EQ(copyCells(*values, block, {}, &item), "\th i\tx\nFull \t11\t12\nIdle \t1\t2\n");
  EXPECT_EQ(copyCells(*values, block, calculated(1, 2, -0.5)), "5.\t5.5\n.\t.5\n");
  EXPECT_TRUE(graphLines({0, 4, 2, 3}).rows);
  EXPECT_FALSE(graphLines({1, 1, 0, 3}).rows);
}

}  // namespace
}  // namespace trimlet
