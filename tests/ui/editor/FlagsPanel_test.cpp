#include "ui/editor/FlagsPanel.h"

#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

class FlagsPanelTest : public EditorTest {
 protected:
  QCheckBox* box(int i) const { return child<QCheckBox>(QString("chkFlag(%1)").arg(i)); }
  QString caption(int i) const { return text(QString("lblFlag_Yaxis(%1)").arg(i)); }
  std::vector<int> checkedBoxes() const {
    std::vector<int> on;
    for (int i = 0; i < 8; ++i)
      if (box(i)->isChecked()) on.push_back(i);
    return on;
  }
};

// Box 0 is bit 7; captions are five characters each (not bytes), bit 7's first.
TEST_F(FlagsPanelTest, ShowsBit7AtTheTopAndOnlyClicksWrite) {
  std::vector<unsigned char> bin(64, 0);
  bin[0x10] = 0x0F;
  ASSERT_TRUE(open(bin, {flagItem("Options", "10", "Fan1 Fan2 Ign° Knk  O2   EGR  Air  Idle"),
                         flagItem("Spare", "11", "ABCDEFGHIJKL")}));
  pick("cmbFlag", "Options");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(QStringList({caption(2), caption(3), caption(7), text("lblFlag_Xaxis"),
                         text("lblFlag_Xlabel"), text("lblFlag_Ylabel")}),
            QStringList({"Ign° ", "Knk  ", "Idle", "Options word", "Checked means on", "Bit"}));
  pick("cmbFlag", "Spare");
  EXPECT_EQ(caption(2) + "|" + caption(3), "KL|");
  pick("cmbFlag", "Options");
  EXPECT_EQ(stored(0x10), "0F");
  EXPECT_TRUE(saved());

  pick("cmbFlag", "Spare");  // each click writes the byte in edit form
  click("chkFlag(7)");
  EXPECT_EQ(stored(0x11), "1 ");
  EXPECT_FALSE(saved());
  click("chkFlag(1)");
  pick("cmbFlag", "Spare");
  EXPECT_EQ(std::make_pair(stored(0x11), checkedBoxes()),
            std::make_pair(std::string("41"), std::vector<int>{1, 7}));
}

}  // namespace
}  // namespace trimlet::test
