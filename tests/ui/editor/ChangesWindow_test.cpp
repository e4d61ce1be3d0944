#include "ui/editor/ChangesWindow.h"

#include <QTreeView>

#include "core/image.h"
#include "support/ui/EditorTest.h"
#include "ui/editor/tables/GraphWindow.h"

namespace trimlet::test {
namespace {

class Changes : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_TRUE(open(patternBytes(64), {flagItem("Options", "10", "B7   B6   B5   B4   Fan"),
                                        valueItem("Idle", "20", 2),
                                        tableItem("Map", "30", 2, 2, "  20   40", "1K 2K")}));
  }

  // Chooses `file` in the file dialog `name` that the action or button (cmd…) `act` opens,
  // answering the messages shown with `answer`; returns them.
  QStringList inDialog(const QString& name, const std::string& file, const char* act,
                       QMessageBox::StandardButton answer = QMessageBox::Ok) {
    QStringList shown;
    whileModal(
        name,
        [&](QDialog* dialog) {
          dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(file));
          dialog->QDialog::accept();
        },
        [&] {
          shown =
              answerMessages([&] { act[0] == 'c' ? click(act) : action(act)->trigger(); }, answer);
        });
    editor->activateWindow();  // back from the dialog
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    return shown;
  }
  QStringList compareWith(const std::string& file) {
    return inDialog("cdiCompare", file, "actCompareWith");
  }

  QTreeView* view() const { return editor->findChild<QTreeView*>("tvwChanges"); }
  QWidget* changes() const { return editor->findChild<QWidget*>("frmChanges"); }
  QString shown(const char* label) const {
    auto* found = changes()->findChild<QLabel*>(label);
    return found->isVisible() ? found->text() : QString();
  }
  // A row's text in a column: a top-level row, or with `under`, a row under that one.
  QString at(int row, int column, int under = -1) const {
    const QAbstractItemModel* model = view()->model();
    const QModelIndex parent = under < 0 ? QModelIndex() : model->index(under, 0);
    return model->index(row, column, parent).data().toString();
  }
  QStringList top() const {
    QStringList names;
    for (int i = 0; i < view()->model()->rowCount(); ++i) names << at(i, 0);
    return names;
  }
};

TEST_F(Changes, ComparesWithAStockImageOfTheSameLengthOnlyAndRevertsToIt) {
  EXPECT_EQ(compareWith(dir.write("short.bin", patternBytes(60))),
            QStringList({"The file " + QString::fromStdString((dir.path() / "short.bin").string()) +
                         " holds 60 bytes and the image 64 bytes: a file to compare with must be "
                         "as long as the image."}));
  auto stock = patternBytes(64);
  stock[0x10] ^= 0x09;  // bits 3 and 0 of the flag byte
  stock[0x21] = 0x99;
  stock[0x33] = 0x77;
  stock[0x05] = 0x55;  // a byte of no item
  pick("cmb2Dim", "Map");
  select("grdMap", 1, 1, 1, 2);
  child("grdMap")->findChild<QAction*>("actGraph")->trigger();
  auto* graph = editor->findChild<GraphWindow*>("frmGraph");
  ASSERT_NE(graph, nullptr);
  EXPECT_TRUE(compareWith(dir.write("stock.bin", stock)).isEmpty());
  EXPECT_EQ(graph->curves().at(0).reference, std::vector<double>({0x32, 0x77}));  // the new one
  EXPECT_FALSE(child<QComboBox>("cmbFlag")->itemIcon(0).isNull());
  QTest::keyClick(editor.get(), Qt::Key_D, Qt::ControlModifier);
  ASSERT_NE(view(), nullptr);
  EXPECT_EQ(shown("lblReference") + "|" + shown("lblNoChanges"), "Compared with stock.bin|");
  EXPECT_EQ(top(), QStringList({"Options", "Idle", "Map", "Bytes of no item"}));
  ASSERT_EQ(view()->model()->rowCount(view()->model()->index(0, 0)), 2);
  // In the words of the tabs: bit captions, grid columns from the left and rows from the bottom.
  EXPECT_EQ(at(0, 0, 0) + " " + at(0, 3, 0) + " " + at(0, 4, 0) + "; " + at(1, 0, 0),
            "Bit 3 (Fan) on off; Bit 0");
  EXPECT_EQ(at(0, 3, 1), "2099 = 8345.");
  EXPECT_EQ(at(0, 0, 2), "Column 2 (2K), row 2 (40)");
  EXPECT_EQ(at(0, 2, 3), "5");

  // Reverting an item is one step to undo; reverting all asks first.
  view()->setCurrentIndex(view()->model()->index(1, 0));
  click("cmdRevert");
  EXPECT_EQ(stored(0x21), "99");
  EXPECT_EQ(top(), QStringList({"Options", "Map", "Bytes of no item"}));
  EXPECT_FALSE(saved());
  action("actUndo")->trigger();
  EXPECT_EQ(stored(0x21), "21");
  EXPECT_EQ(answerMessages([&] { click("cmdRevertAll"); }, QMessageBox::Yes),
            QStringList({"Revert 3 items and 1 byte of no item to stock.bin? It is one step: "
                         "Ctrl+Z undoes it."}));
  EXPECT_EQ(readBytes(binPath), patternBytes(64));  // nothing saved
  EXPECT_EQ(stored(0x5) + stored(0x10) + stored(0x33), "551977");
  EXPECT_EQ(shown("lblNoChanges"), "No differences from the reference.");

  // Undo from the window itself; a double-click puts the editor in front, item shown.
  changes()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(changes()));
  QTest::keyClick(changes(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(stored(0x33), "33");
  emit view()->doubleClicked(view()->model()->index(2, 0));
  EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()) && !changes()->isVisible());
  EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 3);
  EXPECT_EQ(child<QComboBox>("cmb2Dim")->currentText(), "Map");
}

// The stock image is remembered with its BIN file, both or neither, and used only when both
// paths are read whole: a path read cut could name another file of the same length.
TEST_F(Changes, TheStockImageIsRememberedAsAWholePairOrNotAtAll) {
  dir.write("trimlet.ini", "[trimlet]\nReference BIN=" + binPath + "\nReference File=/" +
                               std::string(300, 's') + "\n");
  ASSERT_TRUE(open(patternBytes(64), {flagItem("Options", "10")}));
  EXPECT_EQ(messages, QStringList("The \"Reference File\" in the settings file is longer than 254 "
                                  "characters, so the editor compares with the file as opened."));
  const std::string pair = "[trimlet]\nUpload Execute=\nReference BIN=/a.bin\nReference File=/b\n";
  dir.write("trimlet.ini", pair);
  editor = std::make_unique<frmEditor>(dir.write("ima\nge.bin", patternBytes(64)), ecuPath);
  window = editor.get();
  ASSERT_TRUE(editor->Form_Load());
  editor->show();
  EXPECT_EQ(compareWith(dir.write("stock.bin", patternBytes(64))).size(), 1);
  EXPECT_EQ(readText((dir.path() / "trimlet.ini").string()), pair);
}

// The changes exported from the Changes window come back by "Apply patch…" as one step.
// (Conflicts and what is applied then: the patch's own test.)
TEST_F(Changes, ExportedChangesApplyAsOneStep) {
  const auto edit = [](std::vector<std::pair<int, int>> bytes) {
    const ImageAction action("edit");
    for (const auto& [at, value] : bytes) writeImageByte(at, value);
  };
  edit({{0x10, 0x91}, {0x21, 0x99}});
  QTest::keyClick(editor.get(), Qt::Key_D, Qt::ControlModifier);
  const std::string tune = (dir.path() / "tune.patch").string();
  inDialog("cdiExportChanges", tune, "cmdExportChanges");  // a button of the window
  action("actUndo")->trigger();
  EXPECT_TRUE(inDialog("cdiApplyPatch", tune, "actApplyPatch", QMessageBox::Apply)
                  .at(0)
                  .startsWith("2 applied."));
  EXPECT_EQ(stored(0x10) + stored(0x21), "9199");
  EXPECT_EQ(action("actUndo")->text(), "Undo: Apply patch tune.patch");
}

}  // namespace
}  // namespace trimlet::test
