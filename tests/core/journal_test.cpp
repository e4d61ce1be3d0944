#include "core/journal.h"

#include <gtest/gtest.h>

#include "core/compare.h"
#include "core/hex.h"

namespace trimlet {
namespace {

class JournalTest : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    BIN_FileBytes = 8;
    for (int i = 0; i < 8; ++i) BIN_Data[i].Value = {'0', '5'};  // as loaded
    setImageListener([this](const ImageChange& change) { journal.record(change); }, this);
  }
  void TearDown() override { clearImageListener(this); }

  // The records as stored, joined: "05 05 5  ..."
  static std::string records() {
    std::string texts;
    for (int i = 0; i < 4; ++i) texts += std::string(storedValue(BIN_Data[i])) + "|";
    return texts;
  }
  void act(const char* name, std::initializer_list<std::pair<int, int>> writes) {
    const ImageAction action(name);
    for (const auto& [index, value] : writes) writeImageByte(index, value);
  }

  Journal journal;
};

// Actions, then undo and redo, and the records each leaves: undo puts back the exact texts.
TEST_F(JournalTest, UndoPutsBackExactlyWhatWasThereAndRedoWhatTheActionLeft) {
  act("first", {{0, 0x10}, {1, 5}});  // record 1: the same byte, rewritten in edit form
  act("second", {{0, 0x11}, {2, 0x22}});
  EXPECT_EQ(records(), "11|5 |22|05|");
  ASSERT_NE(journal.undoStep(), nullptr);
  EXPECT_EQ(journal.undoStep()->what, "second");
  const std::pair<const char*, const char*> steps[] = {
      {"undo", "10|5 |05|05|"}, {"undo", "05|05|05|05|"}, {"undo", "05|05|05|05|"},
      {"redo", "10|5 |05|05|"}, {"redo", "11|5 |22|05|"}, {"redo", "11|5 |22|05|"},
      {"undo", "10|5 |05|05|"}};
  for (const auto& [step, expected] : steps) {
    if (std::string(step) == "undo") {
      journal.undo();
    } else {
      journal.redo();
    }
    EXPECT_EQ(records(), expected) << step;
  }
  act("third", {{3, 0x33}});  // a new action ends what could be redone
  EXPECT_EQ(journal.redoStep(), nullptr);
  EXPECT_EQ(journal.undo().what, "third");
  EXPECT_EQ(journal.undo().what, "first");
}

TEST_F(JournalTest, TheHistoryKeepsTheNewestStepsWithinItsBounds) {
  for (size_t i = 0; i < Journal::kMaxSteps + 5; ++i) act("step", {{0, static_cast<int>(i % 200)}});
  EXPECT_EQ(journal.steps(), Journal::kMaxSteps);
}

// The comparison with a reference: bytes of flags, values and tables, and bytes of no item.
TEST_F(JournalTest, TheComparisonNamesEachDifferingItemAndEveryByteOfNoItem) {
  ECU_Count = 3;
  const auto item = [](const char* address, int16_t cols, int16_t rows, int16_t bytes,
                       int16_t kind) {
    ECU_Item made;
    made.Address = address;
    made.Cols = cols;
    made.Rows = rows;
    made.Bytes = bytes;
    made.Kind = kind;
    return made;
  };
  ECU_Items[1] = item("0", 1, 1, 1, 80);  // a flag byte at 0
  ECU_Items[2] = item("1", 1, 1, 2, 0);   // a two-byte value at 1
  ECU_Items[3] = item("4", 2, 2, 1, 0);   // a 2 x 2 map at 4
  Comparison comparison;
  comparison.setReference(imageBytes());
  EXPECT_TRUE(comparison.report().items.empty());
  act("edit", {{0, 0x04}, {2, 0x06}, {3, 0x07}, {7, 0x08}});
  writeImageByte(2, 5);  // put back: no longer differs
  const Comparison::Report report = comparison.report();
  ASSERT_EQ(report.items.size(), 2u);
  EXPECT_EQ(report.items[0].item, 1);
  EXPECT_EQ(report.items[1].item, 3);
  EXPECT_EQ(report.items[1].records, std::vector<int>({7}));
  EXPECT_EQ(report.outside, std::vector<int>({3}));
  EXPECT_TRUE(comparison.differs(itemRecords(ECU_Items[1])));
  EXPECT_FALSE(comparison.differs(itemRecords(ECU_Items[2])));
  EXPECT_EQ(comparison.referenceByte(0), 5);
  EXPECT_FALSE(comparison.referenceByte(8));
}

}  // namespace
}  // namespace trimlet
