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
        {0x20, 0x7F}, {0x21, 0xFF}, {0x23, 0xFF}, {0x24, 0x7F}, {0x25, 0xFF}, {0x28, 0x01},
        {0x29, 0xF4}, {0x2C, 0xFF}, {0x2D, 0xFF}, {0x2E, 0xFF}, {0x2F, 0xFE}};
    for (const auto& [at, value] : bytes) bin[static_cast<size_t>(at)] = value;
    ASSERT_TRUE(open(
        bin, {valueItem("Idle", "20", 1), valueItem("Max", "21", 1), valueItem("Word", "22", 2),
              valueItem("Big", "24", 2), valueItem("Zero", "27", 1),
              valueItem("Limit", "28", 2, 0.25, -40), valueItem("Long", "2C", 4)}));
  }
};

// Arrow clicks step a value, most significant byte first, within its bytes and always clear
// Saved, from what the box holds; leaving the box writes what it holds: too large becomes the
// largest, short fills the leading bytes with 0, unchanged rewrites in edit form, and text that
// is not a number writes nothing. Picked again, the box shows every byte.
TEST_F(ValuesPanelTest, ArrowsAndTypedNumbersWriteWithinTheValuesBytes) {
  // The item, its first record, what is done (text typed, then "+" and "-" click the upper and
  // lower arrow; with no click the box is left), the box after, the records, Saved, and the box
  // when the item is picked again.
  using Case = std::tuple<const char*, int, const char*, const char*, std::vector<std::string>,
                          bool, const char*>;
  const Case cases[] = {
      {"Max", 0x21, "+", "FF", {"FF"}, false, "FF"},  // even a step at the limit
      {"Zero", 0x27, "-", "0", {"0 "}, false, "00"},
      {"Word", 0x22, "+", "100", {"1 ", "0 "}, false, "0100"},
      {"Big", 0x24, "+", "8000", {"80", "0 "}, false, "8000"},
      {"Long", 0x2C, "++", "FFFFFFFF", {"FF", "FF", "FF", "FF"}, false, "FFFFFFFF"},
      {"Limit", 0x28, "+", "1F5", {"1 ", "F5"}, false, "01F5"},
      {"Idle", 0x20, "10+", "11", {"11"}, false, "11"},
      {"Idle", 0x20, "zz-", "7E", {"7E"}, false, "7E"},
      {"Idle", 0x20, "1FF+", "FF", {"FF"}, false, "FF"},
      {"Idle", 0x20, "1FF", "FF", {"FF"}, false, "FF"},
      {"Word", 0x22, "123456789ABCDEF0123456", "FFFF", {"FF", "FF"}, false, "FFFF"},
      {"Long", 0x2C, "123456789", "FFFFFFFF", {"FF", "FF", "FF", "FF"}, false, "FFFFFFFF"},
      {"Long", 0x2C, "1234567", "1234567", {"1 ", "23", "45", "67"}, false, "01234567"},
      {"Limit", 0x28, "01F4", "1F4", {"1 ", "F4"}, false, "01F4"},
      {"Limit", 0x28, "G1", "01F4", {"01", "F4"}, true, "01F4"},
      {"Limit", 0x28, "", "", {"01", "F4"}, true, "01F4"},
  };
  for (const auto& [item, first, done, shown, stored, isSaved, repicked] : cases) {
    SCOPED_TRACE(std::string(item) + " " + done);
    resetState();
    ASSERT_TRUE(open(readBytes(binPath), readText(ecuPath)));
    pick("cmb0Dim", item);
    const std::string what = done;
    const size_t arrows = std::min(what.find_first_of("+-"), what.size());
    if (arrows > 0 || arrows == what.size())
      type("txtValue_Raw", QString::fromStdString(what.substr(0, arrows)), arrows == what.size());
    for (const char c : what.substr(arrows)) clickArrow("scrValue", c == '+');
    EXPECT_EQ(child<QScrollBar>("scrValue")->value(), 0);
    EXPECT_EQ(text("txtValue_Raw"), shown);
    EXPECT_EQ(records(first, static_cast<int>(stored.size())), stored);
    EXPECT_EQ(saved(), isSaved);
    pick("cmb0Dim", item);
    EXPECT_EQ(text("txtValue_Raw"), repicked);
  }
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
