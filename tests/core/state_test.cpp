#include "core/state.h"

#include <gtest/gtest.h>

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

TEST(ItemRecords, ResolveInsideTheLoadedFileOnly) {
  resetState();
  BIN_FileBytes = 0x8000 + 16;
  struct Case {
    const char* address;
    int64_t count;
    RangeProblem problem;
    int first;
  };
  const Case cases[] = {
      {"8000", 16, RangeProblem::None, 32768},
      {" 10 ", 4, RangeProblem::None, 16},
      {"8000", 17, RangeProblem::BeyondFile, 0},
      {"10000000000000000", 1, RangeProblem::BeyondFile, 0},  // digits beyond any number
      {"1000000000000010", 1, RangeProblem::BeyondFile, 0},
      {"1F0G", 1, RangeProblem::NotHexadecimal, 0},
      {"", 1, RangeProblem::NotHexadecimal, 0},
      {"10", -1, RangeProblem::BeyondFile, 0},
  };
  for (const Case& c : cases) {
    const RecordRange range = resolveRecords(c.address, c.count);
    EXPECT_EQ(range.problem, c.problem) << c.address;
    if (c.problem == RangeProblem::None) {
      EXPECT_EQ(range.first, c.first) << c.address;
    }
  }
}

TEST(ItemRecords, ListPositionsOutsideTheTableGiveTheEmptyItem) {
  resetState();
  IndexTable index{};
  index[1] = 7;
  index[2] = 301;  // never a valid item number
  ECU_Items[7].Name = "seven";
  EXPECT_EQ(chosenItem(index, 0).Name, "seven");
  EXPECT_EQ(&chosenItem(index, -1), &ECU_Items[0]);
  EXPECT_EQ(&chosenItem(index, 1), &ECU_Items[0]);
  EXPECT_EQ(&chosenItem(index, 300), &ECU_Items[0]);
}

}  // namespace
}  // namespace trimlet
