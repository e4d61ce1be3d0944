#include "ui/editor/FlagsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

class FlagsPanelTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    std::vector<unsigned char> bin(64, 0);
    bin[0x10] = 0x0F;
    ASSERT_TRUE(open(bin, {flagItem("Options", "10", "Fan1 Fan2 Ign° Knk  O2   EGR  Air  Idle"),
                           flagItem("Spare", "11", "ABCDEFGHIJKL"), flagItem("Far", "40")}));
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
};

// Box 0 is bit 7; captions are five characters each (not bytes), bit 7's first.
TEST_F(FlagsPanelTest, ShowsBit7AtTheTopAndPickingWritesNothing) {
  pick("cmbFlag", "Options");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(caption(2), "Ign° ");
  EXPECT_EQ(caption(3), "Knk  ");
  EXPECT_EQ(caption(7), "Idle");
  EXPECT_EQ(child<QLabel>("lblFlag_Xaxis")->text(), "Options word");
  EXPECT_EQ(child<QLabel>("lblFlag_Xlabel")->text(), "Checked means on");
  EXPECT_EQ(child<QLabel>("lblFlag_Ylabel")->text(), "Bit");
  pick("cmbFlag", "Spare");
  EXPECT_EQ(caption(2), "KL");
  EXPECT_EQ(caption(3), "");
  pick("cmbFlag", "Options");
  EXPECT_EQ(stored(0x10), "0F");
  EXPECT_TRUE(saved());
}

TEST_F(FlagsPanelTest, EachClickWritesTheByteInEditForm) {
  pick("cmbFlag", "Spare");
  click("chkFlag(7)");
  EXPECT_EQ(stored(0x11), "1 ");
  EXPECT_FALSE(saved());
  click("chkFlag(1)");
  EXPECT_EQ(stored(0x11), "41");
  pick("cmbFlag", "Spare");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{1, 7}));
}

TEST_F(FlagsPanelTest, WithoutAChosenEntryClicksChangeOnlyTheBoxes) {
  click("chkFlag(3)");
  EXPECT_TRUE(box(3)->isChecked());
  pick("cmbFlag", "Options");
  auto* list = child<QComboBox>("cmbFlag");
  list->lineEdit()->setFocus();
  QTest::keyClicks(list->lineEdit(), "z");  // typing leaves the list without an entry
  EXPECT_EQ(list->currentIndex(), -1);
  click("chkFlag(1)");
  EXPECT_EQ(stored(0x10), "0F");
  EXPECT_TRUE(saved());
}

TEST_F(FlagsPanelTest, AnItemBeyondTheFileIsShownButNeverWritten) {
  pick("cmbFlag", "Far");
  EXPECT_TRUE(checkedBoxes().empty());
  EXPECT_FALSE(box(7)->isEnabled());
  box(7)->setChecked(true);  // even from code, nothing is written
  EXPECT_EQ(stored(0x40), "00");
  EXPECT_TRUE(saved());
}

}  // namespace
}  // namespace trimlet::test
