#include "ui/editor/FlagsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/editor/EditorTest.h"

namespace trimlet::test {
namespace {

class FlagsPanelTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    std::vector<unsigned char> bin(64, 0);
    bin[0x10] = 0xA5;
    ASSERT_TRUE(open(bin, ecuText({
                              flagItem("Options", "10", "Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle"),
                              flagItem("Spare", "11", "ABCDEFGHIJKL"),
                              flagItem("Long", "12", std::string(40, 'x') + "TAIL"),
                              flagItem("Far", "40"),
                              flagItem("Bad", "1-2"),
                          })));
  }

  QCheckBox* box(int i) const { return child<QCheckBox>(QString("chkFlag(%1)").arg(i)); }
  QString caption(int i) const {
    return child<QLabel>(QString("lblFlag_Yaxis(%1)").arg(i))->text();
  }
  std::vector<int> checkedBoxes() const {
    std::vector<int> on;
    for (int i = 0; i < 8; ++i)
      if (box(i)->isChecked()) on.push_back(i);
    return on;
  }
  bool& saved() const { return editor->fields().Saved; }
};

// Showing an item, or another one, never counts as a change nor writes a byte.
TEST_F(FlagsPanelTest, BoxZeroIsTheTopBitAndPickingWritesNothing) {
  pick("cmbFlag", "Options");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{0, 2, 5, 7}));
  pick("cmbFlag", "Spare");
  pick("cmbFlag", "Options");
  EXPECT_EQ(stored(0x10), "A5");
  EXPECT_EQ(stored(0x11), "00");
  EXPECT_TRUE(saved());
}

TEST_F(FlagsPanelTest, ShowsTitlesAndFiveCharacterCaptions) {
  pick("cmbFlag", "Options");
  EXPECT_EQ(child<QLabel>("lblFlag_Xaxis")->text(), "Options word");
  EXPECT_EQ(child<QLabel>("lblFlag_Xlabel")->text(), "Checked means on");
  EXPECT_EQ(child<QLabel>("lblFlag_Ylabel")->text(), "Bit");
  EXPECT_EQ(caption(0), "Fan1 ");
  EXPECT_EQ(caption(2), "Ign  ");
  EXPECT_EQ(caption(7), "Idle");

  pick("cmbFlag", "Spare");
  EXPECT_EQ(caption(0), "ABCDE");
  EXPECT_EQ(caption(1), "FGHIJ");
  EXPECT_EQ(caption(2), "KL");
  for (int i = 3; i < 8; ++i) EXPECT_TRUE(caption(i).isEmpty()) << i;

  pick("cmbFlag", "Long");
  EXPECT_EQ(caption(7), "xxxxx");
}

TEST_F(FlagsPanelTest, OneClickWritesTheByteInEditForm) {
  pick("cmbFlag", "Spare");
  EXPECT_TRUE(checkedBoxes().empty());
  QTest::mouseClick(box(7), Qt::LeftButton);
  EXPECT_EQ(stored(0x11), "1 ");
  EXPECT_FALSE(saved());
  QTest::mouseClick(box(0), Qt::LeftButton);
  EXPECT_EQ(stored(0x11), "81");
  pick("cmbFlag", "Spare");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{0, 7}));
}

TEST_F(FlagsPanelTest, ClicksWithoutAChosenEntryChangeOnlyTheBoxes) {
  QTest::mouseClick(box(3), Qt::LeftButton);
  EXPECT_TRUE(box(3)->isChecked());
  EXPECT_TRUE(saved());

  pick("cmbFlag", "Options");
  auto* list = child<QComboBox>("cmbFlag");
  list->lineEdit()->setFocus();
  QTest::keyClicks(list->lineEdit(), "z");
  EXPECT_EQ(list->currentIndex(), -1);
  QTest::mouseClick(box(1), Qt::LeftButton);
  EXPECT_TRUE(box(1)->isChecked());
  EXPECT_EQ(stored(0x10), "A5");
  EXPECT_TRUE(saved());
}

// Their notes are checked with the hostile files; here, that nothing is written.
TEST_F(FlagsPanelTest, ItemsOutsideTheFileAreShownButNeverWritten) {
  for (const char* name : {"Far", "Bad"}) {
    pick("cmbFlag", "Options");
    pick("cmbFlag", name);
    EXPECT_EQ(child<QLabel>("lblFlag_Xaxis")->text(), QString(name) + " word");
    EXPECT_TRUE(checkedBoxes().empty());
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(box(i)->isEnabled());
    box(7)->setChecked(true);  // even from code, nothing is written
  }
  EXPECT_EQ(stored(0x40), "00");  // the filler record after the file's end
  EXPECT_TRUE(saved());
}

TEST_F(FlagsPanelTest, ResetEmptiesLabelsAndBoxes) {
  pick("cmbFlag", "Options");
  editor->ClearVars();
  EXPECT_TRUE(checkedBoxes().empty());
  EXPECT_TRUE(caption(0).isEmpty());
  EXPECT_TRUE(child<QLabel>("lblFlag_Xlabel")->text().isEmpty());
  EXPECT_TRUE(child<QComboBox>("cmbFlag")->currentText().isEmpty());
  EXPECT_EQ(stored(0x10), "A5");
}

}  // namespace
}  // namespace trimlet::test
