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

// Each item is of one class, lies inside the 32K image without overlapping another, and has
// captions of the width its class needs.
TEST_F(DemoFiles, EveryItemFitsItsClassAndTheImage) {
  EXPECT_EQ(BIN_FileBytes, 32768);
  std::set<int64_t> used;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    SCOPED_TRACE(item.Name);
    EXPECT_EQ(isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item), 1);
    const int64_t extent = isFlagByte(item)      ? 1
                           : isSingleValue(item) ? item.Bytes
                                                 : int64_t{item.Cols} * item.Rows;
    const RecordRange range = resolveRecords(item.Address, extent);
    ASSERT_EQ(range.problem, RangeProblem::None);
    EXPECT_LE(range.first + extent, 0x8000);
    for (int64_t r = range.first; r < range.first + extent; ++r)
      EXPECT_TRUE(used.insert(r).second) << "overlap at record " << r;
    if (isFlagByte(item)) {
      EXPECT_EQ(item.Yaxis.size(), 40u);
    }
    if (isArray(item) || isMap(item)) {
      EXPECT_EQ(item.Xaxis.size(), item.Cols > 1 || isMap(item) ? 3u * item.Cols : 0u);
      EXPECT_EQ(item.Yaxis.size(), item.Rows > 1 || isMap(item) ? 5u * item.Rows : 0u);
    }
  }
}

// The demo shows every size and operation of a value and every shape of table.
TEST_F(DemoFiles, CoverEveryKindOfItem) {
  int flags = 0;
  std::set<int> sizes, operations;
  bool oneRow = false, oneColumn = false, nonSquare = false, large = false;
  std::set<std::pair<int, int>> mapSizes;
  for (int i = 1; i <= ECU_Count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    flags += isFlagByte(item);
    if (isSingleValue(item)) {
      sizes.insert(item.Bytes);
      operations.insert(item.Operation);
    }
    oneRow = oneRow || (isArray(item) && item.Rows == 1);
    oneColumn = oneColumn || (isArray(item) && item.Cols == 1);
    if (isMap(item)) {
      mapSizes.insert({item.Cols, item.Rows});
      nonSquare = nonSquare || item.Cols != item.Rows;
      large = large || (item.Cols >= 16 && item.Rows >= 16);
    }
  }
  EXPECT_GE(flags, 2);
  EXPECT_EQ(sizes, (std::set<int>{1, 2, 4}));
  EXPECT_EQ(operations, (std::set<int>{0, 1}));
  EXPECT_TRUE(oneRow && oneColumn && nonSquare && large);
  EXPECT_GE(mapSizes.size(), 3u);
}

}  // namespace
}  // namespace trimlet
