#include "core/hex.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(HexText, ReadsUnsignedNumbersAndNeverWraps) {
  EXPECT_EQ(hexToNumber("8000"), 32768u);  // never a negative 16-bit number
  EXPECT_EQ(hexToNumber("FFFF"), 65535u);
  EXPECT_EQ(hexToNumber(" 1f "), 31u);
  EXPECT_EQ(hexToNumber("FFFFFFFFFFFFFFFF"), UINT64_MAX);
  for (const char* bad : {"", "   ", "1G", "1 2", "0x10", "-1", "10000000000000000"})
    EXPECT_FALSE(hexToNumber(bad)) << bad;
  // Too many digits for any number is still hexadecimal text (a number beyond everything).
  EXPECT_TRUE(isHexText(" 10000000000000000 "));
  EXPECT_FALSE(isHexText("1 2"));
  EXPECT_FALSE(isHexText(std::string_view("1\0", 2)));
  EXPECT_EQ(numberToHex(0), "0");
  EXPECT_EQ(numberToHex(655350), "9FFF6");
}

TEST(HexText, RecordValuesInLoadedAndEditedForm) {
  BIN_Record record;
  EXPECT_FALSE(recordByte(record));  // never filled
  record.Value = {'0', 'A'};         // as a load writes it
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 10);
  EXPECT_EQ(storedValue(record), "A ");
  EXPECT_EQ(twoDigitValue(record), "0A");
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 0xA5);
  EXPECT_EQ(storedValue(record), "A5");
  record.Value = {'Z', ' '};
  EXPECT_FALSE(recordByte(record));
}

}  // namespace
}  // namespace trimlet
