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

TEST(TableEdit, NumbersBecomeTheNearestRawValueHeldWithin0To255AndClampingIsCounted) {
  // The units, the number, the raw value it becomes, whether it was above 255 or below 0.
  const std::tuple<CellUnits, double, double, int, int> cases[] = {
      {{}, 12.5, 12, 0, 0},  // halves to even
      {{}, 1e300, 255, 1, 0},
      {{}, 255.5, 255, 1, 0},  // 256 before it is held
      {{}, -0.4, 0, 0, 0},
      {{}, -0.6, 0, 0, 1},
      {calculated(0, 0.75, -40), 110, 200, 0, 0},
      {calculated(1, 4, 0), 63.75, 255, 0, 0},
      {calculated(0, 0.1, 0), 2.3, 23, 0, 0},  // 22.999... in binary
      {calculated(0, -2, 10), 0, 5, 0, 0},
      {calculated(0, 0.5, 0), -1e308, 0, 0, 1},
  };
  for (const auto& [units, number, raw, above, below] : cases) {
    auto values = numbered(1, 1);
    const Clamped clamped = arithmetic(*values, {0, 0, 0, 0}, units, Arithmetic::Set, number);
    EXPECT_EQ((*values)[0][0], raw) << number;
    EXPECT_EQ(clamped.above, above) << number;
    EXPECT_EQ(clamped.below, below) << number;
  }
  for (const CellUnits& units :
       {calculated(2, 1, 0), calculated(0, 0, 5), calculated(1, 0, 5), calculated(0, 1e307, 0)})
    EXPECT_NE(units.problem(), "") << units.operation << " " << units.factor;
  EXPECT_EQ(CellUnits{}.problem(), "");
  EXPECT_EQ((Clamped{96, 12, 3}.report()),
            "12 of 96 cells were above 255 and were set to 255.\n"
            "3 of 96 cells were below 0 and were set to 0.");
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
  int n = 0;
  for (const auto& [edit, block, first, inBlock] : cases) {
    auto values = numbered(4, 3);
    auto expected = numbered(4, 3);
    for (const auto& [col, r, value] : first) (*values)[col][r] = value;
    edit(*values, block);
    auto next = inBlock.begin();
    for (int r = block.firstRow; r <= block.lastRow; ++r)
      for (int col = block.firstCol; col <= block.lastCol; ++col) (*expected)[col][r] = *next++;
    for (int col = 0; col < 4; ++col)
      for (int r = 0; r < 3; ++r)
        EXPECT_EQ((*values)[col][r], (*expected)[col][r])
            << "case " << n << " cell " << col << "," << r;
    ++n;
  }
}

TEST(TableEdit, PastedTextIsARectangleOfNumbersOrRefusedWhole) {
  // The text, the room in columns and rows, the values and columns read, how the reason starts.
  const std::tuple<const char*, int, int, std::vector<double>, int, const char*> cases[] = {
      {"1\t2\n3\t4\n", 5, 5, {1, 2, 3, 4}, 2, ""},
      {"1,2\r\n3,4\r\n", 2, 2, {1, 2, 3, 4}, 2, ""},
      {"1\r2", 1, 2, {1, 2}, 1, ""},
      {"1e2\t.5\t.\t -3 \t+4", 5, 1, {100, 0.5, 0, -3, 4}, 5, ""},
      {"1\t2\n3\n", 5, 5, {}, 0, "Row 2 of the pasted text has 1 cell and row 1 has 2: only"},
      {"1\t\t3", 5, 5, {}, 0, "Row 1, column 2 of the pasted text is blank."},
      {"7\n\n", 5, 5, {}, 0, "Row 2, column 1 of the pasted text is blank."},
      {"1\tabc", 5, 5, {}, 0, "Row 1, column 2 of the pasted text is not a number: \"abc\"."},
      {"1,5\t2", 5, 5, {}, 0, "Row 1, column 1 of the pasted text is not a number: \"1,5\"."},
      {"1,2,3", 2, 2, {}, 0, "The pasted block has 1 row and 3 columns; from the chosen cell"},
      {"1\n2\n3\n", 5, 2, {}, 0, "The pasted block has 3 rows and 1 column; from the chosen"},
      {"", 5, 5, {}, 0, "The pasted text is empty."},
  };
  for (const auto& [text, roomCols, roomRows, values, cols, problem] : cases) {
    const PastedCells pasted = parseCells(text, roomCols, roomRows);
    EXPECT_EQ(pasted.problem.substr(0, std::string(problem).size()), problem) << text;
    EXPECT_EQ(pasted.problem.empty(), *problem == 0) << text;
    EXPECT_EQ(pasted.values, values) << text;
    EXPECT_EQ(pasted.cols, cols) << text;
  }
  // Far more rows than the table holds: refused without reading them all.
  const std::string tall(1'000'000, '\n');
  EXPECT_EQ(parseCells("x" + tall, 1, 501).problem.rfind("The pasted block has 1000000 rows", 0),
            0u);
}

// What a copy writes, pasted back at the same place, gives the same bytes: rows top first.
TEST(TableEdit, CopiedTextIsWhatTheGridShowsAndPastesBack) {
  auto values = numbered(3, 2);
  ECU_Item item;
  item.Xaxis = "lo h\tix";
  item.Yaxis = "Idle Full ";
  const CellBlock block{1, 2, 0, 1};
  EXPECT_EQ(copyCells(*values, block, {}), "11\t12\n1\t2\n");
  EXPECT_EQ(copyCells(*values, block, {}, &item), "\th i\tx\nFull \t11\t12\nIdle \t1\t2\n");
  EXPECT_EQ(copyCells(*values, block, calculated(1, 2, -0.5)), "5.\t5.5\n.\t.5\n");

  const CellUnits units = calculated(1, 4, 0);
  const PastedCells pasted = parseCells(copyCells(*values, block, units), 2, 2);
  auto target = std::make_unique<PointTable>();
  pasteCells(*target, pasted.at(1, 1), pasted, units);
  for (int c = 1; c <= 2; ++c)
    for (int r = 0; r <= 1; ++r) EXPECT_EQ((*target)[c][r], (*values)[c][r]) << c << "," << r;

  EXPECT_TRUE(graphLines({0, 4, 2, 3}).rows);
  EXPECT_FALSE(graphLines({1, 1, 0, 3}).rows);
}

}  // namespace
}  // namespace trimlet
