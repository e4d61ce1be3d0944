#include "core/image.h"

#include <gtest/gtest.h>

#include "core/hex.h"

namespace trimlet {
namespace {

class Image : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    BIN_FileBytes = 4;
    for (int i = 0; i < 20; ++i) BIN_Data[i].Value = {'0', 'A'};
    setImageListener([this](const ImageChange& change) { seen.push_back(change); }, this);
  }
  void TearDown() override { clearImageListener(this); }

  std::vector<ImageChange> seen;
};

TEST_F(Image, WritesOnlyBytesOfTheLoadedFile) {
  EXPECT_TRUE(writeImageByte(3, 0x0B));
  // 4: the filler after the file's last byte.
  for (const int64_t outside : {4, -1, kBinCapacity}) EXPECT_FALSE(writeImageByte(outside, 0x0B));
  EXPECT_EQ(storedValue(BIN_Data[3]), "B ");
  EXPECT_EQ(storedValue(BIN_Data[4]), "0A");
  EXPECT_EQ(imageByte(3), 0x0B);
  EXPECT_FALSE(imageByte(kBinCapacity));
  ASSERT_EQ(seen.size(), 1u);  // a write outside any action is an action of its own
}

TEST_F(Image, AnActionReportsEachRecordOnceWithItsFirstAndLastText) {
  {
    ImageAction outer("typed");
    writeImageByte(2, 0x10);
    {
      ImageAction inner("step");
      writeImageByte(2, 0x11);
      writeImageByte(0, 0x0A);  // the same byte in edit form
    }
    EXPECT_TRUE(seen.empty());  // nothing until the outermost action ends
    writeImageByte(1, 0x0A);
    writeImageByte(1, 0x0B);
    writeImageByte(1, 0x0A);  // back to what it held: no byte changed
    outer.rename("typed 11");
  }
  ASSERT_EQ(seen.size(), 1u);
  const ImageChange& change = seen[0];
  EXPECT_EQ(change.what, "typed 11");
  std::string records;  // index: text before > after
  for (const RecordChange& r : change.records)
    records += std::to_string(r.index) + ":" + std::string(r.before.data(), 2) + ">" +
               std::string(r.after.data(), 2) + "|";
  EXPECT_EQ(records, "0:0A>A |1:0A>A |2:0A>11|");
  EXPECT_TRUE(change.changesBytes());

  seen.clear();
  { ImageAction nothing("arrow key"); }
  writeImageByte(0, 0x0A);  // already in edit form: no record changes
  EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace trimlet
