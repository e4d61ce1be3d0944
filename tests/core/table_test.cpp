#include "core/table.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/hex.h"
#include "core/image.h"

namespace trimlet {
namespace {

TEST(Table, ResolvesOnlySizesTheTablesHoldInsideTheFile) {
  resetState();
  BIN_FileBytes = 501 * 501;
  struct Case {
    const char* address;
    int cols, rows;
    RangeProblem problem;
  };
  const Case cases[] = {
      {"0", 501, 501, RangeProblem::None},       {"0", 1, 1, RangeProblem::None},
      {"0", 502, 1, RangeProblem::TableSize},    {"0", 1, 502, RangeProblem::TableSize},
      {"0", 0, 5, RangeProblem::TableSize},      {"0", -5, -5, RangeProblem::TableSize},
      {"1", 501, 501, RangeProblem::BeyondFile}, {"X", 2, 2, RangeProblem::NotHexadecimal},
  };
  for (const Case& c : cases) {
    ECU_Item item;
    item.Address = c.address;
    item.Cols = static_cast<int16_t>(c.cols);
    item.Rows = static_cast<int16_t>(c.rows);
    EXPECT_EQ(resolveTable(item).problem, c.problem) << c.address << " " << c.cols << "x" << c.rows;
  }
}

// A 3 x 2 table at record 4: rows are `cols` records apart, row 0 is the bottom grid row.
TEST(Table, CellsLieRowAfterRowAndRowZeroIsShownAtTheBottom) {
  const TablePlace place{4, 3, 2};
  EXPECT_EQ(place.record(0, 0), 4);
  EXPECT_EQ(place.record(2, 0), 6);
  EXPECT_EQ(place.record(0, 1), 7);
  EXPECT_EQ(place.gridRow(0), 2);
  EXPECT_EQ(place.gridRow(1), 1);
}

// Steps a 3 x 2 table holding {0, 254, 255} in row 0 and {7, 8, 9} in row 1.
struct StepCase {
  const char* name;
  std::vector<CellBlock> blocks;
  int step;
  std::vector<double> row0, row1;
  int changed;
};

TEST(Table, StepMovesOnlySelectedCellsEachHeldWithin0To255) {
  const StepCase cases[] = {
      {"one cell", {{1, 1, 0, 0}}, 1, {0, 255, 255}, {7, 8, 9}, 1},
      {"row 0 up", {{0, 2, 0, 0}}, 1, {1, 255, 255}, {7, 8, 9}, 2},
      {"row 0 down", {{0, 2, 0, 0}}, -1, {0, 253, 254}, {7, 8, 9}, 2},
      {"column 2", {{2, 2, 0, 1}}, -1, {0, 254, 254}, {7, 8, 8}, 2},
      {"overlapping blocks step once",
       {{0, 1, 1, 1}, {1, 2, 1, 1}},
       1,
       {0, 254, 255},
       {8, 9, 10},
       3},
      {"beyond the table", {{2, 9, 1, 9}}, 1, {0, 254, 255}, {7, 8, 10}, 1},
      {"nothing selected", {}, 1, {0, 254, 255}, {7, 8, 9}, 0},
  };
  for (const StepCase& c : cases) {
    auto values = std::make_unique<PointTable>();
    const double row0[] = {0, 254, 255}, row1[] = {7, 8, 9};
    for (int col = 0; col < 3; ++col) {
      (*values)[col][0] = row0[col];
      (*values)[col][1] = row1[col];
    }
    EXPECT_EQ(stepCells(*values, {0, 3, 2}, c.blocks, c.step), c.changed) << c.name;
    for (int col = 0; col < 3; ++col) {
      EXPECT_EQ((*values)[col][0], c.row0[col]) << c.name << " column " << col;
      EXPECT_EQ((*values)[col][1], c.row1[col]) << c.name << " column " << col;
    }
  }
}

TEST(Table, WriteBackRewritesEveryCellInEditForm) {
  resetState();
  BIN_FileBytes = 16;
  for (int i = 0; i < 16; ++i) BIN_Data[i].Value = {'0', '5'};  // as loaded
  const TablePlace place{2, 2, 2};
  auto values = std::make_unique<PointTable>();
  readTable(place, *values);
  (*values)[1][1] = 0xC3;
  writeTable(place, *values);
  const std::string stored[] = {"05", "05", "5 ", "5 ", "5 ", "C3", "05"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(storedValue(BIN_Data[i]), stored[i]) << i;
}

}  // namespace
}  // namespace trimlet
