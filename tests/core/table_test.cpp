#include "core/table.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "core/hex.h"
#include "core/image.h"

namespace trimlet {
namespace {

TEST(Table, ResolvesOnlySizesTheTablesHoldInsideTheFile) {
  resetState();
  BIN_FileBytes = 501 * 501;
  const std::tuple<const char*, int16_t, int16_t, RangeProblem> cases[] = {
      {"0", 501, 501, RangeProblem::None},       {"0", 1, 1, RangeProblem::None},
      {"0", 502, 1, RangeProblem::TableSize},    {"0", 1, 502, RangeProblem::TableSize},
      {"0", 0, 5, RangeProblem::TableSize},      {"0", -5, -5, RangeProblem::TableSize},
      {"1", 501, 501, RangeProblem::BeyondFile}, {"X", 2, 2, RangeProblem::NotHexadecimal},
  };
  for (const auto& [address, cols, rows, problem] : cases) {
    ECU_Item item;
    std::tie(item.Address, item.Cols, item.Rows) = std::tie(address, cols, rows);
    EXPECT_EQ(resolveTable(item).problem, problem) << address << " " << cols << "x" << rows;
  }
}

// A 3 x 2 table at record 4: rows are `cols` records apart, row 0 is the bottom grid row.
TEST(Table, CellsLieRowAfterRowAndRowZeroIsShownAtTheBottom) {
  const TablePlace place{4, 3, 2};
  EXPECT_EQ(std::vector({place.record(0, 0), place.record(2, 0), place.record(0, 1)}),
            std::vector({4, 6, 7}));
  EXPECT_EQ(std::vector({place.gridRow(0), place.gridRow(1)}), std::vector({2, 1}));
}

// Steps a 3 x 2 table holding {0, 254, 255} in row 0 and {7, 8, 9} in row 1; the count is of
// the cells that changed.
TEST(Table, StepMovesOnlySelectedCellsEachOnceAndHeldWithin0To255) {
  const std::vector<double> start = {0, 254, 255, 7, 8, 9};
  const std::tuple<const char*, std::vector<CellBlock>, int, std::vector<double>> cases[] = {
      {"row 0 up", {{0, 2, 0, 0}}, 1, {1, 255, 255, 7, 8, 9}},
      {"row 0 down", {{0, 2, 0, 0}}, -1, {0, 253, 254, 7, 8, 9}},
      {"column 2", {{2, 2, 0, 1}}, -1, {0, 254, 254, 7, 8, 8}},
      {"overlapping blocks", {{0, 1, 1, 1}, {1, 2, 1, 1}}, 1, {0, 254, 255, 8, 9, 10}},
      {"beyond the table", {{2, 9, 1, 9}}, 1, {0, 254, 255, 7, 8, 10}},
      {"nothing selected", {}, 1, start},
  };
  for (const auto& [what, blocks, step, expected] : cases) {
    auto values = std::make_unique<PointTable>();
    for (int i = 0; i < 6; ++i) (*values)[i % 3][i / 3] = start[i];
    const int changed = stepCells(*values, {0, 3, 2}, blocks, step);
    int differ = 0;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ((*values)[i % 3][i / 3], expected[i]) << what << " cell " << i;
      differ += expected[i] != start[i];
    }
    EXPECT_EQ(changed, differ) << what;
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
