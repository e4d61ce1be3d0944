// Random use of the real editor and viewer, on the demo files and on hostile ones: thousands of
// clicks, key presses and typed texts (junk included) from a fixed seed. Whatever happens, the
// file on disk equals the image after every save, a session without a save leaves the file as
// it was, and no byte changes outside the items the user picked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include "core/hex.h"
#include "core/settings.h"
#include "support/ui/Modal.h"
#include "ui/common/Canvas.h"
#include "ui/editor/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/viewer/frmView.h"

namespace trimlet::test {
namespace {

// Actions per run across all editor and viewer sessions, and the seed; TRIMLET_RANDOM_ACTIONS
// and TRIMLET_RANDOM_SEED override them for a longer or different hunt.
constexpr int kDefaultActions = 10'000;
constexpr uint32_t kDefaultSeed = 20261206;
constexpr int kActionsPerSession = 400;
// Every so many actions the whole image is compared, not only the file's records.
constexpr int kFullCheckEvery = 100;

int totalActions() {
  const char* text = std::getenv("TRIMLET_RANDOM_ACTIONS");
  return text != nullptr ? std::max(std::atoi(text), 0) : kDefaultActions;
}

uint32_t seed() {
  const char* text = std::getenv("TRIMLET_RANDOM_SEED");
  return text != nullptr ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : kDefaultSeed;
}

std::string demoFile(const char* name) {
  return std::string(TRIMLET_SOURCE_DIR) + "/examples/" + name;
}

// Items of every class near the end of the file and items that do not fit it at all.
std::string mixedEcu(const std::string& last) {
  const uint64_t end = *hexToNumber(last) + 1;  // bytes in the file
  const auto at = [&](uint64_t back) { return numberToHex(end - back); };
  ECU_Item scaledArray = tableItem("Cells over zero", "0", 8, 1);
  scaledArray.Operation = 1;
  scaledArray.Factor = 0;
  ECU_Item hugeMap = tableItem("Huge map", "10", 4, 4);
  hugeMap.Factor = 1e308;
  hugeMap.Offset = -1e308;
  hugeMap.Operation = 0;
  return ecuText({
      flagItem("First flag", "0", "Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle "),
      flagItem("Last flag", at(1)),
      flagItem("Flag past the end", at(0)),
      flagItem("Flag at 12G4", "12G4"),
      valueItem("Last two bytes", at(2), 2, 0.5, -40),
      valueItem("Last four bytes", at(4), 4, 0, 0, 1),
      valueItem("Last byte", at(1), 1, 1, 0, 1),
      valueItem("Over the end", at(1), 2),
      valueItem("Five bytes", "0", 5),
      valueItem("Over zero", "2", 1, 0, 3, 1),
      tableItem("Last row", at(8), 8, 1),
      tableItem("Last column", at(6), 1, 6),
      scaledArray,
      tableItem("Array of 502", "0", 502, 1),
      tableItem("Array at -1", "-1", 4, 1),
      tableItem("Last map", at(100), 10, 10),
      hugeMap,
      tableItem("Map past the end", at(15), 4, 4),
      tableItem("Map 32767 wide", "0", 32767, 2),
  });
}

struct Scenario {
  const char* name;
  std::vector<unsigned char> bin;
  std::string ecu;
  int share;  // percent of the actions
};

std::vector<Scenario> scenarios() {
  std::vector<Scenario> all;
  all.push_back({"demo", readBytes(demoFile("demo.bin")), readText(demoFile("demo.ecu")), 55});
  all.push_back({"tail of 1000 bytes", patternBytes(1000), mixedEcu("3E7"), 30});
  all.push_back({"15 bytes", patternBytes(15), mixedEcu("E"), 10});
  all.push_back({"largest file", patternBytes(655343), mixedEcu("9FFEE"), 5});
  return all;
}

// Texts a user might type, sensible or not.
QString randomText(std::mt19937& rng) {
  static const QStringList kJunk = {"",     " ",    "zz",    "-1",  "1e999",    "nan",
                                    "0x10", "1 2",  "  7f ", "ÿ§",  "FFFFFFFF", "100000000",
                                    "-0",   "2.5",  "500",   "501", "32768",    "1F",
                                    "0",    "FFFF", "+",     "=",   "\t",       QString(300, '9')};
  std::uniform_int_distribution<int> kind(0, 2);
  switch (kind(rng)) {
    case 0:
      return kJunk[std::uniform_int_distribution<int>(0, int(kJunk.size()) - 1)(rng)];
    case 1: {
      QString hex;
      const int n = std::uniform_int_distribution<int>(1, 9)(rng);
      for (int i = 0; i < n; ++i)
        hex += "0123456789abcdefABCDEF"[std::uniform_int_distribution<int>(0, 21)(rng)];
      return hex;
    }
    default:
      return QString::number(std::uniform_int_distribution<int>(-3, 600)(rng));
  }
}

// The bytes of the image's file records, as a save would write them.
std::vector<unsigned char> imageBytes() {
  std::vector<unsigned char> bytes(static_cast<size_t>(BIN_FileBytes));
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = recordByte(BIN_Data[i]);
    EXPECT_TRUE(byte.has_value()) << "record " << i << " holds no byte";
    bytes[i] = static_cast<unsigned char>(byte.value_or(0));
  }
  return bytes;
}

// Where the file differs from what it should hold; empty when it holds exactly that.
std::string difference(const std::vector<unsigned char>& file,
                       const std::vector<unsigned char>& expected) {
  if (file.size() != expected.size())
    return "the file has " + std::to_string(file.size()) + " bytes, not " +
           std::to_string(expected.size());
  const auto [at, _] = std::mismatch(file.begin(), file.end(), expected.begin());
  if (at == file.end()) return {};
  return "the file differs at offset " + numberToHex(uint64_t(at - file.begin()));
}

class RandomUse : public EditorTest {
 protected:
  // ---- checks -----------------------------------------------------------------------------

  // Marks the records of the items the lists show now: the only ones an edit may touch.
  void allowShownItems() {
    const EditorFields& f = editor->fields();
    const IndexTable* indexes[4] = {&f.FlagIndex, &f.ValueIndex, &f.ArrayIndex, &f.MapIndex};
    for (size_t l = 0; l < 4; ++l) {
      const int selection = c.lists[l]->currentIndex();
      if (selection < 0) continue;
      const ECU_Item& item = chosenItem(*indexes[l], selection);
      const auto start = hexToNumber(item.Address);
      const int64_t extent = l >= 2             ? int64_t{item.Cols} * item.Rows
                             : isFlagByte(item) ? 1
                                                : int64_t{item.Bytes};
      if (!start || extent <= 0 || *start > uint64_t(kBinCapacity)) continue;
      for (int64_t i = 0; i < extent && int64_t(*start) + i < BIN_FileBytes; ++i)
        allowed[static_cast<size_t>(*start + uint64_t(i))] = true;
    }
  }

  // Compares the image with the one before the action: changes only in allowed records, each
  // a byte, and an image that changed is marked unsaved unless the action saved it.
  void checkImage(const std::string& action, bool whole, bool saved) {
    const size_t n = whole ? before.size() : std::min(before.size(), size_t(BIN_FileBytes) + 16);
    if (std::memcmp(before.data(), BIN_Data.data(), n * sizeof(BIN_Record)) == 0) return;
    for (size_t i = 0; i < n; ++i) {
      if (std::memcmp(&before[i], &BIN_Data[i], sizeof(BIN_Record)) == 0) continue;
      ASSERT_TRUE(i < allowed.size() && allowed[i]) << action << " changed record " << i;
      ASSERT_TRUE(recordByte(BIN_Data[i]).has_value()) << action << " broke record " << i;
      before[i] = BIN_Data[i];
    }
    ASSERT_TRUE(saved || !editor->fields().Saved) << action << " changed the image unnoticed";
  }

  // After a confirmed save the file holds exactly the image, over its whole length.
  bool checkSaved(const QStringList& messages, const std::string& action) {
    const QString confirmation = QString::fromStdString(binPath).toUpper() + " Saved.";
    if (!messages.contains(confirmation)) return false;
    onDisk = imageBytes();
    EXPECT_EQ(difference(readBytes(binPath), onDisk), "") << action;
    ++saves;
    return true;
  }

  // ---- the editor -------------------------------------------------------------------------

  void openEditor() {
    BIN_Path = binPath;
    ECU_Path = ecuPath;
    editor = std::make_unique<frmEditor>();
    bool opened = false;
    answerMessages([&] { opened = editor->Form_Load(); });
    ASSERT_TRUE(opened);
    editor->show();
    QApplication::setActiveWindow(editor.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    before.assign(BIN_Data.begin(), BIN_Data.end());
    allowed.assign(static_cast<size_t>(BIN_FileBytes), false);
    findControls();
  }

  // The editor's controls, found once per session: looking them up by name on every action
  // would cost more than the actions.
  struct Controls {
    QTabWidget* tabs = nullptr;
    std::array<QComboBox*, 4> lists{};  // one per tab but the last
    std::array<TableGrid*, 5> grids{};
    std::array<QCheckBox*, 8> bits{};
    std::array<std::vector<QScrollBar*>, 5> spins;
    std::array<std::vector<QLineEdit*>, 5> boxes;  // typed into, read-only ones left out
    std::array<std::vector<QPushButton*>, 5> buttons;
    QPushButton* save = nullptr;
    QPushButton* upload = nullptr;
  };

  void findControls() {
    c = Controls{};
    c.tabs = child<QTabWidget>("SSTab1");
    const char* lists[] = {"cmbFlag", "cmb0Dim", "cmb1Dim", "cmb2Dim"};
    for (size_t t = 0; t < 4; ++t) c.lists[t] = child<QComboBox>(lists[t]);
    c.grids[2] = child<TableGrid>("grdLine");
    c.grids[3] = child<TableGrid>("grdMap");
    for (int bit = 0; bit < 8; ++bit)
      c.bits[size_t(bit)] = child<QCheckBox>(QString("chkFlag(%1)").arg(bit));
    for (size_t t = 0; t < 5; ++t) {
      QWidget* page = c.tabs->widget(int(t));
      for (QScrollBar* bar : page->findChildren<QScrollBar*>())
        if (bar->maximum() == 1 && bar->minimum() == -1) c.spins[t].push_back(bar);
      for (QLineEdit* box : page->findChildren<QLineEdit*>())
        if (!box->isReadOnly() && !box->objectName().isEmpty())  // not a list's edit field
          c.boxes[t].push_back(box);
      for (QPushButton* button : page->findChildren<QPushButton*>()) c.buttons[t].push_back(button);
    }
    c.save = child<QPushButton>("cmdSave");
    c.upload = child<QPushButton>("cmdUpload");
  }

  QTabWidget* tabs() const { return c.tabs; }
  size_t tab() const { return size_t(c.tabs->currentIndex()); }
  QComboBox* currentList() const { return tab() < 4 ? c.lists[tab()] : nullptr; }
  TableGrid* currentGrid() const { return c.grids[tab()]; }
  const std::vector<QScrollBar*>& currentSpins() const { return c.spins[tab()]; }

  std::vector<QLineEdit*> currentBoxes() const {
    std::vector<QLineEdit*> boxes;
    for (QLineEdit* box : c.boxes[tab()])
      if (box->isEnabled()) boxes.push_back(box);
    return boxes;
  }

  int pickOf(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  // Clicks into a box, types, and leaves it for another control as the user does.
  void typeInto(QLineEdit* box, QWidget* elsewhere) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, randomText(rng));
    if (pickOf(4) == 0) return;  // the focus stays; a later action moves it
    if (pickOf(2) == 0) {
      QTest::keyClick(box, Qt::Key_Tab);
    } else {
      elsewhere->setFocus(Qt::MouseFocusReason);
    }
  }

  void gridAction(TableGrid* grid) {
    const int rows = grid->model()->rowCount(), cols = grid->model()->columnCount();
    switch (pickOf(3)) {
      case 0: {  // select a cell, or a block with shift
        const QModelIndex cell = grid->model()->index(pickOf(rows), pickOf(cols));
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton,
                          pickOf(2) ? Qt::ShiftModifier : Qt::NoModifier,
                          grid->visualRect(cell).center());
        break;
      }
      default: {
        static const std::pair<int, Qt::KeyboardModifiers> kKeys[] = {
            {Qt::Key_Plus, Qt::NoModifier},     {Qt::Key_Equal, Qt::NoModifier},
            {Qt::Key_Minus, Qt::NoModifier},    {Qt::Key_Underscore, Qt::ShiftModifier},
            {Qt::Key_Plus, Qt::KeypadModifier}, {Qt::Key_Minus, Qt::KeypadModifier},
            {Qt::Key_Up, Qt::NoModifier},       {Qt::Key_Right, Qt::ShiftModifier},
            {Qt::Key_A, Qt::NoModifier},        {Qt::Key_Return, Qt::NoModifier},
            {Qt::Key_Delete, Qt::NoModifier},   {Qt::Key_PageDown, Qt::NoModifier},
            {Qt::Key_A, Qt::ControlModifier}};
        const auto& [key, modifiers] = kKeys[pickOf(std::size(kKeys))];
        grid->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(grid, Qt::Key(key), modifiers);
      }
    }
  }

  // One random action among those the shown tab offers; returns its name for failure messages.
  std::string editorAction() {
    using Action = std::function<std::string()>;
    std::vector<std::pair<int, Action>> offered = {
        {3,
         [&] {
           const int to = pickOf(5);
           QTest::mouseClick(tabs()->tabBar(), Qt::LeftButton, {},
                             tabs()->tabBar()->tabRect(to).center());
           return "tab " + std::to_string(to);
         }},
        {1,
         [&] {
           editor->resize(400 + pickOf(800), 300 + pickOf(600));
           QApplication::processEvents();  // lay out and paint at the new size
           return std::string("resize");
         }},
        // Saves are rarer than edits, as in real use.
        {1,
         [&] {
           if (pickOf(3) != 0) return std::string("no save");
           QTest::mouseClick(pickOf(2) ? c.save : c.upload, Qt::LeftButton);
           return std::string("save or upload");
         }},
    };
    if (QComboBox* list = currentList()) {
      const std::string name = list->objectName().toStdString();
      offered.push_back({3, [&, list, name] {
                           if (list->count() > 0 && pickOf(2) == 0) {
                             const int entry = pickOf(list->count());
                             list->setCurrentIndex(entry);
                             emit list->activated(entry);
                             return "pick " + list->itemText(entry).toStdString();
                           }
                           list->setFocus(Qt::MouseFocusReason);
                           QTest::keyClick(list, pickOf(2) ? Qt::Key_Down : Qt::Key_Up);
                           return "arrow key in " + name;
                         }});
      offered.push_back({1, [&, list, name] {
                           QTest::mouseClick(list->lineEdit(), Qt::LeftButton);
                           QTest::keyClicks(list->lineEdit(), randomText(rng));
                           return "typed into " + name;
                         }});
    }
    if (tab() == 0) {
      offered.push_back({6, [&] {
                           const int bit = pickOf(8);
                           QTest::mouseClick(c.bits[size_t(bit)], Qt::LeftButton);
                           return "bit box " + std::to_string(bit);
                         }});
    }
    if (const auto& spins = currentSpins(); !spins.empty()) {
      offered.push_back({5, [&, spins] {
                           QScrollBar* spin = spins[size_t(pickOf(int(spins.size())))];
                           const bool up = pickOf(2) == 0;
                           clickArrow(spin, up);
                           return spin->objectName().toStdString() + (up ? " up" : " down");
                         }});
    }
    if (const auto boxes = currentBoxes(); !boxes.empty()) {
      offered.push_back({5, [&, boxes] {
                           QLineEdit* box = boxes[size_t(pickOf(int(boxes.size())))];
                           typeInto(box, tabs()->tabBar());
                           return "typed into " + box->objectName().toStdString();
                         }});
    }
    if (TableGrid* grid = currentGrid()) {
      offered.push_back({8, [&, grid] {
                           gridAction(grid);
                           return "grid " + grid->objectName().toStdString();
                         }});
    }
    for (QPushButton* button : c.buttons[tab()]) {
      offered.push_back({1, [&, button] {
                           QTest::mouseClick(button, Qt::LeftButton);
                           return button->objectName().toStdString();
                         }});
    }
    int weight = 0;
    for (const auto& [w, action] : offered) weight += w;
    int roll = pickOf(weight);
    for (const auto& [w, action] : offered) {
      if (roll < w) return action();
      roll -= w;
    }
    return {};
  }

  void editorSession(int actions) {
    openEditor();
    ASSERT_FALSE(HasFatalFailure());
    for (int a = 0; a < actions; ++a) {
      std::string action;
      const QStringList messages = answerMessages([&] { action = editorAction(); });
      allowShownItems();
      const bool saved = checkSaved(messages, action);
      checkImage(action, a % kFullCheckEvery == 0, saved);
      if (HasFatalFailure()) return;
      ++done;
    }
    checkImage("the session", true, false);
    // Closing asks about unsaved edits; either answer leaves the file as the last save left it.
    const bool yes = pickOf(2) == 0;
    const bool asked = !editor->fields().Saved;
    const QStringList messages =
        answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); },
                       yes ? QMessageBox::Yes : QMessageBox::No);
    EXPECT_EQ(asked, !messages.isEmpty());
    checkSaved(messages, "closing");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(difference(readBytes(binPath), onDisk), "");
    editor.reset();
  }

  // ---- the viewer -------------------------------------------------------------------------

  void viewerSession(int actions) {
    BIN_Path = binPath;
    ECU_Path = ecuPath;
    auto view = std::make_unique<frmView>();
    bool opened = false;
    answerMessages([&] { opened = view->Form_Load(); });
    ASSERT_TRUE(opened);
    view->show();
    QApplication::setActiveWindow(view.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const std::vector<BIN_Record> loaded(BIN_Data.begin(), BIN_Data.end());
    auto* picture = view->findChild<Canvas*>("picHexLine");
    const std::vector<QScrollBar*> spins = {view->findChild<QScrollBar*>("vscStart"),
                                            view->findChild<QScrollBar*>("vscCols")};
    const std::vector<QLineEdit*> boxes = {view->findChild<QLineEdit*>("txtStart"),
                                           view->findChild<QLineEdit*>("txtCols")};
    for (int a = 0; a < actions; ++a) {
      // Resizing repaints the window, which costs far more than the other actions.
      const int roll = pickOf(9);
      if (roll < 4) {
        clickArrow(spins[size_t(pickOf(2))], pickOf(2) == 0);
      } else if (roll < 8) {
        typeInto(boxes[size_t(pickOf(2))], spins[size_t(pickOf(2))]);
      } else {
        view->resize(300 + pickOf(900), 250 + pickOf(600));
        QApplication::processEvents();
      }
      // At most one circle per byte of the count's range, each where the picture can show it.
      ASSERT_LE(picture->count(Canvas::Primitive::Kind::Circle), 501);
      for (const auto& p : picture->primitives())
        ASSERT_TRUE(std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) &&
                    std::isfinite(p.y2));
      ++done;
    }
    // The viewer only reads.
    EXPECT_EQ(std::memcmp(loaded.data(), BIN_Data.data(), loaded.size() * sizeof(BIN_Record)), 0);
    view.reset();
    EXPECT_EQ(difference(readBytes(binPath), onDisk), "");
  }

  Controls c;
  std::mt19937 rng{seed()};
  std::vector<BIN_Record> before;
  std::vector<bool> allowed;
  std::vector<unsigned char> onDisk;
  int saves = 0;
  int done = 0;
};

TEST_F(RandomUse, EditorAndViewerKeepTheFileAndTheImageExact) {
  // Uploads save first and start nothing.
  INI_Write("Save Before Execute (Y/N)", "Y");
  INI_Write("Upload Execute", "");
  const int total = totalActions();
  QElapsedTimer clock;
  clock.start();
  for (const Scenario& s : scenarios()) {
    SCOPED_TRACE(s.name);
    ASSERT_FALSE(s.bin.empty() && std::string(s.name) == "demo") << "demo files missing";
    binPath = dir.write(std::string(s.name) + ".bin", s.bin);
    ecuPath = dir.write(std::string(s.name) + ".ecu", s.ecu);
    onDisk = s.bin;
    const int savesBefore = saves;
    const int actions = total * s.share / 100;
    const int editorActions = actions * 3 / 4;
    for (int left = editorActions; left > 0; left -= kActionsPerSession) {
      editorSession(std::min(left, kActionsPerSession));
      ASSERT_FALSE(HasFatalFailure());
    }
    viewerSession(actions - editorActions);
    ASSERT_FALSE(HasFatalFailure());
    if (saves == savesBefore) {
      EXPECT_EQ(difference(readBytes(binPath), s.bin), "");  // nothing saved, nothing changed
    }
  }
  RecordProperty("actions", done);
  RecordProperty("saves", saves);
  std::printf("random use (seed %u): %d actions, %d saves, %lld ms\n", seed(), done, saves,
              static_cast<long long>(clock.elapsed()));
  EXPECT_GE(done, total * 99 / 100);
}

}  // namespace
}  // namespace trimlet::test
