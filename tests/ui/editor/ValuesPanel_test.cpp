#include "ui/editor/ValuesPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "support/ui/Modal.h"
#include "ui/editor/EditorTest.h"

namespace trimlet::test {
namespace {

class ValuesPanelTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    std::vector<unsigned char> bin(256, 0);
    const std::pair<int, unsigned char> bytes[] = {
        {0x20, 0x7F}, {0x21, 0xFF}, {0x23, 0xFF}, {0x24, 0x7F}, {0x25, 0xFF},
        {0x26, 0x42}, {0x28, 0x01}, {0x29, 0xF4}, {0x2A, 0x03}, {0xFF, 0x99}};
    for (const auto& [at, value] : bytes) bin[static_cast<size_t>(at)] = value;
    ASSERT_TRUE(open(bin, ecuText({
                              valueItem("Idle", "20", 1),
                              valueItem("Max", "21", 1),
                              valueItem("Word", "22", 2),
                              valueItem("Big", "24", 2),
                              valueItem("Plain", "26", 1, 0, 5),
                              valueItem("Zero", "27", 1),
                              valueItem("Limit", "28", 2, 0.25, -40),
                              valueItem("Halved", "2a", 1, 2, 0.5, 1),
                              valueItem("Straddle", "FF", 2),
                              valueItem("Outside", "FFFF", 1),
                              valueItem("Wide", "30", 5),
                              valueItem("Nothex", "2G", 1),
                          })));
    raw = child<QLineEdit>("txtValue_Raw");
    calc = child<QLineEdit>("txtValue_Calc");
    spin = child<QScrollBar>("scrValue");
  }

  // Types into the raw box and leaves it with Tab, as the user does.
  void typeRaw(const QString& text) const {
    raw->setFocus(Qt::MouseFocusReason);
    raw->selectAll();
    QTest::keyClicks(raw, text);
    QTest::keyClick(raw, Qt::Key_Tab);
  }

  bool& saved() const { return editor->fields().Saved; }

  QLineEdit* raw = nullptr;
  QLineEdit* calc = nullptr;
  QScrollBar* spin = nullptr;
};

TEST_F(ValuesPanelTest, ChoosingShowsTheJoinedBytesAndCalculatedValue) {
  EXPECT_EQ(child<QLabel>("lblValue_Xlabel")->text(), "X Label");
  EXPECT_TRUE(calc->isReadOnly());
  pick("cmb0Dim", "Limit");
  EXPECT_EQ(raw->text(), "01F4");
  EXPECT_EQ(calc->text(), "85.");  // 500 x 0.25 - 40
  EXPECT_EQ(child<QLabel>("lblValue_Xlabel")->text(), "Limit units");
  EXPECT_EQ(spin->value(), 0);
  pick("cmb0Dim", "Halved");
  EXPECT_EQ(calc->text(), "2.");  // 3 / 2 + 0.5
  EXPECT_TRUE(saved());
}

// Arrow clicks on a value, most significant byte first, and what they leave: the box, the
// records, the calculated value and the box when the item is picked again.
struct StepCase {
  const char* item;
  int address;
  std::vector<bool> clicks;  // true: the upper arrow
  const char* raw;
  std::vector<std::string> stored;
  const char* calc;      // nullptr: not checked
  const char* repicked;  // nullptr: not checked
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.item << " " << c.raw; }

class ValueSteps : public ValuesPanelTest, public testing::WithParamInterface<StepCase> {};

TEST_P(ValueSteps, StepOneAndClearSaved) {
  const StepCase& c = GetParam();
  pick("cmb0Dim", c.item);
  for (const bool up : c.clicks) clickArrow(spin, up);
  EXPECT_EQ(raw->text(), c.raw);
  for (size_t i = 0; i < c.stored.size(); ++i)
    EXPECT_EQ(stored(c.address + static_cast<int>(i)), c.stored[i]) << i;
  if (c.calc) {
    EXPECT_EQ(calc->text(), c.calc);
  }
  EXPECT_EQ(spin->value(), 0);
  EXPECT_FALSE(saved());  // even a step at the limit
  if (c.repicked) {
    pick("cmb0Dim", c.item);
    EXPECT_EQ(raw->text(), c.repicked);
  }
}

const StepCase kSteps[] = {
    {"Idle", 0x20, {true}, "80", {"80"}, "128.", nullptr},
    {"Idle", 0x20, {true, false, false}, "7E", {"7E"}, nullptr, nullptr},
    {"Max", 0x21, {true}, "FF", {"FF"}, nullptr, nullptr},
    {"Zero", 0x27, {false}, "0", {"0 "}, nullptr, nullptr},
    {"Word", 0x22, {true}, "100", {"1 ", "0 "}, nullptr, nullptr},
    {"Word", 0x22, {true, false, false}, "FE", {"0 ", "FE"}, nullptr, "00FE"},
    {"Big", 0x24, {true}, "8000", {"80", "0 "}, "32768.", nullptr},  // never negative
};
INSTANTIATE_TEST_SUITE_P(Values, ValueSteps, testing::ValuesIn(kSteps));

TEST_F(ValuesPanelTest, FactorZeroEmptiesTheCalculatedBoxAndStepsLeaveIt) {
  pick("cmb0Dim", "Idle");
  EXPECT_EQ(calc->text(), "127.");
  pick("cmb0Dim", "Plain");
  EXPECT_EQ(raw->text(), "42");
  EXPECT_TRUE(calc->text().isEmpty());
  calc->setText("left alone");
  clickArrow(spin, true);
  EXPECT_EQ(stored(0x26), "43");
  EXPECT_EQ(calc->text(), "left alone");
}

TEST_F(ValuesPanelTest, TypedNumberTooLargeBecomesTheLargest) {
  pick("cmb0Dim", "Idle");
  typeRaw("1FF");
  EXPECT_EQ(raw->text(), "FF");
  EXPECT_EQ(stored(0x20), "FF");
  EXPECT_FALSE(saved());

  pick("cmb0Dim", "Word");
  typeRaw("123456789ABCDEF0123456");  // beyond 64 bits, still a number
  EXPECT_EQ(raw->text(), "FFFF");
  EXPECT_EQ(stored(0x22), "FF");
  EXPECT_EQ(stored(0x23), "FF");
}

TEST_F(ValuesPanelTest, TypedShortNumberFillsLeadingBytesWithZero) {
  pick("cmb0Dim", "Word");
  typeRaw("5");
  EXPECT_EQ(raw->text(), "5");
  EXPECT_EQ(stored(0x22), "0 ");
  EXPECT_EQ(stored(0x23), "5 ");
  pick("cmb0Dim", "Word");
  EXPECT_EQ(raw->text(), "0005");
  EXPECT_EQ(spin->value(), 0);
}

TEST_F(ValuesPanelTest, TypedTextThatIsNotHexadecimalWritesNothing) {
  pick("cmb0Dim", "Limit");
  for (const QString junk : {"G1", "1 2", "-5", "  "}) {
    typeRaw(junk);
    EXPECT_EQ(raw->text(), "01F4") << junk.toStdString();
    EXPECT_EQ(stored(0x28), "01");
    EXPECT_EQ(stored(0x29), "F4");
    EXPECT_TRUE(saved());
  }
}

TEST_F(ValuesPanelTest, LeavingTheBoxRewritesItsNumberInEditForm) {
  pick("cmb0Dim", "Limit");
  raw->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(raw, Qt::Key_Tab);
  EXPECT_EQ(stored(0x28), "1 ");
  EXPECT_EQ(stored(0x29), "F4");
  EXPECT_EQ(raw->text(), "1F4");
  EXPECT_FALSE(saved());

  saved() = true;
  raw->setFocus(Qt::MouseFocusReason);
  raw->clear();
  QTest::keyClick(raw, Qt::Key_Tab);  // an emptied box writes nothing
  EXPECT_EQ(stored(0x28), "1 ");
  EXPECT_TRUE(saved());
}

// The typed text is written (or put back, or corrected) first, then stepped.
TEST_F(ValuesPanelTest, ClickingAnArrowLeavesTheBoxBeforeTheStep) {
  pick("cmb0Dim", "Idle");
  const std::tuple<QString, bool, QString> cases[] = {
      {"10", true, "11"}, {"zz", false, "10"}, {"1FF", true, "FF"}};
  for (const auto& [typed, up, shown] : cases) {
    raw->setFocus(Qt::MouseFocusReason);
    raw->selectAll();
    QTest::keyClicks(raw, typed);
    clickArrow(spin, up);
    EXPECT_TRUE(spin->hasFocus());
    EXPECT_EQ(raw->text(), shown) << typed.toStdString();
    EXPECT_EQ(QString::fromStdString(stored(0x20)), shown);
  }
}

TEST_F(ValuesPanelTest, AStepNeverWritesOutsideTheRangeWhateverTheBoxHolds) {
  pick("cmb0Dim", "Idle");
  raw->setText("100");  // one past the largest byte, put there without leaving the box
  spin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(stored(0x20), "7F");
  raw->setText("FFFFFFFFFFFFFFFF");
  spin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(stored(0x20), "7F");
  raw->setText("");
  spin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(stored(0x20), "7F");
  EXPECT_EQ(raw->text(), "7F");
  EXPECT_EQ(stored(0x21), "FF");
  EXPECT_EQ(spin->value(), 0);
}

TEST_F(ValuesPanelTest, NothingIsWrittenWithoutAChosenEntry) {
  std::vector<std::string> before;
  for (int i = 0; i < 0x40; ++i) before.push_back(stored(i));
  clickArrow(spin, true);
  typeRaw("5");
  EXPECT_TRUE(raw->text().isEmpty());  // no entry: no bytes, so any number empties the box

  pick("cmb0Dim", "Idle");
  auto* list = child<QComboBox>("cmb0Dim");
  list->lineEdit()->setFocus();
  QTest::keyClicks(list->lineEdit(), "x");
  EXPECT_EQ(list->currentIndex(), -1);
  clickArrow(spin, true);
  for (int i = 0; i < 0x40; ++i) EXPECT_EQ(stored(i), before[static_cast<size_t>(i)]) << i;
  EXPECT_TRUE(saved());
}

TEST_F(ValuesPanelTest, EnterInTheBoxNeitherSavesNorCloses) {
  pick("cmb0Dim", "Idle");
  raw->setFocus(Qt::MouseFocusReason);
  const QStringList messages = answerMessages([&] { QTest::keyClick(raw, Qt::Key_Return); });
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(editor->isVisible());
}

// Their notes are checked with the hostile files; here, that nothing is read or written.
TEST_F(ValuesPanelTest, ItemsThatDoNotFitAreShownButNeverReadOrWritten) {
  for (const char* name : {"Straddle", "Outside", "Wide", "Nothex"}) {
    pick("cmb0Dim", "Idle");
    EXPECT_TRUE(raw->isEnabled());
    pick("cmb0Dim", name);
    EXPECT_EQ(child<QLabel>("lblValue_Xlabel")->text(), QString(name) + " units");
    EXPECT_FALSE(raw->isEnabled()) << name;
    EXPECT_FALSE(spin->isEnabled()) << name;
    EXPECT_TRUE(raw->text().isEmpty());
    EXPECT_TRUE(calc->text().isEmpty());

    raw->setText("12");  // even when reached from code, nothing is written
    spin->setValue(-1);
    EXPECT_EQ(spin->value(), 0);
  }
  EXPECT_EQ(stored(0xFF), "99");
  EXPECT_EQ(stored(0x100), "00");
  EXPECT_EQ(stored(0x30), "00");
  EXPECT_TRUE(saved());
}

}  // namespace
}  // namespace trimlet::test
