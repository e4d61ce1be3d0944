#include "core/hex.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

// The edited form ("B " for 0B) is the journal's test.
TEST(HexText, RecordValuesInLoadedForm) {
  BIN_Record record;
  EXPECT_FALSE(recordByte(record));  // never filled
  record.Value = {'0', 'A'};         // as a load writes it
  EXPECT_EQ(recordByte(record), 10);
  record.Value = {'Z', ' '};
  EXPECT_FALSE(recordByte(record));
}

}  // namespace
}  // namespace trimlet
