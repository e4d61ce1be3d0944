#include "core/conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace trimlet {
namespace {

TEST(Conversion, PatternShowsTwoDecimalsWithoutZeros) {
  // clang-format off
  const std::pair<double, const char*> cases[] = {
      {12.346, "12.35"}, {7, "7."},        {0.5, ".5"},       {0, "."},
      {-2.25, "-2.25"},  {-0.4, "-.4"},    {0.125, ".13"},    {2.675, "2.68"},
      {-0.125, "-.13"},  {0.005, ".01"},   {0.0049, "."},     {-0.004, "."},
      {9.995, "10."},    {99.999, "100."}, {110, "110."},     {4.9e-324, "."},
      {12345678901.25, "12345678901.25"},  {std::nan(""), ""}, {HUGE_VAL, ""}, {-1e15, ""},  // none
  };
  // clang-format on
  for (const auto& [value, text] : cases) EXPECT_EQ(formatPattern(value), text) << value;
}

TEST(Conversion, CalculatedValueFollowsTheOperation) {
  // Raw value, operation, factor, offset and the text.
  const std::tuple<double, int16_t, double, double, const char*> cases[] = {
      {200, 0, 0.75, -40, "110."}, {255, 1, 4, 0, "63.75"}, {17, 0, 0, 12.5, "12.5"},
      {99, 2, 3, 5, "."},          {99, -1, 3, 5, "."},     {3, 1, 2, 0.5, "2."},
      {10, 1, 0, 5, ""},  // division by zero: no value
      {255, 0, 1e308, 1e308, ""},  {65535, 0, 1e12, 0, ""},
  };
  for (const auto& [raw, operation, factor, offset, text] : cases)
    EXPECT_EQ(formatCalculated(raw, operation, factor, offset), text) << raw;
}

}  // namespace
}  // namespace trimlet
