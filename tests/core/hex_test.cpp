#include "core/hex.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(HexText, ReadsUnsignedAndNeverNegative) {
  EXPECT_EQ(hexToNumber("8000"), 32768u);
  EXPECT_EQ(hexToNumber("FFFF"), 65535u);
  EXPECT_EQ(hexToNumber(" 1f "), 31u);
  EXPECT_EQ(hexToNumber("0"), 0u);
  EXPECT_FALSE(hexToNumber(""));
  EXPECT_FALSE(hexToNumber("   "));
  EXPECT_FALSE(hexToNumber("1G"));
  EXPECT_FALSE(hexToNumber("1 2"));
  EXPECT_FALSE(hexToNumber("0x10"));
  EXPECT_EQ(hexToNumber("FFFFFFFFFFFFFFFF"), UINT64_MAX);
  EXPECT_FALSE(hexToNumber("10000000000000000"));  // too long: invalid, never wrapped
}

TEST(HexText, DigitsOnlyHoweverMany) {
  EXPECT_TRUE(isHexText(" 10000000000000000 "));
  EXPECT_TRUE(isHexText("aF09"));
  EXPECT_FALSE(isHexText(""));
  EXPECT_FALSE(isHexText("  "));
  EXPECT_FALSE(isHexText("1 2"));
  EXPECT_FALSE(isHexText("-1"));
  EXPECT_FALSE(isHexText(std::string_view("1\0", 2)));
}

TEST(HexText, WritesUpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(numberToHex(0), "0");
  EXPECT_EQ(numberToHex(10), "A");
  EXPECT_EQ(numberToHex(0x1234), "1234");
  EXPECT_EQ(numberToHex(655350), "9FFF6");
}

TEST(HexText, RecordValuesInLoadedAndEditedForm) {
  BIN_Record record;
  EXPECT_FALSE(recordByte(record));  // never filled
  record.Value = {'0', 'A'};         // as the load writes it
  EXPECT_EQ(storedValue(record), "0A");
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 10);
  EXPECT_EQ(storedValue(record), "A ");
  EXPECT_EQ(twoDigitValue(record), "0A");
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 0xA5);
  EXPECT_EQ(storedValue(record), "A5");
  setEditedByte(record, 0);
  EXPECT_EQ(storedValue(record), "0 ");
}

}  // namespace
}  // namespace trimlet
