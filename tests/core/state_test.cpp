#include "core/state.h"

#include <gtest/gtest.h>

#include "core/table.h"

namespace trimlet {
namespace {

TEST(ItemClasses, DecidedByKindColsAndRows) {
  struct Case {
    int16_t kind, cols, rows;
    bool flag, single, array, map;
  };
  const Case cases[] = {
      {80, 1, 1, true, false, false, false},  {0, 1, 1, false, true, false, false},
      {0, 8, 1, false, false, true, false},   {0, 1, 8, false, false, true, false},
      {0, 16, 16, false, false, false, true}, {3, 4, 2, false, false, false, true},
      {80, 4, 4, true, false, false, true},   {0, 0, 1, false, false, false, false},
      {0, 1, 0, false, false, false, false},  {5, 1, 1, false, false, false, false},
      {0, -3, 1, false, false, false, false},
  };
  for (const Case& c : cases) {
    ECU_Item item;
    item.Kind = c.kind;
    item.Cols = c.cols;
    item.Rows = c.rows;
    SCOPED_TRACE(testing::Message() << c.kind << " " << c.cols << "x" << c.rows);
    EXPECT_EQ(isFlagByte(item), c.flag);
    EXPECT_EQ(isSingleValue(item), c.single);
    EXPECT_EQ(isArray(item), c.array);
    EXPECT_EQ(isMap(item), c.map);
  }
}

class StateTest : public testing::Test {
 protected:
  void SetUp() override { resetState(); }
};

TEST_F(StateTest, ItemRecordsResolveInsideTheLoadedFileOnly) {
  BIN_FileBytes = 0x8000 + 16;
  EXPECT_EQ(resolveRecords("8000", 16).problem, RangeProblem::None);
  EXPECT_EQ(resolveRecords("8000", 16).first, 32768);
  EXPECT_EQ(resolveRecords("0", 1).first, 0);
  EXPECT_EQ(resolveRecords(" 10 ", 4).first, 16);
  EXPECT_EQ(resolveRecords("8000", 17).problem, RangeProblem::BeyondFile);
  // Too many digits for any number is still a hexadecimal address, far beyond the file.
  EXPECT_EQ(resolveRecords("10000000000000000", 1).problem, RangeProblem::BeyondFile);
  EXPECT_EQ(resolveRecords("1000000000000010", 1).problem, RangeProblem::BeyondFile);
  EXPECT_EQ(resolveRecords("1F0G", 1).problem, RangeProblem::NotHexadecimal);
  EXPECT_EQ(resolveRecords("", 1).problem, RangeProblem::NotHexadecimal);
  EXPECT_EQ(resolveRecords("10", -1).problem, RangeProblem::BeyondFile);
  EXPECT_FALSE(rangeNote(RangeProblem::BeyondFile).empty());
  EXPECT_TRUE(rangeNote(RangeProblem::None).empty());
}

TEST_F(StateTest, TableCellsResolveOnlyForSizesTheTablesHold) {
  BIN_FileBytes = 501 * 501;
  ECU_Item item;
  item.Address = "0";
  const auto problem = [&](int cols, int rows) {
    item.Cols = static_cast<int16_t>(cols);
    item.Rows = static_cast<int16_t>(rows);
    return resolveTable(item).problem;
  };
  EXPECT_EQ(problem(501, 501), RangeProblem::None);
  EXPECT_EQ(problem(1, 1), RangeProblem::None);
  EXPECT_EQ(problem(502, 1), RangeProblem::TableSize);
  EXPECT_EQ(problem(1, 502), RangeProblem::TableSize);
  EXPECT_EQ(problem(0, 5), RangeProblem::TableSize);
  EXPECT_EQ(problem(-5, -5), RangeProblem::TableSize);  // the product would look positive
  EXPECT_EQ(problem(32767, 32767), RangeProblem::TableSize);
  item.Address = "1";
  EXPECT_EQ(problem(501, 501), RangeProblem::BeyondFile);
  item.Address = "X";
  EXPECT_EQ(problem(2, 2), RangeProblem::NotHexadecimal);
  EXPECT_EQ(rangeNote(RangeProblem::TableSize),
            "This item cannot be shown: its columns and rows must each be 1 to 501.");
}

}  // namespace
}  // namespace trimlet
