#include "core/bin_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/hex.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using namespace test;

class BinFile : public testing::Test {
 protected:
  void SetUp() override { resetState(); }
  test::TempDir dir;
};

// Every byte value at every position, whatever the size and its tail after the last whole
// block: records hold the file, the last block is filled with 00, and a save writes every byte
// the load read, an edit in the tail included.
TEST_F(BinFile, LoadFillsWholeBlocksAndSaveWritesEveryByteBack) {
  std::mt19937 rng(7);
  // The file's size and the records its whole blocks fill.
  for (const auto& [size, records] : {std::pair<size_t, int>{655343, 655344},
                                      {0, 16},
                                      {10, 16},
                                      {16, 32},
                                      {17, 32},
                                      {32770, 32784}}) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> content(size);
    for (unsigned char& b : content) b = static_cast<unsigned char>(rng());
    BIN_Path = dir.write("image.bin", content);
    ASSERT_TRUE(Load_BIN().ok);
    EXPECT_EQ(BIN_Size, records);
    EXPECT_EQ(BIN_FileBytes, static_cast<int64_t>(size));
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(recordByte(BIN_Data[i]), content[i]) << i;
    for (int i = static_cast<int>(size); i < records; ++i)
      EXPECT_EQ(storedValue(BIN_Data[i]), "00");
    if (size > 0) {
      setEditedByte(BIN_Data[0], content[0] = 0x05);
      setEditedByte(BIN_Data[size - 1], content[size - 1] = 0xC3);
    }
    ASSERT_TRUE(Save_BIN().ok);
    EXPECT_EQ(readBytes(BIN_Path), content);
  }
}

// Records hold a 6-digit address and a 2-digit value; those of a larger file loaded earlier
// stay above a smaller one's, and a file refused leaves the image as it was.
TEST_F(BinFile, LoadLeavesOlderRecordsAboveTheFileAndRefusedFilesLeaveTheImage) {
  BIN_Path = dir.write("big.bin", patternBytes(65536));
  ASSERT_TRUE(Load_BIN().ok);
  auto small = patternBytes(32768);
  small[4660] = 0x0A;
  BIN_Path = dir.write("small.bin", small);
  ASSERT_TRUE(Load_BIN().ok);
  BIN_Path = dir.write("huge.bin", patternBytes(655344));
  EXPECT_FALSE(Load_BIN().ok);
  EXPECT_EQ(std::string(BIN_Data[4660].Address.data(), 6), "001234");
  EXPECT_EQ(storedValue(BIN_Data[4660]), "0A");
  EXPECT_EQ(BIN_Size, 32784);
  EXPECT_EQ(BIN_FileBytes, 32768);
  EXPECT_EQ(recordByte(BIN_Data[32784]), patternBytes(65536)[32784]);
}

}  // namespace
}  // namespace trimlet
