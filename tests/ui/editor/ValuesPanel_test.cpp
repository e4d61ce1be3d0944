#include "ui/editor/ValuesPanel.h"

#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

class ValuesPanelTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    std::vector<unsigned char> bin(256, 0);
    const std::pair<int, unsigned char> bytes[] = {
        {0x20, 0x7F}, {0x21, 0xFF}, {0x23, 0xFF}, {0x24, 0x7F}, {0x25, 0xFF},
        {0x26, 0x42}, {0x28, 0x01}, {0x29, 0xF4}, {0x2A, 0x03}, {0x2C, 0xFF},
        {0x2D, 0xFF}, {0x2E, 0xFF}, {0x2F, 0xFE}};
    for (const auto& [at, value] : bytes) bin[static_cast<size_t>(at)] = value;
    ASSERT_TRUE(open(
        bin, {valueItem("Idle", "20", 1), valueItem("Max", "21", 1), valueItem("Word", "22", 2),
              valueItem("Big", "24", 2), valueItem("Plain", "26", 1, 0, 5),
              valueItem("Zero", "27", 1), valueItem("Limit", "28", 2, 0.25, -40),
              valueItem("Halved", "2a", 1, 2, 0.5, 1), valueItem("Long", "2C", 4)}));
  }
};

// Arrow clicks (true: the upper one) on a value, most significant byte first, and what they
// leave: the box, the records, the calculated value, and the box when the item is picked again.
TEST_F(ValuesPanelTest, ArrowsStepTheNumberWithinItsBytesAndAlwaysClearSaved) {
  // The item, its first record, the clicks, the raw box, the records, the calculated box and
  // the raw box when picked again.
  using Case = std::tuple<const char*, int, std::vector<bool>, const char*,
                          std::vector<std::string>, const char*, const char*>;
  const Case cases[] = {
      {"Idle", 0x20, {true}, "80", {"80"}, "128.", "80"},
      {"Max", 0x21, {true}, "FF", {"FF"}, "255.", "FF"},
      {"Zero", 0x27, {false}, "0", {"0 "}, ".", "00"},
      {"Word", 0x22, {true}, "100", {"1 ", "0 "}, "256.", "0100"},
      {"Big", 0x24, {true}, "8000", {"80", "0 "}, "32768.", "8000"},  // never negative
      {"Long", 0x2C, {true, true}, "FFFFFFFF", {"FF", "FF", "FF", "FF"}, "4294967295.", "FFFFFFFF"},
      {"Limit", 0x28, {true}, "1F5", {"1 ", "F5"}, "85.25", "01F5"},
      {"Halved", 0x2A, {true}, "4", {"4 "}, "2.5", "04"},
  };
  for (const auto& [item, first, clicks, raw, stored, calc, repicked] : cases) {
    SCOPED_TRACE(item);
    pick("cmb0Dim", item);
    editor->fields().Saved = true;
    for (const bool up : clicks) clickArrow("scrValue", up);
    EXPECT_EQ(text("txtValue_Raw") + "|" + text("txtValue_Calc"), QString(raw) + "|" + calc);
    EXPECT_EQ(records(first, static_cast<int>(stored.size())), stored);
    EXPECT_EQ(child<QScrollBar>("scrValue")->value(), 0);
    EXPECT_FALSE(saved());  // even a step at the limit
    pick("cmb0Dim", item);
    EXPECT_EQ(text("txtValue_Raw"), repicked);
  }
}

// Leaving the box writes what it holds: too large becomes the largest, short fills the leading
// bytes with 0, unchanged rewrites in edit form, and text that is not a number writes nothing.
TEST_F(ValuesPanelTest, TypedNumbersAreWrittenWhenTheBoxIsLeft) {
  // The item, the text typed, the box after, the item's first record, the records, Saved.
  using Case =
      std::tuple<const char*, const char*, const char*, int, std::vector<std::string>, bool>;
  const Case cases[] = {
      {"Idle", "1FF", "FF", 0x20, {"FF"}, false},
      {"Word", "5", "5", 0x22, {"0 ", "5 "}, false},
      {"Word", "123456789ABCDEF0123456", "FFFF", 0x22, {"FF", "FF"}, false},
      {"Long", "123456789", "FFFFFFFF", 0x2C, {"FF", "FF", "FF", "FF"}, false},
      {"Long", "1234567", "1234567", 0x2C, {"1 ", "23", "45", "67"}, false},
      {"Limit", "01F4", "1F4", 0x28, {"1 ", "F4"}, false},
      {"Limit", "G1", "01F4", 0x28, {"01", "F4"}, true},
      {"Limit", "-5", "01F4", 0x28, {"01", "F4"}, true},
      {"Limit", "", "", 0x28, {"01", "F4"}, true},
  };
  for (const auto& [item, typed, shown, first, stored, isSaved] : cases) {
    SCOPED_TRACE(std::string(item) + " " + typed);
    resetState();
    ASSERT_TRUE(open(readBytes(binPath), readText(ecuPath)));
    pick("cmb0Dim", item);
    type("txtValue_Raw", typed);
    EXPECT_EQ(text("txtValue_Raw"), shown);
    EXPECT_EQ(records(first, static_cast<int>(stored.size())), stored);
    EXPECT_EQ(saved(), isSaved);
  }
}

// A click on an arrow takes what the box holds before it steps; with Factor 0 the calculated
// box is left as it is.
TEST_F(ValuesPanelTest, ClickingAnArrowTakesTheTypedNumberBeforeTheStep) {
  pick("cmb0Dim", "Idle");
  for (const auto& [typed, up, shown] :
       {std::tuple{"10", true, "11"}, {"zz", false, "10"}, {"1FF", true, "FF"}}) {
    type("txtValue_Raw", typed, false);
    clickArrow("scrValue", up);
    EXPECT_EQ(text("txtValue_Raw"), shown) << typed;
    EXPECT_EQ(stored(0x20), shown);
  }
  pick("cmb0Dim", "Plain");
  EXPECT_EQ(text("txtValue_Raw") + "|" + text("txtValue_Calc"), "42|");
  child<QLineEdit>("txtValue_Calc")->setText("left alone");
  clickArrow("scrValue", true);
  EXPECT_EQ(stored(0x26) + text("txtValue_Calc").toStdString(), "43left alone");
}

// Ctrl+Z in the raw box undoes its own typing while there is some, then the editor's steps.
TEST_F(ValuesPanelTest, UndoInTheRawBoxTakesItsTypingFirstThenTheEditorsSteps) {
  pick("cmb0Dim", "Word");
  type("txtValue_Raw", "1234");
  type("txtValue_Raw", "AB", false);
  auto* box = child<QLineEdit>("txtValue_Raw");
  for (int typing = 0; typing < 5 && box->isUndoAvailable(); ++typing)
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box->text() + QString::fromStdString(stored(0x22)), "123412");
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  QCoreApplication::processEvents();  // the box follows the image at the next turn
  EXPECT_EQ(box->text() + QString::fromStdString(stored(0x22)), "00FF00");
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(box->text(), "1234");
  child("cmb0Dim")->setFocus();  // the list's field, nothing typed in it
  QTest::keyClick(child("cmb0Dim"), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(stored(0x22), "00");
}

}  // namespace
}  // namespace trimlet::test
