// The bundled demo files load, parse and exercise every kind of item the editor offers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/state.h"

namespace trimlet {
namespace {

class DemoFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    resetState();
    BIN_Path = std::string(TRIMLET_SOURCE_DIR) + "/examples/demo.bin";
    ECU_Path = std::string(TRIMLET_SOURCE_DIR) + "/examples/demo.ecu";
    ASSERT_TRUE(Load_BIN().ok);
    const ParseResult parsed = Parse_ECU();
    ASSERT_EQ(parsed.outcome, ParseOutcome::Ok) << parsed.message;
  }
  void TearDown() override { resetState(); }
};

// How many records an item covers: its bytes for a single value, every cell for a table.
int64_t extent(const ECU_Item& item) {
  if (isFlagByte(item)) return 1;
  if (isSingleValue(item)) return item.Bytes;
  return static_cast<int64_t>(item.Cols) * item.Rows;
}

TEST_F(DemoFiles, ImageIsThirtyTwoKilobytes) {
  EXPECT_EQ(BIN_FileBytes, 32768);
  EXPECT_EQ(BIN_Size, 32784);
}

TEST_F(DemoFiles, EveryItemFallsIntoExactlyOneClassAndTheCountsAddUp) {
  int flags = 0, values = 0, arrays = 0, maps = 0;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    const int classes = isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item);
    EXPECT_EQ(classes, 1) << item.Name;
    flags += isFlagByte(item);
    values += isSingleValue(item);
    arrays += isArray(item);
    maps += isMap(item);
  }
  EXPECT_EQ(flags + values + arrays + maps, ECU_Count);
  EXPECT_GE(flags, 2);
  EXPECT_GE(values, 1);
  EXPECT_GE(arrays, 1);
  EXPECT_GE(maps, 1);
}

TEST_F(DemoFiles, EveryItemLiesInsideTheImageWithoutOverlap) {
  std::set<int64_t> used;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    const RecordRange range = resolveRecords(item.Address, extent(item));
    ASSERT_EQ(range.problem, RangeProblem::None) << item.Name;
    EXPECT_LE(range.first + extent(item), 0x8000) << item.Name;
    for (int64_t r = range.first; r < range.first + extent(item); ++r)
      EXPECT_TRUE(used.insert(r).second) << item.Name << " overlaps at record " << r;
  }
}

TEST_F(DemoFiles, FlagBytesCaptionAllEightBits) {
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    if (!isFlagByte(item)) continue;
    EXPECT_EQ(item.Yaxis.size(), 40u) << item.Name;
    EXPECT_FALSE(item.Xaxis.empty()) << item.Name;
  }
}

TEST_F(DemoFiles, SingleValuesCoverEverySizeAndBothOperations) {
  std::set<int> sizes;
  std::set<int> operations;
  bool scaled = false, plain = false;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    if (!isSingleValue(item)) continue;
    sizes.insert(item.Bytes);
    operations.insert(item.Operation);
    scaled = scaled || (item.Factor != 0 && item.Factor != 1) || item.Offset != 0;
    plain = plain || ((item.Factor == 0 || item.Factor == 1) && item.Offset == 0);
  }
  EXPECT_EQ(sizes, (std::set<int>{1, 2, 4}));
  EXPECT_EQ(operations, (std::set<int>{0, 1}));
  EXPECT_TRUE(scaled);
  EXPECT_TRUE(plain);
}

TEST_F(DemoFiles, TablesHaveOneRowOneColumnSquareNonSquareAndLargeShapes) {
  bool oneRow = false, oneColumn = false, nonSquare = false, large = false;
  std::set<std::pair<int, int>> mapSizes;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    if (isArray(item)) {
      oneRow = oneRow || item.Rows == 1;
      oneColumn = oneColumn || item.Cols == 1;
      EXPECT_EQ(item.Xaxis.size(), item.Cols > 1 ? 3u * item.Cols : 0u) << item.Name;
      EXPECT_EQ(item.Yaxis.size(), item.Rows > 1 ? 5u * item.Rows : 0u) << item.Name;
    }
    if (isMap(item)) {
      mapSizes.insert({item.Cols, item.Rows});
      nonSquare = nonSquare || item.Cols != item.Rows;
      large = large || (item.Cols >= 16 && item.Rows >= 16);
      EXPECT_EQ(item.Xaxis.size(), 3u * item.Cols) << item.Name;
      EXPECT_EQ(item.Yaxis.size(), 5u * item.Rows) << item.Name;
    }
  }
  EXPECT_TRUE(oneRow);
  EXPECT_TRUE(oneColumn);
  EXPECT_TRUE(nonSquare);
  EXPECT_TRUE(large);
  EXPECT_GE(mapSizes.size(), 3u);
}

}  // namespace
}  // namespace trimlet
