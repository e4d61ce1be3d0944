// The grids' work on a selection, as a user does it: copy and paste with the keys, the dialog,
// interpolation, the graph window, each one step of the history.
#include <QApplication>
#include <QClipboard>
#include <QRadioButton>

#include "core/image.h"
#include "support/ui/EditorTest.h"
#include "ui/editor/tables/GraphWindow.h"

namespace trimlet::test {
namespace {

class Selection : public EditorTest {
 protected:
  // Both grids have the actions: the one of `grid`.
  void trigger(const char* grid, const char* action) const {
    child(grid)->findChild<QAction*>(action)->trigger();
  }
};

// A 4 × 3 map: the top-left 2 × 2 block copied with Ctrl+C and pasted two columns to the right
// with Ctrl+V; then a paste that must be clamped, one that is refused, and both undone.
TEST_F(Selection, CopyAndPasteWithTheKeysAreOneStepEach) {
  std::vector<unsigned char> bin(16, 0);
  for (int i = 0; i < 12; ++i) bin[static_cast<size_t>(i)] = static_cast<unsigned char>(i + 1);
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
  EXPECT_FALSE(saved());
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

  QApplication::clipboard()->setText("1\t2\t3\t4\t5");
  EXPECT_EQ(answerMessages([&] { trigger("grdMap", "actPaste"); }),
            QStringList({"The pasted block has 1 row and 5 columns; from the chosen cell the "
                         "table has room for 3 rows and 4 columns.\nNothing was pasted."}));
  press("grdMap", Qt::Key_Z, Qt::ControlModifier);
  press("grdMap", Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(imageBytes(), std::vector<uint8_t>(bin.begin(), bin.end()));
}

// An array in calculated values (raw × 0.5): "Add 10" raises each raw cell by 20; its last
// cell is changed on the Values tab; interpolation straightens what the image holds; the graph
// draws it against the image as opened, and follows the undos.
TEST_F(Selection, TheDialogAndTheGraphWorkInTheUnitsTheGridShows) {
  ASSERT_TRUE(open({10, 40, 0, 90, 100, 7}, {[] {
                                               ECU_Item item = tableItem("Curve", "0", 5, 1, "",
                                                                         "  a  b  c  d  e");
                                               item.Factor = 0.5;
                                               return item;
                                             }(),
                                             valueItem("Last cell", "4", 1)}));
  pick("cmb1Dim", "Curve");
  click("cmdShowIn_1");
  select("grdLine", 1, 2, 1, 5);
  whileModal(
      "dlgSetCells",
      [](QDialog* dialog) {
        dialog->findChild<QRadioButton*>("optAdd")->setChecked(true);
        dialog->findChild<QLineEdit*>("txtNumber")->setText("10");
        QTest::keyClick(dialog->findChild<QLineEdit*>("txtNumber"), Qt::Key_Return);
      },
      [&] { trigger("grdLine", "actSetCells"); });
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
  EXPECT_EQ(graph->positions(), QStringList({"a", "b", "c", "d", "e"}));
  ASSERT_EQ(graph->curves().size(), 1u);
  EXPECT_EQ(graph->curves()[0].now, std::vector<double>({5, 34, 62.5, 91, 120}));
  EXPECT_EQ(graph->curves()[0].reference, std::vector<double>({5, 20, 0, 45, 50}));
  for (int step = 0; step < 3; ++step) action("actUndo")->trigger();
  EXPECT_EQ(graph->curves()[0].now, graph->curves()[0].reference);
}

}  // namespace
}  // namespace trimlet::test
