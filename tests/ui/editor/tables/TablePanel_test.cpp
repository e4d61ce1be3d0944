#include "ui/editor/tables/TablePanel.h"

#include <algorithm>

#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

std::vector<unsigned char> bytes(std::initializer_list<int> values, size_t size = 64) {
  std::vector<unsigned char> result(size, 0);
  std::copy(values.begin(), values.end(), result.begin());
  return result;
}

ECU_Item scaled(ECU_Item item, double offset, int operation, double factor) {
  item.Offset = offset;
  item.Operation = static_cast<int16_t>(operation);
  item.Factor = factor;
  return item;
}

class TablesTest : public EditorTest {
 protected:
  Canvas* picture() const { return child<Canvas>("picMap"); }
  void step(const char* bar, bool down, int times = 1) const {
    for (int i = 0; i < times; ++i)
      child<QScrollBar>(bar)->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                                 : QAbstractSlider::SliderSingleStepSub);
  }
  std::vector<double> view() const {
    return {picture()->scaleLeft(), picture()->scaleTop(), picture()->scaleWidth(),
            picture()->scaleHeight()};
  }
};

TEST_F(TablesTest, RowZeroIsTheBottomRowAndCaptionsAreCutByCharacter) {
  ASSERT_TRUE(open(bytes({10, 20, 30, 0, 1, 2, 3, 4, 5}),
                   {tableItem("Col", "0", 1, 3, "Low  Mid  High ", "ab"),
                    tableItem("Map", "3", 3, 2, "µs 1 |µs 2 ", "10°20°30°")}));
  pick("cmb1Dim", "Col");
  EXPECT_EQ(QStringList({cell("grdLine", 3, 1), cell("grdLine", 1, 1), cell("grdLine", 3, 0),
                         cell("grdLine", 1, 0), cell("grdLine", 0, 1)}),
            QStringList({"10", "30", "Low  ", "High ", "ab"}));
  pick("cmb2Dim", "Map");
  EXPECT_EQ(QStringList({cell("grdMap", 2, 1), cell("grdMap", 2, 3), cell("grdMap", 1, 1),
                         cell("grdMap", 1, 0), cell("grdMap", 0, 2)}),
            QStringList({"0", "2", "3", "|µs 2", "20°"}));
  EXPECT_EQ(text("txtStart3D") + text("txtRow3D") + text("txtCol3D"), "323");
}

TEST_F(TablesTest, EachTabTogglesItsOwnDisplayMode) {
  ASSERT_TRUE(
      open(bytes({0xFF, 200, 7, 9, 1, 2, 3, 4}),
           {scaled(tableItem("Deg C", "0", 2, 1), -40, 0, 0.75),
            scaled(tableItem("Div", "2", 2, 1), 12.5, 1, 0),
            scaled(tableItem("Mult", "2", 2, 1), 12.5, 0, 0), tableItem("Map", "4", 2, 2)}));
  pick("cmb1Dim", "Deg C");
  EXPECT_EQ(cell("grdLine", 1, 1), "255");  // raw cells are decimal
  EXPECT_EQ(text("lblLine_Zlabel"), "Raw Values");
  click("cmdShowIn_1");
  EXPECT_EQ(cell("grdLine", 1, 1) + " " + cell("grdLine", 1, 2), "151.25 110.");
  EXPECT_EQ(text("lblLine_Zlabel"), "Deg C");
  pick("cmb1Dim", "Div");
  EXPECT_EQ(cell("grdLine", 1, 1), "");  // division by zero: no value
  pick("cmb1Dim", "Mult");
  EXPECT_EQ(cell("grdLine", 1, 2), "12.5");
  pick("cmb2Dim", "Map");
  for (int i = 0; i < 3; ++i) click("cmdShowIn_2");
  EXPECT_EQ(text("lblMap_Zlabel"), "Map");
  EXPECT_EQ(text("cmdShowIn_1"), "Show Raw Values");
  click("cmdShowIn_1");
  EXPECT_EQ(text("cmdShowIn_1"), "Show in Calculated Values");
  EXPECT_EQ(cell("grdLine", 1, 2), "12.5");  // a map was chosen since: no cell is refilled
  EXPECT_FALSE(editor->fields().MapRaw);
}

// Keys pressed on the first two cells of a one-row array, and the records afterwards: every
// key clears Saved and rewrites the table in edit form; keypad "+" and "-" change nothing.
TEST_F(TablesTest, KeysStepTheSelectedCellsRewriteTheTableAndClearSaved) {
  struct Case {
    bool chosen;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      {true, Qt::Key_Plus, Qt::ShiftModifier, {"FF", "B ", "1B"}},  // stops at 255
      {true, Qt::Key_Equal, {}, {"FF", "B ", "1B"}},
      {true, Qt::Key_Underscore, Qt::ShiftModifier, {"FE", "9 ", "1B"}},
      {true, Qt::Key_Left, {}, {"FF", "A ", "1B"}},
      {true, Qt::Key_Plus, Qt::KeypadModifier, {"FF", "A ", "1B"}},
      {false, Qt::Key_Plus, {}, {"FF", "0A", "1B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.key << " " << c.modifiers);
    resetState();
    ASSERT_TRUE(open(bytes({0xFF, 0x0A, 0x1B}), {tableItem("Row", "0", 3, 1)}));
    if (c.chosen) pick("cmb1Dim", "Row");
    select("grdLine", 1, 1, 1, 2);
    press("grdLine", c.key, c.modifiers);
    EXPECT_EQ(std::vector<std::string>({stored(0), stored(1), stored(2)}), c.stored);
    EXPECT_EQ(cell("grdLine", 1, 2).toInt(), c.chosen ? std::stoi(c.stored[1], nullptr, 16) : 0);
    EXPECT_FALSE(saved());
  }
}

// A key steps the bytes the image holds now, and goes back to the table that was chosen.
TEST_F(TablesTest, KeysStepWhatTheImageHoldsInTheChosenTable) {
  ASSERT_TRUE(open(
      bytes({1, 2, 3, 4, 5, 6}),
      {valueItem("Shared", "0", 1), tableItem("Row", "0", 2, 1), tableItem("Map", "2", 2, 2)}));
  pick("cmb1Dim", "Row");
  pick("cmb0Dim", "Shared");
  type("txtValue_Raw", "40");  // the array's first cell, changed on another tab
  child<QTabWidget>("SSTab1")->setCurrentIndex(2);
  QTest::keyClicks(child<QComboBox>("cmb1Dim")->lineEdit(), "x");  // no entry chosen now
  select("grdLine", 1, 2, 1, 2);
  press("grdLine", Qt::Key_Plus);
  EXPECT_EQ(stored(0) + stored(1), "403 ");
  EXPECT_EQ(cell("grdLine", 1, 1), "64");

  pick("cmb2Dim", "Map");  // stops keys in the arrays' grid, which keeps its cells
  press("grdLine", Qt::Key_Plus);
  EXPECT_EQ(stored(1), "3 ");
  EXPECT_EQ(cell("grdLine", 1, 2), "3");
  select("grdMap", 2, 1, 2, 2);  // the bottom row: map row 0
  const double minY = editor->fields().MapMinY;
  press("grdMap", Qt::Key_Plus);
  press("grdMap", Qt::Key_Plus);
  EXPECT_EQ(stored(2) + stored(3) + stored(4), "5 6 5 ");
  EXPECT_TRUE(child<TableGrid>("grdMap")->inSelection(2, 2));  // the selection survives
  EXPECT_FALSE(child<TableGrid>("grdMap")->inSelection(1, 1));
  EXPECT_EQ(editor->fields().MapMinY, minY);  // row 0 is not the highest: nothing widens
  select("grdMap", 1, 1, 1, 1);
  press("grdMap", Qt::Key_Plus);
  const double raised = editor->fields().MapMinY;
  EXPECT_LT(raised, minY);
  press("grdMap", Qt::Key_Minus);
  EXPECT_EQ(editor->fields().MapMinY, raised);  // lowering never narrows it again
}

TEST_F(TablesTest, HighlightingShowsOnlyWhileTheGridHasTheFocus) {
  ASSERT_TRUE(open(bytes({1, 2}), {tableItem("Row", "0", 2, 1)}));
  pick("cmb1Dim", "Row");
  auto* grid = child<TableGrid>("grdLine");
  grid->setFocus();
  EXPECT_TRUE(grid->highlight());
  child("cmdShowIn_1")->setFocus();
  EXPECT_FALSE(grid->highlight());
  grid->setFocus();
  child<QTabWidget>("SSTab1")->setCurrentIndex(3);
  EXPECT_FALSE(grid->highlight());
}

TEST_F(TablesTest, TablesThatDoNotFitAreRefusedAndNeverWritten) {
  ASSERT_TRUE(open(
      bytes({1, 2, 3, 4}, 32),
      {tableItem("Good", "0", 4, 1), tableItem("Past", "1E", 4, 1), tableItem("Bad", "ZZ", 4, 1),
       tableItem("Wide", "0", 502, 1), tableItem("Good", "0", 2, 2), tableItem("Past", "1E", 2, 2),
       tableItem("Wide", "0", 2, 502)}));
  for (const auto& [list, grid] : {std::pair{"cmb1Dim", "grdLine"}, {"cmb2Dim", "grdMap"}}) {
    for (const char* name : {"Past", "Bad", "Wide"}) {
      if (child<QComboBox>(list)->findText(name) < 0) continue;
      pick(list, "Good");
      pick(list, name);
      EXPECT_FALSE(child(grid)->isEnabled()) << name;
      EXPECT_FALSE(child(list)->parentWidget()->findChild<QLabel*>("lblNote")->isHidden());
      EXPECT_EQ(child<TableGrid>(grid)->rows(), 2);
      EXPECT_EQ(cell(grid, 1, 1), "");  // nothing read
      select(grid, 1, 1, 1, 1);
      press(grid, Qt::Key_Plus);  // nothing chosen: not even the table shown before
    }
  }
  EXPECT_EQ(picture()->count(Canvas::Primitive::Kind::Circle), 0);
  EXPECT_EQ(stored(0) + stored(3) + stored(30), "010400");
}

// The frame spans 0..125 across and up to -125 (y grows downward) under axes at 30 degrees.
TEST_F(TablesTest, AMapIsDrawnAsAFrameFromZeroTo125UnderThreeAxes) {
  ASSERT_TRUE(open(bytes({0, 50, 200, 90, 10, 255, 30, 60, 120}), {tableItem("Map", "0", 3, 3)}));
  child<QTabWidget>("SSTab1")->setCurrentIndex(3);
  EXPECT_EQ(picture()->count(Canvas::Primitive::Kind::Line), 3);  // before any map: the axes
  pick("cmb2Dim", "Map");
  ASSERT_EQ(picture()->meshes().size(), 1u);
  QPolygonF points;
  for (const QPointF& p : picture()->meshes()[0].points) points << p;
  const QRectF extent = points.boundingRect();
  EXPECT_NEAR(extent.left(), 0, 1e-9);
  EXPECT_NEAR(extent.right(), 125, 1e-9);
  EXPECT_NEAR(extent.top(), -125, 1e-9);
  const auto& axis = picture()->primitives().front();
  EXPECT_NEAR(axis.x2, 86.6, 0.05);
  EXPECT_NEAR(axis.y2, 50, 0.05);
}

TEST_F(TablesTest, TheViewTurnsPansAndZoomsByOneStepAndChoosingAMapResetsIt) {
  ASSERT_TRUE(open(bytes({1, 2, 3, 4}), {tableItem("Map", "0", 2, 2)}));
  pick("cmb2Dim", "Map");
  step("scrZoom", true);
  EXPECT_EQ(view(), std::vector<double>({-52, -150.875, 203, 203}));
  step("scrPanHor", true);
  step("scrPanVer", true);
  EXPECT_EQ(view(), std::vector<double>({-53, -151.875, 203, 203}));
  step("scrRotAngle", true, 30);
  EXPECT_EQ(editor->fields().RotAngle, 0);
  step("scrRotAngle", true);
  EXPECT_EQ(editor->fields().RotAngle, 360);
  step("scrRotAngle", false);
  EXPECT_EQ(editor->fields().RotAngle, 0);
  pick("cmb2Dim", "Map");
  EXPECT_EQ(editor->fields().RotAngle, 30);
  EXPECT_EQ(view(), std::vector<double>({-51, -151, 202, 202}));
  step("scrZoom", false, 203);  // stops before the view has no size
  EXPECT_EQ(view()[2] + view()[3], 2);
}

}  // namespace
}  // namespace trimlet::test
