// Random use of the real editor and viewer: thousands of clicks, key presses and typed texts
// (junk included) from a fixed seed, on files whose items the test itself wrote. After every
// action no byte has changed outside the items the user has shown, every changed record holds
// a byte, a changed image is marked unsaved, and after every save the file is the image.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QRadioButton>
#include <QTabBar>
#include <cstring>
#include <functional>
#include <random>
#include <utility>

#include "core/hex.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/viewer/frmView.h"

namespace trimlet::test {
namespace {

// TRIMLET_RANDOM_ACTIONS and TRIMLET_RANDOM_SEED set a longer or different hunt.
int envOr(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atoi(text) : fallback;
}

const char* const kLists[] = {"cmbFlag", "cmb0Dim", "cmb1Dim", "cmb2Dim"};

// Items of every kind near the end of a file of `size` bytes, and items that do not fit it,
// by the list that shows them.
std::vector<std::vector<ECU_Item>> itemsFor(uint64_t size) {
  const auto at = [&](uint64_t back) { return numberToHex(size - back); };
  ECU_Item overZero = tableItem("Cells over zero", "0", 8, 1);
  overZero.Operation = 1;
  overZero.Factor = 0;
  return {{flagItem("First flag", "0", "Fan1 Fan2 Ign° Knk  O2   EGR  Air  Idle "),
           flagItem("Last flag", at(1)), flagItem("Flag past the end", at(0)),
           flagItem("Flag at 12G4", "12G4")},
          {valueItem("Last two bytes", at(2), 2, 0.5, -40),
           valueItem("Last four", at(4), 4, 0, 0, 1), valueItem("Over the end", at(1), 2),
           valueItem("Five bytes", "0", 5), valueItem("Over zero", "2", 1, 0, 3, 1)},
          {tableItem("Last row", at(8), 8, 1), tableItem("Last column", at(6), 1, 6), overZero,
           tableItem("Array of 502", "0", 502, 1)},
          {tableItem("Last map", at(100), 10, 10), tableItem("Early map", "1", 4, 4),
           tableItem("Map past the end", at(15), 4, 4)}};
}

class RandomUse : public EditorTest {
 protected:
  int pickOf(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  QString randomText() {
    static const QStringList kJunk = {
        "",    " ",    "zz", "-1",       "1e999",          "nan", "0x10",
        "1 2", " 7f ", "ÿ§", "FFFFFFFF", "100000000",      "2.5", "500",
        "501", "1F",   "0",  "+",        QString(300, '9')};
    if (pickOf(2) == 0) return kJunk[pickOf(int(kJunk.size()))];
    return QString::number(std::uniform_int_distribution<int>(-3, 600)(rng), pickOf(2) ? 10 : 16);
  }

  // Marks the bytes of the entries the lists show now: the only ones an edit may ever touch.
  void allowShownEntries() {
    for (size_t l = 0; l < 4; ++l) {
      const int entry = child<QComboBox>(kLists[l])->currentIndex();
      if (entry < 0) continue;
      const ECU_Item& item = items[l][static_cast<size_t>(entry)];
      const auto start = hexToNumber(item.Address);
      const int64_t extent = l >= 2 ? int64_t{item.Cols} * item.Rows : l == 0 ? 1 : item.Bytes;
      if (!start || *start >= allowed.size()) continue;
      for (int64_t i = 0; i < extent && *start + uint64_t(i) < allowed.size(); ++i)
        allowed[static_cast<size_t>(*start + uint64_t(i))] = true;
    }
  }

  std::vector<unsigned char> imageBytes() const {
    std::vector<unsigned char> bytes(allowed.size());
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<unsigned char>(recordByte(BIN_Data[i]).value_or(-1));
    return bytes;
  }

  // Records beyond the file's last block are compared once a session: nothing writes there.
  // Returns whether a record holds another byte than before the action.
  bool check(const std::string& action, const QStringList& shown, bool whole = false) {
    allowShownEntries();
    const bool savedNow = shown.contains(QString::fromStdString(binPath).toUpper() + " Saved.");
    const size_t compared = whole ? before.size() : std::min(before.size(), allowed.size() + 16);
    bool bytesChanged = false;
    if (std::memcmp(before.data(), BIN_Data.data(), compared * sizeof(BIN_Record)) != 0) {
      for (size_t i = 0; i < compared; ++i) {
        if (std::memcmp(&before[i], &BIN_Data[i], sizeof(BIN_Record)) == 0) continue;
        EXPECT_TRUE(i < allowed.size() && allowed[i]) << action << " changed record " << i;
        EXPECT_TRUE(recordByte(BIN_Data[i])) << action << " broke record " << i;
        EXPECT_TRUE(savedNow || !saved()) << action << " changed the image unnoticed";
        bytesChanged = bytesChanged || recordByte(before[i]) != recordByte(BIN_Data[i]);
        before[i] = BIN_Data[i];
      }
    }
    if (savedNow) onDisk = imageBytes();
    EXPECT_EQ(readBytes(binPath), onDisk) << action;
    return bytesChanged;
  }

  // The test's own record of the images the user's steps left (the image, not the program's
  // history): an undo brings back exactly the image before the last step, a redo the one after.
  void followHistory(const std::string& action, bool bytesChanged) {
    const bool undo = action == "actUndo";
    if (!bytesChanged && !undo && action != "actRedo") return;
    std::vector<unsigned char> prior = std::exchange(image, imageBytes());
    if (undo || action == "actRedo") {
      auto& from = undo ? undoImages : redoImages;
      auto& to = undo ? redoImages : undoImages;
      ASSERT_EQ(image, from.empty() ? prior : from.back()) << action;
      if (from.empty()) return;
      from.pop_back();
      to.push_back(std::move(prior));
    } else {
      undoImages.push_back(std::move(prior));
      redoImages.clear();
    }
  }

  // One action among those the shown tab offers; returns its name for failure messages.
  std::string act() {
    auto* tabs = child<QTabWidget>("SSTab1");
    const int tab = tabs->currentIndex();
    QWidget* page = tabs->currentWidget();
    std::vector<std::function<std::string()>> offered = {
        [&] {
          QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                            tabs->tabBar()->tabRect(pickOf(5)).center());
          return std::string("tab");
        },
        [&] {
          if (pickOf(4) != 0) return std::string("no save");
          click(pickOf(2) ? "cmdSave" : "cmdUpload");
          return std::string("save");
        }};
    for (const char* name : {"actUndo", "actRedo"}) {
      offered.push_back([&, name] {
        editor->findChild<QAction*>(name)->trigger();
        return std::string(name);
      });
    }
    if (tab < 4) {
      auto* list = child<QComboBox>(kLists[tab]);
      offered.push_back([&, list] {
        const int entry = pickOf(list->count() + 1);
        if (entry < list->count())
          pick(list->objectName(), list->itemText(entry));
        else
          QTest::keyClicks(list->lineEdit(), randomText());
        return "list " + std::to_string(entry);
      });
    }
    for (QScrollBar* spin : page->findChildren<QScrollBar*>()) {
      if (spin->minimum() != -1 || !spin->isVisible()) continue;
      offered.push_back([&, spin] {
        clickArrow(spin, pickOf(2) == 0);
        return spin->objectName().toStdString();
      });
    }
    for (QLineEdit* box : page->findChildren<QLineEdit*>()) {
      if (box->isReadOnly() || box->objectName().isEmpty() || !box->isEnabled()) continue;
      offered.push_back([&, box] {
        type(box->objectName(), randomText());
        return "typed into " + box->objectName().toStdString();
      });
    }
    for (QWidget* control : page->findChildren<QWidget*>()) {
      if (!qobject_cast<QPushButton*>(control) && !control->objectName().startsWith("chkFlag"))
        continue;
      offered.push_back([&, control] {
        click(control->objectName());
        return control->objectName().toStdString();
      });
    }
    if (auto* grid = page->findChild<TableGrid*>()) {
      for (int n = 0; n < 4; ++n)
        offered.push_back([&, grid] {
          const int rows = grid->model()->rowCount(), cols = grid->model()->columnCount();
          const int top = pickOf(rows) + 1, left = pickOf(cols) + 1;
          select(grid->objectName(), top, left, std::min(rows, top + pickOf(3)),
                 std::min(cols, left + pickOf(3)));
          static const std::pair<Qt::Key, Qt::KeyboardModifiers> kKeys[] = {
              {Qt::Key_Plus, Qt::NoModifier},  {Qt::Key_Minus, Qt::NoModifier},
              {Qt::Key_Equal, Qt::NoModifier}, {Qt::Key_Plus, Qt::KeypadModifier},
              {Qt::Key_Up, Qt::NoModifier},    {Qt::Key_A, Qt::NoModifier}};
          const auto& [key, modifiers] = kKeys[pickOf(int(std::size(kKeys)))];
          press(grid->objectName(), key, modifiers);
          return grid->objectName().toStdString() + " key";
        });
      // Paste what was copied, or a text of any shape holding numbers in and out of range and
      // now and then junk.
      for (int n = 0; n < 2; ++n)
        offered.push_back([&, grid] {
          if (pickOf(2) == 0) {
            QString text;
            const int rows = pickOf(3) + 1, cols = pickOf(3) + 1;
            for (int r = 0; r < rows; ++r) {
              for (int c = 0; c < cols; ++c)
                text += QString(c == 0      ? ""
                                : pickOf(8) ? "\t"
                                            : ",") +
                        (pickOf(10) == 0
                             ? randomText()
                             : QString::number(std::uniform_real_distribution<>(-20, 300)(rng)));
              text += pickOf(3) == 0 ? "\r\n" : "\n";
            }
            QApplication::clipboard()->setText(text);
          }
          press(grid->objectName(), Qt::Key_V, Qt::ControlModifier);
          return grid->objectName().toStdString() + " paste";
        });
      offered.push_back([&, grid] {
        static const char* const kActions[] = {"actCopy",         "actCopyWithAxes", "actAlongRows",
                                               "actAlongColumns", "actFromCorners",  "actSmooth",
                                               "actGraph"};
        const char* name = kActions[pickOf(int(std::size(kActions)))];
        grid->findChild<QAction*>(name)->trigger();
        if (auto* graph = editor->findChild<QDialog*>("frmGraph")) graph->close();
        return std::string(name);
      });
      offered.push_back([&, grid] {
        whileModal(
            "dlgSetCells",
            [&](QDialog* dialog) {
              dialog
                  ->findChild<QRadioButton*>(pickOf(3) ? pickOf(2) ? "optSet" : "optAdd"
                                                       : "optScale")
                  ->setChecked(true);
              dialog->findChild<QLineEdit*>("txtNumber")->setText(randomText());
              dialog->findChild<QPushButton*>(pickOf(6) ? "cmdOK" : "cmdCancel")->click();
            },
            [&] { grid->findChild<QAction*>("actSetCells")->trigger(); });
        return std::string("actSetCells");
      });
    }
    return offered[static_cast<size_t>(pickOf(int(offered.size())))]();
  }

  void editorSession(int actions) {
    ASSERT_TRUE(open(onDisk, ecu));
    before.assign(BIN_Data.begin(), BIN_Data.end());
    allowed.assign(onDisk.size(), false);
    undoImages.clear();
    redoImages.clear();
    image = imageBytes();
    // Images are kept whole for the history, so the largest file is left out of it.
    const bool followed = onDisk.size() < 65536;
    for (int a = 0; a < actions && !HasFatalFailure(); ++a) {
      std::string action;
      const QStringList shown = answerMessages([&] { action = act(); });
      const bool bytesChanged = check(action, shown);
      if (followed) followHistory(action, bytesChanged);
      ++done;
    }
    const QStringList shown = answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); },
                                             pickOf(2) ? QMessageBox::Yes : QMessageBox::No);
    check("closing", shown, true);
    EXPECT_FALSE(editor->isVisible());
  }

  void viewerSession(int actions) {
    frmView view;
    ASSERT_TRUE(view.Form_Load());
    view.show();
    const std::vector<BIN_Record> loaded(BIN_Data.begin(), BIN_Data.end());
    auto* picture = view.findChild<Canvas*>("picHexLine");
    for (int a = 0; a < actions; ++a, ++done) {
      const char* box = pickOf(2) ? "txtStart" : "txtCols";
      if (pickOf(2)) {
        clickArrow(view.findChild<QScrollBar*>(pickOf(2) ? "vscStart" : "vscCols"), pickOf(2) == 0);
      } else {
        view.findChild<QLineEdit*>(box)->setText(randomText());
        view.findChild<QLineEdit*>(box)->setFocus();
        view.findChild<QScrollBar*>("vscCols")->setFocus();
      }
      ASSERT_LE(picture->count(Canvas::Primitive::Kind::Circle), 500);
    }
    EXPECT_EQ(std::memcmp(loaded.data(), BIN_Data.data(), loaded.size() * sizeof(BIN_Record)), 0);
  }

  std::mt19937 rng{static_cast<uint32_t>(envOr("TRIMLET_RANDOM_SEED", 20261206))};
  std::vector<std::vector<ECU_Item>> items;
  std::string ecu;
  std::vector<BIN_Record> before;
  std::vector<bool> allowed;
  std::vector<unsigned char> onDisk;
  std::vector<unsigned char> image;  // as the last step left it
  std::vector<std::vector<unsigned char>> undoImages, redoImages;
  int done = 0;
};

TEST_F(RandomUse, EditsStayInTheShownItemsAndSavesWriteExactlyTheImage) {
  INI_Write("Save Before Execute (Y/N)", "Y");  // uploads save first and start nothing
  const int total = envOr("TRIMLET_RANDOM_ACTIONS", 10'000);
  for (const auto& [size, share] :
       {std::pair<size_t, int>{1000, 60}, {15, 15}, {655343, 5}, {32768, 20}}) {
    SCOPED_TRACE(size);
    items = itemsFor(size);
    std::vector<ECU_Item> all;
    for (const auto& list : items) all.insert(all.end(), list.begin(), list.end());
    ecu = ecuText(all);
    onDisk = patternBytes(size);
    const int actions = total * share / 100;
    for (int left = actions * 3 / 4; left > 0 && !HasFatalFailure(); left -= 400)
      editorSession(std::min(left, 400));
    ASSERT_FALSE(HasFatalFailure());
    viewerSession(actions / 4);
    EXPECT_EQ(readBytes(binPath), onDisk);
  }
  EXPECT_GE(done, total * 99 / 100);
}

}  // namespace
}  // namespace trimlet::test
