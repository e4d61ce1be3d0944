#include "core/stepper.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trimlet {
namespace {

// The start and count boxes after a step of their spin control (-1 is the upper arrow) and the
// checks that follow; typed text that is no number gives way to the last good one.
TEST(Stepper, BoxesStepByOneAndStayWithinTheirBounds) {
  // The text, the last good one, the spin, the last start allowed and what is shown.
  const std::tuple<const char*, const char*, int, int64_t, const char*> starts[] = {
      {"35", "35", -1, 1000, "36"},     {"0", "0", 1, 1000, "0"},
      {"00ab", "35", 0, 1000, "AB"},    {"zz", "AB", 0, 1000, "AB"},
      {"35C", "35C", -1, 0x35C, "35C"}, {"FFFFFFFFFFFFFF", "0", 0, 5, "5"},
  };
  for (const auto& [text, lastGood, spin, last, shown] : starts)
    EXPECT_EQ(limitedStart(steppedStart(text, lastGood, spin), last), shown) << text;

  // The same for the count, with the one count raised by one (a step below the lowest).
  const std::tuple<const char*, const char*, int, int, const char*> counts[] = {
      {"2", "2", 1, 1, "2"},      {"140", "140", -1, 1, "141"}, {"500", "500", -1, 1, "500"},
      {"1", "2", 0, 1, "2"},      {"1", "1", 1, 0, "1"},        {"0", "1", 0, 0, "1"},
      {"9999", "1", 0, 0, "500"}, {"-3", "5", 0, 1, "0"},       {"abc", "7", 0, 1, "7"},
      {"2.5", "1", 0, 0, "2.5"},  {"0", "5", 0, 1, "0"},
  };
  for (const auto& [text, lastGood, spin, raisedFrom, shown] : counts)
    EXPECT_EQ(limitedCount(steppedCount(text, lastGood, spin), raisedFrom), shown) << text;
}

}  // namespace
}  // namespace trimlet
