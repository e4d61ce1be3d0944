// Random use of the real editor from a fixed seed: clicks, key presses, menu actions, pastes
// and typed texts (junk included), on files whose items the test itself placed. Only the bytes
// of the item chosen on the tab in front may change (by the test's own addresses, the list
// showing its name); undo and redo give back exactly the images the test saw; every changed
// record holds a byte and marks the image unsaved; after every save the file is the image; and
// every kind of edit changes the image at least once over the run.
#include <QApplication>
#include <QClipboard>
#include <QTabBar>
#include <cstring>
#include <random>
#include <set>

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

using Entry = std::pair<ECU_Item, int64_t>;  // an item and where the test put it (-1: no number)

// Items of every kind near the end of a file of `size` bytes, and items that do not fit it,
// by the list that shows them.
std::vector<std::vector<Entry>> itemsFor(int64_t size) {
  const auto put = [](int64_t start, ECU_Item item) {
    if (start >= 0) item.Address = QString::number(start, 16).toUpper().toStdString();
    return Entry{std::move(item), start};
  };
  ECU_Item overZero = tableItem("Cells over zero", "", 8, 1);
  overZero.Operation = 1;
  overZero.Factor = 0;
  return {
      {put(0, flagItem("First flag", "", "Fan1 Fan2 Ign° Knk  O2   EGR  Air  Idle ")),
       put(size - 1, flagItem("Last flag", "")), put(size, flagItem("Flag past the end", "")),
       put(-1, flagItem("Flag at 12G4", "12G4"))},
      {put(size - 2, valueItem("Last two bytes", "", 2, 0.5, -40)),
       put(size - 4, valueItem("Last four", "", 4, 0, 0, 1)),
       put(size - 1, valueItem("Over the end", "", 2)), put(0, valueItem("Five bytes", "", 5)),
       put(2, valueItem("Over zero", "", 1, 0, 3, 1))},
      {put(size - 8, tableItem("Last row", "", 8, 1)),
       put(size - 6, tableItem("Last column", "", 1, 6)), put(0, overZero),
       put(0, tableItem("Array of 502", "", 502, 1))},
      {put(size - 100, tableItem("Last map", "", 10, 10)), put(1, tableItem("Early map", "", 4, 4)),
       put(size - 15, tableItem("Map past the end", "", 4, 4))}};
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

  // The bytes of the item last picked on the tab in front (typing into its list keeps it): the
  // only ones the next action may change.
  void allowFront() {
    std::fill(allowed.begin(), allowed.end(), false);
    const auto tab = static_cast<size_t>(child<QTabWidget>("SSTab1")->currentIndex());
    if (tab >= 4 || picked[tab] < 0) return;
    const auto& [item, start] = items[tab][static_cast<size_t>(picked[tab])];
    if (const auto* list = child<QComboBox>(kLists[tab]); list->currentIndex() >= 0) {
      ASSERT_EQ(list->currentText().toStdString(), item.Name);
    }
    const int64_t end = start + (tab == 0   ? 1
                                 : tab == 1 ? item.Bytes
                                            : int64_t{item.Cols} * item.Rows);
    for (int64_t i = start; start >= 0 && i < end && i < std::ssize(allowed); ++i)
      allowed[static_cast<size_t>(i)] = true;
  }

  std::vector<unsigned char> imageBytes() const {
    std::vector<unsigned char> bytes(allowed.size());
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<unsigned char>(recordByte(BIN_Data[i]).value_or(-1));
    return bytes;
  }

  // Records beyond the file's last block are compared once a session: nothing writes there. An
  // undo or redo may change any byte: the history checks those.
  void check(const std::string& action, const QStringList& shown, bool whole = false) {
    const bool anywhere = action == "undo" || action == "redo";
    const bool savedNow = shown.contains(QString::fromStdString(binPath).toUpper() + " Saved.");
    const size_t compared = whole ? before.size() : std::min(before.size(), allowed.size() + 16);
    for (size_t i = 0; i < compared; ++i) {
      if (std::memcmp(&before[i], &BIN_Data[i], sizeof(BIN_Record)) == 0) continue;
      ASSERT_TRUE(i < allowed.size() && (anywhere || allowed[i])) << action << " changed " << i;
      ASSERT_TRUE(recordByte(BIN_Data[i])) << action << " broke record " << i;
      // An undo back to the image last saved leaves nothing to save.
      ASSERT_TRUE(savedNow || !saved() || imageBytes() == onDisk)
          << action << " changed the image unnoticed";
      if (recordByte(before[i]) != recordByte(BIN_Data[i]))
        changedBy.insert(action.substr(0, action.find(' ')));
      before[i] = BIN_Data[i];
    }
    if (savedNow) onDisk = imageBytes();
    ASSERT_EQ(readBytes(binPath), onDisk) << action;
  }

  // The test's own record of the images the user's steps left (not the program's history).
  void followHistory(const std::string& action, std::vector<unsigned char> prior) {
    std::vector<unsigned char> now = imageBytes();
    const bool undo = action == "undo";
    if (undo || action == "redo") {
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
                                   [&] { return action("actUndo")->trigger(), "undo"; },
                                   [&] { return action("actRedo")->trigger(), "redo"; }};
    if (const auto tab = static_cast<size_t>(tabs->currentIndex()); tab < 4) {
      auto* list = child<QComboBox>(kLists[tab]);
      offered.push_back([&, list, tab] {
        const int entry = pickOf(list->count() + 1);
        if (entry < list->count())
          pick(list->objectName(), list->itemText(picked[tab] = entry));
        else
          QTest::keyClicks(list->lineEdit(), randomText());
        return "list " + std::to_string(entry);
      });
    }
    for (QScrollBar* spin : page->findChildren<QScrollBar*>())
      if (spin->minimum() == -1 && spin->isVisible())
        offered.push_back([&, spin] {
          clickArrow(spin, pickOf(2) == 0);
          return "arrow " + spin->objectName().toStdString();
        });
    for (QLineEdit* box : page->findChildren<QLineEdit*>())
      if (!box->isReadOnly() && !box->objectName().isEmpty() && box->isEnabled() &&
          box->isVisible())
        offered.push_back([&, box] {
          type(box->objectName(), randomText());
          return "typed " + box->objectName().toStdString();
        });
    for (QWidget* control : page->findChildren<QWidget*>())
      if (qobject_cast<QPushButton*>(control) || control->objectName().startsWith("chkFlag"))
        offered.push_back([&, control] {
          click(control->objectName());
          const bool flag = control->objectName().startsWith("chkFlag");
          return (flag ? "flag " : "button ") + control->objectName().toStdString();
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
        return std::string("menu ") + chosen;
      };
      offered.insert(offered.end(), {key, key, key, key, menu});
      // Pastes what was copied, or two rows of numbers in and out of range or junk.
      offered.insert(offered.end(), 2, [&, name] {
        if (pickOf(2) == 0) {
          QString text;
          for (const char* after : {"\t", "\r\n", ",", "\n"})
            text += (pickOf(8) ? QString::number(std::uniform_real_distribution<>(-20, 300)(rng))
                               : randomText()) +
                    after;
          QApplication::clipboard()->setText(text);
        }
        press(name, Qt::Key_V, Qt::ControlModifier);
        return "paste";
      });
    }
    return offered[static_cast<size_t>(pickOf(int(offered.size())))]();
  }

  void session(int actions) {
    ASSERT_TRUE(open(onDisk, ecu));
    before.assign(BIN_Data.begin(), BIN_Data.end());
    allowed.assign(onDisk.size(), false);
    undoImages.clear();
    redoImages.clear();
    picked.fill(-1);
    // Images are kept whole for the history, so the largest file is left out of it.
    const bool followed = onDisk.size() < 65536;
    for (int a = 0; a < actions && !HasFatalFailure(); ++a) {
      std::string action;
      const auto prior = followed ? imageBytes() : std::vector<unsigned char>();
      allowFront();
      // A message box closed offscreen hands activation back to no window: give it back, as a
      // user's click on the editor would, so that typing reaches the boxes.
      QApplication::setActiveWindow(editor.get());
      const QStringList shown = answerMessages([&] { action = act(); });
      check(action, shown);
      if (followed) followHistory(action, prior);
    }
    const QStringList shown = answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); },
                                             pickOf(2) ? QMessageBox::Yes : QMessageBox::No);
    allowFront();
    check("closing", shown, true);
    EXPECT_FALSE(editor->isVisible());
  }

  std::mt19937 rng{static_cast<uint32_t>(envOr("TRIMLET_RANDOM_SEED", 20261206))};
  std::vector<std::vector<Entry>> items;
  std::array<int, 4> picked{};  // by list: the entry last picked, or -1
  std::string ecu;
  std::vector<BIN_Record> before;
  std::vector<bool> allowed;
  std::vector<unsigned char> onDisk;
  std::vector<std::vector<unsigned char>> undoImages, redoImages;
  std::set<std::string> changedBy;  // the kinds of action that changed a byte
};

TEST_F(RandomUse, EditsStayInTheShownItemsAndSavesWriteExactlyTheImage) {
  INI_Write("Save Before Execute (Y/N)", "Y");  // uploads save first and start nothing
  const int total = envOr("TRIMLET_RANDOM_ACTIONS", 7'500);
  for (const auto& [size, share] :
       {std::pair<size_t, int>{1000, 60}, {15, 15}, {655343, 5}, {32768, 20}}) {
    SCOPED_TRACE(size);
    items = itemsFor(static_cast<int64_t>(size));
    std::vector<ECU_Item> all;
    for (const auto& list : items)
      for (const Entry& entry : list) all.push_back(entry.first);
    ecu = ecuText(all);
    onDisk = patternBytes(size);
    for (int left = total * share / 100; left > 0 && !HasFatalFailure(); left -= 400)
      session(std::min(left, 400));
  }
  EXPECT_EQ(changedBy, std::set<std::string>(
                           {"arrow", "flag", "key", "menu", "paste", "redo", "typed", "undo"}));
}

}  // namespace
}  // namespace trimlet::test
