#include "core/text.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(Text, NumbersAreStrictLocaleFreeFiniteAndInRange) {
  const std::pair<const char*, int16_t> ints[] = {
      {" 4", 4},  {"-32768", -32768}, {"32767", 32767}, {"+7", 7},
      {"2.5", 2}, {"3.5", 4},         {"-2.5", -2},  // halves to even
  };
  for (const auto& [text, value] : ints) EXPECT_EQ(toInt16(text), value) << text;
  for (const char* bad : {"32768", "-32769", "32767.5", "", " ", "abc", "4x", "0x10", "++1", "+-1",
                          "nan", "inf", "1e999", "0,75", "1.5.2"})
    EXPECT_FALSE(toInt16(bad)) << bad;
  const std::pair<const char*, double> reals[] = {
      {"0.75", 0.75}, {" -40 ", -40}, {".5", 0.5}, {"1e3", 1000}};
  for (const auto& [text, value] : reals) EXPECT_EQ(toReal(text), value) << text;
  EXPECT_FALSE(toReal("0.75x"));
  EXPECT_FALSE(toReal("-inf"));
  EXPECT_EQ(realText(140) + " " + realText(2.5) + " " + realText(-0.0), "140 2.5 0");
}

// Captions are cut by character, not byte; a byte that starts no character counts as one.
TEST(Text, CaptionsAreCutByCharacterNotByte) {
  EXPECT_EQ(characters("a😀b", 1, 1), "😀");
  EXPECT_EQ(characters("10°20°30°40°", 9, 3), "40°");
  EXPECT_EQ(characters("\x80x", 0, 1), "\x80");
}

}  // namespace
}  // namespace trimlet
