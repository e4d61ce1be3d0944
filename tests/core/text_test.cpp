#include "core/text.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(Text, NumbersAreStrictLocaleFreeFiniteAndInRange) {
  EXPECT_EQ(toInt16(" 4"), 4);
  EXPECT_EQ(toInt16("-32768"), -32768);
  EXPECT_EQ(toInt16("32767"), 32767);
  EXPECT_EQ(toInt16("2.5"), 2);  // halves to even
  EXPECT_EQ(toInt16("3.5"), 4);
  EXPECT_EQ(toInt16("-2.5"), -2);
  EXPECT_EQ(toInt16("+7"), 7);
  for (const char* bad : {"32768", "-32769", "32767.5", "", " ", "abc", "4x", "0x10", "++1", "+-1",
                          "nan", "inf", "1e999", "0,75", "1.5.2"})
    EXPECT_FALSE(toInt16(bad)) << bad;
  EXPECT_EQ(toReal("0.75"), 0.75);
  EXPECT_EQ(toReal(" -40 "), -40.0);
  EXPECT_EQ(toReal(".5"), 0.5);
  EXPECT_EQ(toReal("1e3"), 1000.0);
  EXPECT_FALSE(toReal("0.75x"));
  EXPECT_FALSE(toReal("-inf"));
  EXPECT_EQ(realText(140), "140");
  EXPECT_EQ(realText(2.5), "2.5");
  EXPECT_EQ(realText(-0.0), "0");
}

TEST(Text, CaptionsAreCutByCharacterNotByte) {
  struct Case {
    std::string text;
    size_t first;
    size_t count;
    std::string slice;
  };
  const Case cases[] = {
      {"10°20°30°40°", 0, 3, "10°"},
      {"10°20°30°40°", 9, 3, "40°"},
      {"µs 1 |µs 2 ", 5, 5, "|µs 2"},
      {"Fan1 Fan2", 5, 5, "Fan2"},
      {"ab", 5, 5, ""},
      {"a😀b", 1, 1, "😀"},
      {"\x80x", 0, 1, "\x80"},  // a byte that starts no character counts as one
  };
  for (const Case& c : cases) EXPECT_EQ(characters(c.text, c.first, c.count), c.slice) << c.text;
  EXPECT_TRUE(equalsNoCase("Upload Execute", "upload EXECUTE"));
  EXPECT_EQ(upper("ecu format"), "ECU FORMAT");
}

}  // namespace
}  // namespace trimlet
