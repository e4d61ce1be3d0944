#include "core/journal.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/compare.h"
#include "core/hex.h"
#include "core/image.h"

namespace trimlet {
namespace {

// Eight bytes of 05 as loaded, and what the one write path reports of them.
class JournalTest : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    BIN_FileBytes = 8;
    for (int i = 0; i < 20; ++i) BIN_Data[i].Value = {'0', '5'};
    // The editor's history records the user's actions; undo and redo are announced too.
    subscription = ImageSubscription([this](const ImageChange& change) {
      seen.push_back(change);
      if (change.kind == ChangeKind::Action) journal.record(change);
    });
  }

  // The first records as stored: "05|5 |..."
  static std::string records() {
    std::string texts;
    for (int i = 0; i < 4; ++i) texts += std::string(storedValue(BIN_Data[i])) + "|";
    return texts;
  }
  void act(const char* name, std::initializer_list<std::pair<int, int>> writes) {
    const ImageAction action(name);
    for (const auto& [index, value] : writes) writeImageByte(index, value);
  }

  std::vector<ImageChange> seen;
  Journal journal;
  ImageSubscription subscription;
};

// Only bytes of the file are written; an action reports each record once, first and last text.
TEST_F(JournalTest, TheImageWritesOnlyBytesOfTheFileAndReportsEachRecordOnce) {
  EXPECT_TRUE(writeImageByte(3, 0x0B));
  // 8: the filler after the file's last byte.
  for (const int64_t outside : {8, -1, kBinCapacity}) EXPECT_FALSE(writeImageByte(outside, 0x0B));
  EXPECT_EQ(std::string(storedValue(BIN_Data[3])) + "|" + twoDigitValue(BIN_Data[8]), "B |05");
  EXPECT_EQ(imageByte(3), 0x0B);
  EXPECT_FALSE(imageByte(kBinCapacity));
  ASSERT_EQ(seen.size(), 1u);  // a write outside any action is an action of its own
  seen.clear();
  {
    ImageAction outer("typed");
    writeImageByte(2, 0x10);
    {
      ImageAction inner("step");
      writeImageByte(2, 0x11);
      writeImageByte(0, 0x05);  // the same byte in edit form
    }
    EXPECT_TRUE(seen.empty());  // nothing until the outermost action ends
    writeImageByte(1, 0x05);
    writeImageByte(1, 0x0B);
    writeImageByte(1, 0x05);  // back to what it held: no byte changed
    outer.rename("typed 11");
  }
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].what, "typed 11");
  std::string records;  // index: text before > after
  for (const RecordChange& r : seen[0].records)
    records += std::to_string(r.index) + ":" + std::string(r.before.data(), 2) + ">" +
               std::string(r.after.data(), 2) + "|";
  EXPECT_EQ(records, "0:05>5 |1:05>5 |2:05>11|");
  seen.clear();
  { ImageAction nothing("arrow key"); }
  writeImageByte(0, 0x05);  // already in edit form: no record changes
  EXPECT_TRUE(seen.empty());
}

// Actions, then undo and redo, and the records each leaves: undo puts back the exact texts.
TEST_F(JournalTest, UndoAndRedoPutBackExactTextsWithinABoundedHistory) {
  act("first", {{0, 0x10}, {1, 5}});  // record 1: the same byte, rewritten in edit form
  act("second", {{0, 0x11}, {2, 0x22}});
  EXPECT_EQ(records(), "11|5 |22|05|");
  const uint64_t second = journal.state();
  EXPECT_EQ(journal.undoStep() ? journal.undoStep()->what : "", "second");
  // u: undo, r: redo; the third of each in a row finds nothing to do.
  const std::pair<char, const char*> steps[] = {
      {'u', "10|5 |05|05|"}, {'u', "05|05|05|05|"}, {'u', "05|05|05|05|"}, {'r', "10|5 |05|05|"},
      {'r', "11|5 |22|05|"}, {'r', "11|5 |22|05|"}, {'u', "10|5 |05|05|"}};
  for (const auto& [step, expected] : steps) {
    (void)(step == 'u' ? journal.undo() : journal.redo());
    EXPECT_EQ(records(), expected) << step;
  }
  EXPECT_NE(journal.state(), second);
  journal.redo();
  EXPECT_EQ(journal.state(), second);  // the image as it was after "second", and named so
  journal.undo();
  act("third", {{3, 0x33}});  // a new action ends what could be redone
  EXPECT_EQ(journal.redoStep(), nullptr);
  EXPECT_EQ(journal.undo()->what, "third");
  EXPECT_EQ(journal.undo()->what, "first");
  // The history is bounded.
  for (int i = 0; i < 1005; ++i) act("step", {{0, i % 200}});
  EXPECT_EQ(journal.steps(), 1000u);
}

// The comparison with a reference: bytes of flags, values and tables, and bytes of no item.
TEST_F(JournalTest, TheComparisonNamesEachDifferingItemAndEveryByteOfNoItem) {
  ECU_Count = 3;
  // Address, columns and rows, bytes and kind: a flag byte at 0, a two-byte value at 1 and a
  // 2 x 2 map at 4.
  const std::tuple<const char*, int16_t, int16_t, int16_t> items[] = {
      {"0", 1, 1, 80}, {"1", 1, 2, 0}, {"4", 2, 1, 0}};
  for (int i = 1; i <= 3; ++i) {
    ECU_Item& item = ECU_Items[i];
    std::tie(item.Address, item.Cols, item.Bytes, item.Kind) = items[i - 1];
    item.Rows = item.Cols;
  }
  Comparison comparison;
  comparison.setReference(imageBytes());
  EXPECT_TRUE(comparison.report().items.empty());
  act("edit", {{0, 0x04}, {2, 0x06}, {3, 0x07}, {7, 0x08}});
  writeImageByte(2, 5);  // put back: no longer differs
  const Comparison::Report report = comparison.report();
  ASSERT_EQ(report.items.size(), 2u);
  EXPECT_EQ(std::tuple(report.items[0].item, report.items[1].item, report.items[1].records),
            std::tuple(1, 3, std::vector{7}));
  EXPECT_EQ(report.outside, std::vector{3});
  EXPECT_TRUE(comparison.differs(itemRecords(ECU_Items[1])));
  EXPECT_FALSE(comparison.differs(itemRecords(ECU_Items[2])));
  EXPECT_EQ(comparison.referenceByte(0), 5);
  EXPECT_FALSE(comparison.referenceByte(8));  // beyond the file
  comparison.setReference({});                // a reference lacking bytes: each of them differs
  EXPECT_EQ(comparison.report().items.size() + comparison.report().outside.size(), 4u);
}

}  // namespace
}  // namespace trimlet
