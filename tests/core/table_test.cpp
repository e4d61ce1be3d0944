#include "core/table.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace trimlet {
namespace {

TEST(Table, ResolvesOnlySizesTheTablesHoldInsideTheFile) {
  resetState();
  BIN_FileBytes = 501 * 501;
  const std::tuple<const char*, int16_t, int16_t, RangeProblem> cases[] = {
      {"0", 501, 501, RangeProblem::None},       {"0", 502, 1, RangeProblem::TableSize},
      {"0", 1, 502, RangeProblem::TableSize},    {"0", 0, 5, RangeProblem::TableSize},
      {"1", 501, 501, RangeProblem::BeyondFile}, {"X", 2, 2, RangeProblem::NotHexadecimal},
  };
  for (const auto& [address, cols, rows, problem] : cases) {
    ECU_Item item;
    std::tie(item.Address, item.Cols, item.Rows) = std::tie(address, cols, rows);
    EXPECT_EQ(resolveTable(item).problem, problem) << address << " " << cols << "x" << rows;
  }
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

}  // namespace
}  // namespace trimlet
