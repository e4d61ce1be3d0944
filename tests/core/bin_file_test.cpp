#include "core/bin_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "core/hex.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using test::patternBytes;
using test::readBytes;
using test::TempDir;

class BinFile : public testing::Test {
 protected:
  void SetUp() override { resetState(); }

  // Writes a file of `size` pattern bytes and points BIN_Path at it.
  std::string useFile(size_t size, const std::string& name = "image.bin") {
    BIN_Path = dir.write(name, patternBytes(size));
    return BIN_Path;
  }

  TempDir dir;
};

std::string address(int index) {
  return std::string(BIN_Data[index].Address.data(), BIN_Data[index].Address.size());
}

TEST_F(BinFile, LoadFillsWholeBlocksAndSaveWritesEveryByteBack) {
  const size_t sizes[] = {0, 10, 16, 32768, 32770, 655343};
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    resetState();
    useFile(size);
    const FileResult result = Load_BIN();
    ASSERT_TRUE(result.ok) << result.message;
    const int records = static_cast<int>(size / 16 * 16 + 16);
    EXPECT_EQ(BIN_Size, records);
    EXPECT_EQ(BIN_FileBytes, static_cast<int64_t>(size));
    const auto bytes = patternBytes(size);
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(recordByte(BIN_Data[i]), bytes[i]) << i;
    for (int i = static_cast<int>(size); i < records; ++i)
      EXPECT_EQ(storedValue(BIN_Data[i]), "00");
    EXPECT_EQ(address(records - 1),
              std::string(6 - numberToHex(records - 1).size(), '0') + numberToHex(records - 1));
    EXPECT_EQ(storedValue(BIN_Data[records]), "");  // nothing beyond the last block

    // A save writes every byte read, the tail after the last whole block included.
    auto expected = bytes;
    if (size > 0) {
      setEditedByte(BIN_Data[0], 0x05);
      setEditedByte(BIN_Data[size - 1], 0xC3);  // in the last, partial block when size % 16 != 0
      expected[0] = 0x05;
      expected[size - 1] = 0xC3;
    }
    const FileResult saved = Save_BIN();
    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(readBytes(BIN_Path), expected);
    EXPECT_EQ(BIN_Size, records);  // the shown size stays
  }
}

TEST_F(BinFile, LoadWritesPaddedAddressesAndValues) {
  auto bytes = patternBytes(8192);
  bytes[4660] = 0x0A;
  BIN_Path = dir.write("image.bin", bytes);
  ASSERT_TRUE(Load_BIN().ok);
  EXPECT_EQ(address(0), "000000");
  EXPECT_EQ(address(4660), "001234");
  EXPECT_EQ(storedValue(BIN_Data[4660]), "0A");
}

TEST_F(BinFile, SmallerImageLeavesTheOlderRecordsAboveIt) {
  useFile(65536, "big.bin");
  ASSERT_TRUE(Load_BIN().ok);
  useFile(32768, "small.bin");
  ASSERT_TRUE(Load_BIN().ok);
  EXPECT_EQ(BIN_Size, 32784);
  EXPECT_EQ(recordByte(BIN_Data[32784]), patternBytes(65536)[32784]);
}

TEST_F(BinFile, RefusesFilesTooLargeAndUnreadableOnesWithoutTouchingTheImage) {
  useFile(1000, "first.bin");
  ASSERT_TRUE(Load_BIN().ok);
  const BIN_Record before = BIN_Data[5];

  useFile(655344, "huge.bin");
  FileResult result = Load_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find("655,344 bytes"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find("655,343 bytes"), std::string::npos) << result.message;

  BIN_Path = (dir.path() / "missing.bin").string();
  result = Load_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(std::strerror(ENOENT)), std::string::npos) << result.message;

  BIN_Path = dir.path().string();
  result = Load_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(std::strerror(EISDIR)), std::string::npos) << result.message;

  EXPECT_EQ(BIN_Size, 1008);
  EXPECT_EQ(BIN_FileBytes, 1000);
  EXPECT_EQ(BIN_Data[5].Value, before.Value);
}

// Every byte value at every position, whatever the size and its tail after the last whole
// block; and the records of a larger file loaded before never reach a smaller one.
TEST_F(BinFile, LoadAndSaveWithoutEditsLeaveEveryFileByteIdentical) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  const size_t sizes[] = {655343, 0, 1, 15, 16, 17, 1000, 32768, 32770, 655343, 5};
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> content(size);
    for (unsigned char& b : content) b = static_cast<unsigned char>(byte(rng));
    BIN_Path = dir.write("round-trip.bin", content);
    ASSERT_TRUE(Load_BIN().ok);
    const FileResult saved = Save_BIN();
    ASSERT_TRUE(saved.ok) << saved.message;
    ASSERT_EQ(readBytes(BIN_Path), content);
  }
}

TEST_F(BinFile, SaveWritesInPlaceKeepingLinksAndPermissions) {
  const std::string path = useFile(64);
  const fs::path link = dir.path() / "link.bin";
  fs::create_hard_link(path, link);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);

  ASSERT_TRUE(Load_BIN().ok);
  setEditedByte(BIN_Data[63], 0xEE);
  ASSERT_TRUE(Save_BIN().ok);

  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(readBytes(link.string()).at(63), 0xEE);
}

TEST_F(BinFile, FailedSaveReportsWhyAndNeverSucceeds) {
  // A folder where the file was: the platform's reason, and the folder untouched.
  const std::string path = useFile(32);
  ASSERT_TRUE(Load_BIN().ok);
  fs::remove(path);
  fs::create_directory(path);
  FileResult result = Save_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(std::strerror(EISDIR)), std::string::npos) << result.message;
  EXPECT_TRUE(fs::is_empty(path));

  // The file's folder removed.
  const fs::path folder = dir.path() / "gone";
  fs::create_directory(folder);
  BIN_Path = dir.write("gone/image.bin", patternBytes(32));
  ASSERT_TRUE(Load_BIN().ok);
  fs::remove_all(folder);
  result = Save_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(std::strerror(ENOENT)), std::string::npos) << result.message;
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(BinFile, SaveThatCannotBuildItsContentLeavesTheFileIntact) {
  const std::string path = useFile(48);
  ASSERT_TRUE(Load_BIN().ok);
  setEditedByte(BIN_Data[0], 0x11);
  BIN_Data[40].Value = {'Z', 'Z'};
  const FileResult result = Save_BIN();
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find("at 28."), std::string::npos) << result.message;
  EXPECT_EQ(readBytes(path), patternBytes(48));
}

}  // namespace
}  // namespace trimlet
