#include "core/hex.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(HexText, ReadsUnsignedNumbersAndNeverWraps) {
  const std::pair<const char*, uint64_t> numbers[] = {
      {"8000", 32768}, {"FFFF", 65535}, {" 1f ", 31}, {"FFFFFFFFFFFFFFFF", UINT64_MAX}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(hexToNumber(text), value) << text;
  for (const char* bad : {"", "   ", "1G", "1 2", "0x10", "-1", "10000000000000000"})
    EXPECT_FALSE(hexToNumber(bad)) << bad;
  // Too many digits for any number is still hexadecimal text (a number beyond everything).
  EXPECT_TRUE(isHexText(" 10000000000000000 "));
  EXPECT_FALSE(isHexText("1 2"));
  EXPECT_FALSE(isHexText(std::string_view("1\0", 2)));
  EXPECT_EQ(numberToHex(0) + " " + numberToHex(655350), "0 9FFF6");
}

TEST(HexText, RecordValuesInLoadedAndEditedForm) {
  BIN_Record record;
  EXPECT_FALSE(recordByte(record));  // never filled
  record.Value = {'0', 'A'};         // as a load writes it
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 10);  // one digit and a blank
  EXPECT_EQ(std::string(storedValue(record)) + "|" + twoDigitValue(record), "A |0A");
  EXPECT_EQ(recordByte(record), 10);
  setEditedByte(record, 0xA5);
  EXPECT_EQ(storedValue(record), "A5");
  record.Value = {'Z', ' '};
  EXPECT_FALSE(recordByte(record));
}

}  // namespace
}  // namespace trimlet
