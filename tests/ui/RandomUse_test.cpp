// Random use of the real editor: thousands of clicks, key presses, menu actions, pastes and
// typed texts (junk included) from a fixed seed, on files whose items the test itself wrote. After
// every action no byte has changed outside the items the user has shown, every changed record holds
// a byte, a changed image is marked unsaved, an undo or redo gives back exactly the image the test
// saw before or after a step, and after every save the file is the image.
#include <QApplication>
#include <QClipboard>
#include <QTabBar>
#include <cstring>
#include <random>

#include "core/hex.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

// TRIMLET_RANDOM_ACTIONS and TRIMLET_RANDOM_SEED set a longer or different hunt.
int envOr(const char* name, int fallback) {
  return std::getenv(name) != nullptr ? std::atoi(std::getenv(name)) : fallback;
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
        "",    " ",   "zz",  "-1", "1e999",     "nan", "1 2", " 7f ",           "ÿ§",
        "2.5", "500", "501", "1F", "100000000", "0x1", "+",   QString(300, '9')};
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
      for (int64_t i = 0; start && i < extent && *start + uint64_t(i) < allowed.size(); ++i)
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
  void check(const std::string& action, const QStringList& shown, bool whole = false) {
    allowShownEntries();
    const bool savedNow = shown.contains(QString::fromStdString(binPath).toUpper() + " Saved.");
    const size_t compared = whole ? before.size() : std::min(before.size(), allowed.size() + 16);
    for (size_t i = 0; i < compared; ++i) {
      if (std::memcmp(&before[i], &BIN_Data[i], sizeof(BIN_Record)) == 0) continue;
      ASSERT_TRUE(i < allowed.size() && allowed[i]) << action << " changed record " << i;
      ASSERT_TRUE(recordByte(BIN_Data[i])) << action << " broke record " << i;
      // An undo back to the image last saved leaves nothing to save.
      ASSERT_TRUE(savedNow || !saved() || imageBytes() == onDisk)
          << action << " changed the image unnoticed";
      before[i] = BIN_Data[i];
    }
    if (savedNow) onDisk = imageBytes();
    ASSERT_EQ(readBytes(binPath), onDisk) << action;
  }

  // The test's own record of the images the user's steps left (not the program's history).
  void followHistory(const std::string& action, std::vector<unsigned char> prior) {
    std::vector<unsigned char> now = imageBytes();
    const bool undo = action == "actUndo";
    if (undo || action == "actRedo") {
      auto& from = undo ? undoImages : redoImages;
      ASSERT_EQ(now, from.empty() ? prior : from.back()) << action;
      if (from.empty()) return;
      from.pop_back();
      (undo ? redoImages : undoImages).push_back(std::move(prior));
    } else if (now != prior) {
      undoImages.push_back(std::move(prior));
      redoImages.clear();
    }
  }

  // Pastes what was copied, or two rows of numbers in and out of range or junk.
  void paste(const QString& grid) {
    const auto number = [&] {
      return pickOf(8) ? QString::number(std::uniform_real_distribution<>(-20, 300)(rng))
                       : randomText();
    };
    if (pickOf(2) == 0) {
      QString text;
      for (const char* after : {"\t", "\r\n", ",", "\n"}) text += number() + after;
      QApplication::clipboard()->setText(text);
    }
    press(grid, Qt::Key_V, Qt::ControlModifier);
  }

  // One action among those the shown tab offers; returns its name for failure messages.
  std::string act() {
    auto* tabs = child<QTabWidget>("SSTab1");
    QWidget* page = tabs->currentWidget();
    using Action = std::function<std::string()>;
    std::vector<Action> offered = {[&] {
                                     QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                                                       tabs->tabBar()->tabRect(pickOf(5)).center());
                                     return "tab";
                                   },
                                   [&] {
                                     if (pickOf(4) == 0) click(pickOf(2) ? "cmdSave" : "cmdUpload");
                                     return "save";
                                   },
                                   [&] { return action("actUndo")->trigger(), "actUndo"; },
                                   [&] { return action("actRedo")->trigger(), "actRedo"; }};
    if (tabs->currentIndex() < 4) {
      auto* list = child<QComboBox>(kLists[tabs->currentIndex()]);
      offered.push_back([&, list] {
        const int entry = pickOf(list->count() + 1);
        if (entry < list->count())
          pick(list->objectName(), list->itemText(entry));
        else
          QTest::keyClicks(list->lineEdit(), randomText());
        return "list " + std::to_string(entry);
      });
    }
    for (QScrollBar* spin : page->findChildren<QScrollBar*>())
      if (spin->minimum() == -1 && spin->isVisible())
        offered.push_back([&, spin] {
          clickArrow(spin, pickOf(2) == 0);
          return spin->objectName().toStdString();
        });
    for (QLineEdit* box : page->findChildren<QLineEdit*>())
      if (!box->isReadOnly() && !box->objectName().isEmpty() && box->isEnabled())
        offered.push_back([&, box] {
          type(box->objectName(), randomText());
          return "typed into " + box->objectName().toStdString();
        });
    for (QWidget* control : page->findChildren<QWidget*>())
      if (qobject_cast<QPushButton*>(control) || control->objectName().startsWith("chkFlag"))
        offered.push_back([&, control] {
          click(control->objectName());
          return control->objectName().toStdString();
        });
    if (auto* grid = page->findChild<TableGrid*>()) {
      const QString name = grid->objectName();
      const Action key = [&, grid, name] {
        const int rows = grid->model()->rowCount(), cols = grid->model()->columnCount();
        const int top = pickOf(rows) + 1, left = pickOf(cols) + 1;
        select(name, top, left, std::min(rows, top + pickOf(3)), std::min(cols, left + pickOf(3)));
        static const std::pair<Qt::Key, Qt::KeyboardModifiers> kKeys[] = {
            {Qt::Key_Plus, Qt::NoModifier},  {Qt::Key_Minus, Qt::NoModifier},
            {Qt::Key_Equal, Qt::NoModifier}, {Qt::Key_Plus, Qt::KeypadModifier},
            {Qt::Key_Up, Qt::NoModifier},    {Qt::Key_A, Qt::NoModifier}};
        const auto& [pressed, modifiers] = kKeys[pickOf(int(std::size(kKeys)))];
        press(name, pressed, modifiers);
        return "key";
      };
      const Action menu = [&, grid] {
        static const char* const kActions[] = {"actCopy",         "actCopyWithAxes", "actAlongRows",
                                               "actAlongColumns", "actFromCorners",  "actSmooth",
                                               "actGraph"};
        const char* chosen = kActions[pickOf(int(std::size(kActions)))];
        grid->findChild<QAction*>(chosen)->trigger();
        if (auto* graph = editor->findChild<QDialog*>("frmGraph")) graph->close();
        return chosen;
      };
      offered.insert(offered.end(), {key, key, key, key, menu});
      offered.insert(offered.end(), 2, [&, name] { return paste(name), "paste"; });
    }
    return offered[static_cast<size_t>(pickOf(int(offered.size())))]();
  }

  void session(int actions) {
    ASSERT_TRUE(open(onDisk, ecu));
    before.assign(BIN_Data.begin(), BIN_Data.end());
    allowed.assign(onDisk.size(), false);
    undoImages.clear();
    redoImages.clear();
    // Images are kept whole for the history, so the largest file is left out of it.
    const bool followed = onDisk.size() < 65536;
    for (int a = 0; a < actions && !HasFatalFailure(); ++a, ++done) {
      std::string action;
      const auto prior = followed ? imageBytes() : std::vector<unsigned char>();
      const QStringList shown = answerMessages([&] { action = act(); });
      check(action, shown);
      if (followed) followHistory(action, prior);
    }
    const QStringList shown = answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); },
                                             pickOf(2) ? QMessageBox::Yes : QMessageBox::No);
    check("closing", shown, true);
    EXPECT_FALSE(editor->isVisible());
  }

  std::mt19937 rng{static_cast<uint32_t>(envOr("TRIMLET_RANDOM_SEED", 20261206))};
  std::vector<std::vector<ECU_Item>> items;
  std::string ecu;
  std::vector<BIN_Record> before;
  std::vector<bool> allowed;
  std::vector<unsigned char> onDisk;
  std::vector<std::vector<unsigned char>> undoImages, redoImages;
  int done = 0;
};

TEST_F(RandomUse, EditsStayInTheShownItemsAndSavesWriteExactlyTheImage) {
  INI_Write("Save Before Execute (Y/N)", "Y");  // uploads save first and start nothing
  const int total = envOr("TRIMLET_RANDOM_ACTIONS", 7'500);
  for (const auto& [size, share] :
       {std::pair<size_t, int>{1000, 60}, {15, 15}, {655343, 5}, {32768, 20}}) {
    SCOPED_TRACE(size);
    items = itemsFor(size);
    std::vector<ECU_Item> all;
    for (const auto& list : items) all.insert(all.end(), list.begin(), list.end());
    ecu = ecuText(all);
    onDisk = patternBytes(size);
    for (int left = total * share / 100; left > 0 && !HasFatalFailure(); left -= 400)
      session(std::min(left, 400));
    EXPECT_EQ(readBytes(binPath), onDisk);
  }
  EXPECT_GE(done, total * 99 / 100);
}

}  // namespace
}  // namespace trimlet::test
