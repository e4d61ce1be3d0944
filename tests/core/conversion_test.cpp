#include "core/conversion.h"

#include <gtest/gtest.h>

#include <limits>

namespace trimlet {
namespace {

TEST(Conversion, PatternShowsTwoDecimalsWithoutZeros) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {12.346, "12.35"}, {1234.5, "1234.5"}, {7, "7."},        {0.5, ".5"},
      {0, "."},          {-0.0, "."},        {-2.25, "-2.25"}, {-0.4, "-.4"},
      {0.125, ".13"},    {2.675, "2.68"},    {-0.125, "-.13"}, {0.005, ".01"},
      {0.0049, "."},     {-0.004, "."},      {9.995, "10."},   {99.999, "100."},
      {110, "110."},     {1e-300, "."},      {4.9e-324, "."},  {12345678901.25, "12345678901.25"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatPattern(c.value), c.text) << c.value;
}

TEST(Conversion, PatternShowsNothingForValuesItCannotShow) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double value :
       {nan, inf, -inf, 1e15, -1e15, 1e300, std::numeric_limits<double>::max()})
    EXPECT_EQ(formatPattern(value), "") << value;
}

TEST(Conversion, CalculatedValueFollowsTheOperation) {
  struct Case {
    double raw;
    int16_t operation;
    double factor;
    double offset;
    const char* text;
  };
  const Case cases[] = {
      {200, 0, 0.75, -40, "110."}, {255, 1, 4, 0, "63.75"}, {17, 0, 0, 12.5, "12.5"},
      {99, 2, 3, 5, "."},          {99, -1, 3, 5, "."},     {0, 1, 4, -0.4, "-.4"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(formatCalculated(c.raw, c.operation, c.factor, c.offset), c.text) << c.raw;
  EXPECT_EQ(calculatedValue(200, 0, 0.75, -40), 110.0);
  EXPECT_EQ(calculatedValue(99, 2, 3, 5), 0.0);
}

TEST(Conversion, NoValueWhenTheRuleHasNone) {
  EXPECT_FALSE(calculatedValue(10, 1, 0, 5));
  EXPECT_FALSE(calculatedValue(0, 1, 0, 0));
  EXPECT_EQ(formatCalculated(10, 1, 0, 5), "");
  EXPECT_FALSE(calculatedValue(255, 0, 1e308, 1e308));
  EXPECT_EQ(formatCalculated(65535, 0, 1e12, 0), "");  // too large to show
}

}  // namespace
}  // namespace trimlet
