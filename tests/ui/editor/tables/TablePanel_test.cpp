#include "ui/editor/tables/TablePanel.h"

#include <QApplication>
#include <QClipboard>

#include "core/image.h"
#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"
#include "ui/editor/tables/CellEditor.h"
#include "ui/editor/tables/GraphWindow.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

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
  // Both grids have the selection's actions: the one of `grid`.
  void trigger(const char* grid, const char* action) const {
    child(grid)->findChild<QAction*>(action)->trigger();
  }
  std::vector<double> view() const {
    return {picture()->scaleLeft(), picture()->scaleTop(), picture()->scaleWidth(),
            picture()->scaleHeight()};
  }
};

TEST_F(TablesTest, RowZeroIsTheBottomRowAndCaptionsAreCutByCharacter) {
  ASSERT_TRUE(open({0, 1, 2, 3, 4, 5}, {tableItem("Map", "0", 3, 2, "µs 1 |µs 2 ", "10°20°30°")}));
  pick("cmb2Dim", "Map");
  EXPECT_EQ(QStringList({cell("grdMap", 2, 1), cell("grdMap", 2, 3), cell("grdMap", 1, 1),
                         cell("grdMap", 1, 0), cell("grdMap", 0, 2)}),
            QStringList({"0", "2", "3", "|µs 2", "20°"}));
}

// The values' rules themselves are the conversion's test.
TEST_F(TablesTest, EachTabTogglesItsOwnDisplayMode) {
  ASSERT_TRUE(open({0xFF, 200, 1, 2, 3, 4}, {scaled(tableItem("Deg C", "0", 2, 1), -40, 0, 0.75),
                                             tableItem("Map", "2", 2, 2)}));
  pick("cmb1Dim", "Deg C");
  EXPECT_EQ(cell("grdLine", 1, 1) + " " + text("lblLine_Zlabel"), "255 Raw Values");  // decimal
  click("cmdShowIn_1");
  EXPECT_EQ(cell("grdLine", 1, 1) + " " + cell("grdLine", 1, 2), "151.25 110.");
  EXPECT_EQ(text("lblLine_Zlabel") + "|" + text("cmdShowIn_1"), "Deg C|Show Raw Values");
  pick("cmb2Dim", "Map");
  for (int i = 0; i < 3; ++i) click("cmdShowIn_2");
  click("cmdShowIn_1");
  EXPECT_EQ(cell("grdLine", 1, 2), "110.");  // a map was chosen since: no cell is refilled
  EXPECT_FALSE(editor->fields().MapRaw);
}

// Keys pressed on the first two cells of a one-row array, and the records afterwards: every
// key rewrites the table in edit form; keypad "+" and "-" change nothing.
TEST_F(TablesTest, KeysStepTheSelectedCellsAndRewriteTheTable) {
  // Whether the entry is chosen, the key and its modifiers, and the records after.
  using Case = std::tuple<bool, Qt::Key, Qt::KeyboardModifiers, std::vector<std::string>>;
  const Case cases[] = {
      {true, Qt::Key_Plus, Qt::ShiftModifier, {"FF", "B ", "1B"}},  // stops at 255
      {true, Qt::Key_Equal, {}, {"FF", "B ", "1B"}},
      {true, Qt::Key_Underscore, Qt::ShiftModifier, {"FE", "9 ", "1B"}},
      {true, Qt::Key_Left, {}, {"FF", "A ", "1B"}},
      {true, Qt::Key_Plus, Qt::KeypadModifier, {"FF", "A ", "1B"}},
      {false, Qt::Key_Plus, {}, {"FF", "0A", "1B"}},
  };
  for (const auto& [chosen, key, modifiers, records] : cases) {
    SCOPED_TRACE(testing::Message() << key << " " << modifiers);
    resetState();
    ASSERT_TRUE(open({0xFF, 0x0A, 0x1B}, {tableItem("Row", "0", 3, 1)}));
    if (chosen) pick("cmb1Dim", "Row");
    select("grdLine", 1, 1, 1, 2);
    press("grdLine", key, modifiers);
    EXPECT_EQ(std::vector<std::string>({stored(0), stored(1), stored(2)}), records);
    EXPECT_EQ(cell("grdLine", 1, 2).toInt(), chosen ? std::stoi(records[1], nullptr, 16) : 0);
  }
}

// A key steps the bytes the image holds now, and goes back to the table that was chosen.
TEST_F(TablesTest, KeysStepWhatTheImageHoldsInTheChosenTable) {
  ASSERT_TRUE(open({1, 2, 3, 4, 5, 6}, {valueItem("Shared", "0", 1), tableItem("Row", "0", 2, 1),
                                        tableItem("Map", "2", 2, 2)}));
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
  press("grdMap", Qt::Key_Plus);
  press("grdMap", Qt::Key_Plus);
  EXPECT_EQ(stored(2) + stored(3) + stored(4), "5 6 5 ");
  EXPECT_TRUE(child<TableGrid>("grdMap")->inSelection(2, 2));  // the selection survives
  EXPECT_FALSE(child<TableGrid>("grdMap")->inSelection(1, 1));
}

TEST_F(TablesTest, HighlightingShowsOnlyWhileTheGridHasTheFocus) {
  ASSERT_TRUE(open({1, 2}, {tableItem("Row", "0", 2, 1)}));
  pick("cmb1Dim", "Row");
  auto* grid = child<TableGrid>("grdLine");
  grid->setFocus();
  EXPECT_TRUE(grid->highlight());
  child("cmdShowIn_1")->setFocus();
  EXPECT_FALSE(grid->highlight());
}

TEST_F(TablesTest, TablesThatDoNotFitAreRefusedAndNeverWritten) {
  ASSERT_TRUE(open(patternBytes(32), {tableItem("Good", "0", 4, 1), tableItem("Past", "1E", 4, 1),
                                      tableItem("Bad", "ZZ", 4, 1), tableItem("Wide", "0", 502, 1),
                                      tableItem("Good", "0", 2, 2), tableItem("Past", "1E", 2, 2),
                                      tableItem("Wide", "0", 2, 502)}));
  const std::tuple<const char*, const char*, QStringList> lists[] = {
      {"cmb1Dim", "grdLine", {"Past", "Bad", "Wide"}}, {"cmb2Dim", "grdMap", {"Past", "Wide"}}};
  for (const auto& [list, grid, names] : lists) {
    for (const QString& name : names) {
      pick(list, "Good");
      pick(list, name);
      EXPECT_FALSE(child(grid)->isEnabled()) << name.toStdString();
      EXPECT_FALSE(child(list)->parentWidget()->findChild<QLabel*>("lblNote")->isHidden());
      EXPECT_EQ(child<TableGrid>(grid)->rows(), 2);
      EXPECT_EQ(cell(grid, 1, 1), "");  // nothing read
      select(grid, 1, 1, 1, 1);
      press(grid, Qt::Key_Plus);  // nothing chosen: not even the table shown before
    }
  }
  EXPECT_EQ(picture()->count(Canvas::Primitive::Kind::Circle), 0);
  EXPECT_EQ(stored(0) + stored(3) + stored(30), "00031E");
}

TEST_F(TablesTest, TheViewTurnsAndZoomsByOneStepAndChoosingAMapResetsIt) {
  ASSERT_TRUE(open({1, 2, 3, 4}, {tableItem("Map", "0", 2, 2)}));
  pick("cmb2Dim", "Map");
  step("scrZoom", true);
  EXPECT_EQ(view(), std::vector<double>({-52, -150.875, 203, 203}));
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

// A 4 × 3 map: the top-left 2 × 2 block copied with Ctrl+C and pasted two columns to the right
// with Ctrl+V; then a paste that must be clamped, said in one message, and both undone. (What a
// paste fills, clamps or refuses: the core's table.)
TEST_F(TablesTest, CopyAndPasteWithTheKeysAreOneStepEach) {
  const std::vector<unsigned char> bin = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  ASSERT_TRUE(open(bin, {tableItem("Fuel", "0", 4, 3)}));
  pick("cmb2Dim", "Fuel");
  child("grdMap")->setFocus();
  select("grdMap", 1, 1, 2, 2);  // table rows 2 and 1, columns 0 and 1
  press("grdMap", Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "9\t10\n5\t6\n");

  select("grdMap", 2, 3, 2, 3);
  EXPECT_TRUE(answerMessages([&] { press("grdMap", Qt::Key_V, Qt::ControlModifier); }).isEmpty());
  const std::vector<std::string> pasted = {"1 ", "2 ", "5 ", "6 ", "5 ", "6 ", "9 ", "A "};
  EXPECT_EQ(records(0, 8), pasted);  // table rows 0 and 1 now end 5 6 and 9 10
  EXPECT_EQ(action("actUndo")->text(), "Undo: Paste of 4 cells into Fuel");

  // Elsewhere in the window the keys are not the grid's.
  child("cmdShowIn_2")->setFocus();
  QApplication::clipboard()->setText("77");
  QTest::keyClick(child("cmdShowIn_2"), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(records(0, 8), pasted);

  child("grdMap")->setFocus();
  select("grdMap", 1, 1, 1, 1);
  QApplication::clipboard()->setText("300,-5\r\n");
  EXPECT_EQ(answerMessages([&] { trigger("grdMap", "actPaste"); }),
            QStringList({"Paste of 2 cells into Fuel.\n1 of 2 cells was above 255 and was set "
                         "to 255.\n1 of 2 cells was below 0 and was set to 0."}));
  EXPECT_EQ(records(8, 2), std::vector<std::string>({"FF", "0 "}));
  press("grdMap", Qt::Key_Z, Qt::ControlModifier);
  press("grdMap", Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(imageBytes(), std::vector<uint8_t>(bin.begin(), bin.end()));
}

// An array in calculated values (raw × 0.5): "Add 10" raises each raw cell by 20; its last
// cell is changed on the Values tab; interpolation straightens what the image holds; the graph
// draws it against the image as opened, and follows the undos.
TEST_F(TablesTest, TheDialogAndTheGraphWorkInTheUnitsTheGridShows) {
  ASSERT_TRUE(open({10, 40, 0, 90, 100, 7},
                   {scaled(tableItem("Curve", "0", 5, 1, "", "  a  b  c  d  e"), 0, 0, 0.5),
                    valueItem("Last cell", "4", 1)}));
  pick("cmb1Dim", "Curve");
  click("cmdShowIn_1");
  select("grdLine", 1, 2, 1, 5);
  whileModal(
      "dlgSetCells",
      [&](QDialog* dialog) {
        auto* add = dialog->findChild<QLineEdit*>("txtAdd");
        answerMessages([&] {
          QTest::keyClick(add, Qt::Key_Return);  // empty: refused, naming the box
          QTest::keyClicks(add, "x");
          QTest::keyClick(add, Qt::Key_Return);
        });
        add->setText("10");
        EXPECT_EQ(dialog->findChild<QLabel*>("lblCount")->text(),
                  "Changes 4 of the 4 cells of Curve selected.");
        QTest::keyClick(add, Qt::Key_Return);
      },
      [&] { trigger("grdLine", "actSetCells"); });
  EXPECT_EQ(lastMessages()[0].text, "Type the number to add to the cells.");
  EXPECT_EQ(
      lastMessages()[1].text,
      "\"x\" is not a number to add to the cells. Write it with a point for decimals, as 12.5.");
  EXPECT_EQ(records(0, 6), std::vector<std::string>({"0A", "3C", "14", "6E", "78", "07"}));
  EXPECT_EQ(action("actUndo")->text(), "Undo: +10 on 4 cells of Curve");
  EXPECT_FALSE(saved());  // no key was pressed: the action itself marks the change

  editor->activateWindow();  // back from the dialog, so leaving a box writes it
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
  pick("cmb0Dim", "Last cell");
  type("txtValue_Raw", "F0");
  child<QTabWidget>("SSTab1")->setCurrentIndex(2);  // the grid still shows 78 there
  select("grdLine", 1, 1, 1, 5);
  trigger("grdLine", "actAlongRows");  // 10 .. 240 in steps of 57.5, halves to even
  EXPECT_EQ(records(0, 5), std::vector<std::string>({"A ", "44", "7D", "B6", "F0"}));
  trigger("grdLine", "actGraph");
  auto* graph = editor->findChild<GraphWindow*>("frmGraph");
  ASSERT_TRUE(graph != nullptr && graph->isVisible());
  ASSERT_EQ(graph->curves().size(), 1u);
  EXPECT_EQ(graph->curves()[0].now, std::vector<double>({5, 34, 62.5, 91, 120}));
  EXPECT_EQ(graph->curves()[0].reference, std::vector<double>({5, 20, 0, 45, 50}));
  for (int step = 0; step < 3; ++step) action("actUndo")->trigger();
  QCoreApplication::processEvents();  // the graph follows at the next turn of the event loop
  EXPECT_EQ(graph->curves()[0].now, graph->curves()[0].reference);
}

// A 3 × 2 map in calculated values (raw × 0.5 - 10) typed into: a digit and F2 open the box
// after the key's own effect, the preview tells what will be stored, Enter and Tab write one
// step and move, Esc leaves the window alone, Ctrl+Enter fills the selection, undo takes it back.
TEST_F(TablesTest, NumbersTypedIntoCellsAreWrittenOnceInTheUnitsShown) {
  ASSERT_TRUE(open({1, 2, 3, 4, 5, 6}, {scaled(tableItem("Fuel", "0", 3, 2), -10, 0, 0.5)}));
  pick("cmb2Dim", "Fuel");
  click("cmdShowIn_2");
  auto* grid = child<TableGrid>("grdMap");
  CellEditor* box = grid->editor();
  const auto write = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    return answerMessages([&] { QTest::keyClick(box, key, modifiers); });
  };
  grid->setFocus();
  select("grdMap", 1, 1, 1, 1);  // table row 1, column 0: the byte at 3
  press("grdMap", Qt::Key_1);
  EXPECT_FALSE(saved());  // the key's own effect ran first
  ASSERT_TRUE(box->isVisible());
  QTest::keyClicks(box, "17.3");
  EXPECT_EQ(box->preview(), "117.3 will be stored as 255 = 117.5");
  EXPECT_EQ(write(Qt::Key_Return), QStringList());
  EXPECT_EQ(stored(3) + stored(0), "FF1 ");
  EXPECT_EQ(action("actUndo")->text(), "Undo: Set to 117.3 on 1 cell of Fuel");
  EXPECT_FALSE(box->isVisible());
  EXPECT_TRUE(grid->inSelection(2, 1));  // a step down on the screen: table row 0

  press("grdMap", Qt::Key_Return);  // a second Enter only opens the box again
  ASSERT_TRUE(box->isVisible());
  EXPECT_EQ(box->text(), "-9.5");
  EXPECT_EQ(write(Qt::Key_Escape), QStringList());  // nothing written, the window stays
  EXPECT_FALSE(box->isVisible());
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(stored(0), "1 ");

  press("grdMap", Qt::Key_F2);
  QTest::keyClicks(box, "200");  // over the selected text
  EXPECT_EQ(write(Qt::Key_Tab),
            QStringList({"Set to 200 on 1 cell of Fuel.\n1 of 1 cell was outside the values this "
                         "item can hold (\u221210 to 117.5) and was set to the nearest."}));
  EXPECT_EQ(stored(0) + stored(1), "FF2 ");
  EXPECT_TRUE(grid->inSelection(2, 2));

  select("grdMap", 1, 2, 2, 3);
  press("grdMap", Qt::Key_Period);
  QTest::keyClicks(box, "5");
  write(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(records(0, 6), std::vector<std::string>({"FF", "15", "15", "FF", "15", "15"}));
  EXPECT_EQ(action("actUndo")->text(), "Undo: Set to .5 on 4 cells of Fuel");
  action("actUndo")->trigger();
  EXPECT_EQ(records(0, 6), std::vector<std::string>({"FF", "2 ", "3 ", "FF", "5 ", "6 "}));

  editor->activateWindow();  // back from the message box, so the focus can move
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
  press("grdMap", Qt::Key_7);
  child("cmdShowIn_2")->setFocus();  // leaving the box writes it; the focus stays where it went
  EXPECT_EQ(stored(1), "22");
  EXPECT_TRUE(child("cmdShowIn_2")->hasFocus() && !grid->highlight());
}

}  // namespace
}  // namespace trimlet::test
