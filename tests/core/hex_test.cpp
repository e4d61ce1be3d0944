#include "core/hex.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

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
