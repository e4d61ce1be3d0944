#include "core/state.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trimlet {
namespace {

TEST(ItemRecords, ResolveInsideTheLoadedFileOnly) {
  resetState();
  BIN_FileBytes = 0x8000 + 16;
  const std::tuple<const char*, int64_t, RangeProblem, int> cases[] = {
      {"8000", 16, RangeProblem::None, 32768},
      {" 10 ", 4, RangeProblem::None, 16},
      {"8000", 17, RangeProblem::BeyondFile, 0},
      {"10000000000000000", 1, RangeProblem::BeyondFile, 0},  // digits beyond any number
      {"1000000000000010", 1, RangeProblem::BeyondFile, 0},
      {"1F0G", 1, RangeProblem::NotHexadecimal, 0},
      {"", 1, RangeProblem::NotHexadecimal, 0},
      {"10", -1, RangeProblem::BeyondFile, 0},
  };
  for (const auto& [address, count, problem, first] : cases) {
    const RecordRange range = resolveRecords(address, count);
    EXPECT_EQ(range.problem, problem) << address;
    EXPECT_EQ(range.problem == RangeProblem::None ? range.first : 0, first) << address;
  }
}

}  // namespace
}  // namespace trimlet
