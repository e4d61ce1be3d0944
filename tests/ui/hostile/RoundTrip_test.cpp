// One edit through each panel's widgets, then "Save Changes": the file differs from what it
// was in exactly the bytes that edit changed, also in the file's last, partial block.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <map>

#include "support/ui/Modal.h"
#include "ui/common/TextBox.h"
#include "ui/editor/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

// 1000 bytes: the last 8 lie after the last whole 16-byte block. Byte i holds i % 251.
constexpr size_t kFileSize = 1000;

std::string tailItems() {
  return ecuText({flagItem("Last byte", "3E7"), valueItem("Last two", "3E5", 2),
                  tableItem("Row", "3D8", 8, 1), tableItem("Map", "3C0", 4, 4)});
}

class RoundTrip : public EditorTest {
 public:
  // For the table of edits below.
  using EditorTest::child;
  using EditorTest::clickArrow;
  using EditorTest::pick;

  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_TRUE(open(patternBytes(kFileSize), tailItems()));
  }

  void showTab(int tab) { child<QTabWidget>("SSTab1")->setCurrentIndex(tab); }

  // Clicks the cell of the grid's model row and column, with shift to stretch a block.
  void clickCell(const char* grid, int row, int col, Qt::KeyboardModifiers modifiers = {}) {
    auto* view = child<TableGrid>(grid);
    const QRect cell = view->visualRect(view->model()->index(row, col));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cell.center());
  }

  void typeRaw(const QString& text) {
    auto* box = child<TextBox>("txtValue_Raw");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    child<QTabWidget>("SSTab1")->tabBar()->setFocus(Qt::MouseFocusReason);
  }
};

struct PanelEdit {
  const char* name;
  std::function<void(RoundTrip&)> edit;
  std::map<size_t, unsigned char> changed;  // offset -> the byte it holds afterwards
};

void PrintTo(const PanelEdit& e, std::ostream* os) { *os << e.name; }

class EachPanel : public RoundTrip, public testing::WithParamInterface<PanelEdit> {};

TEST_P(EachPanel, SavedFileDiffersInTheEditedBytesOnly) {
  GetParam().edit(*this);
  ASSERT_FALSE(editor->fields().Saved);
  EXPECT_EQ(
      answerMessages([&] { QTest::mouseClick(child<QPushButton>("cmdSave"), Qt::LeftButton); }),
      QStringList({QString::fromStdString(binPath).toUpper() + " Saved."}));

  std::vector<unsigned char> expected = patternBytes(kFileSize);
  for (const auto& [offset, byte] : GetParam().changed) {
    ASSERT_NE(expected[offset], byte) << "an edit that changes nothing proves nothing";
    expected[offset] = byte;
  }
  EXPECT_EQ(readBytes(binPath), expected);
}

const std::vector<PanelEdit> kEdits = {
    {"FlagBitZero",
     [](RoundTrip& t) {
       t.showTab(0);
       t.pick("cmbFlag", "Last byte");
       QTest::mouseClick(t.child<QCheckBox>("chkFlag(7)"), Qt::LeftButton);
     },
     {{999, 0xF7}}},  // 999 % 251 = F6
    {"ValueStepUp",
     [](RoundTrip& t) {
       t.showTab(1);
       t.pick("cmb0Dim", "Last two");
       RoundTrip::clickArrow(t.child<QScrollBar>("scrValue"), true);
     },
     {{998, 0xF6}}},  // F4F5 -> F4F6
    {"ValueTyped",
     [](RoundTrip& t) {
       t.showTab(1);
       t.pick("cmb0Dim", "Last two");
       t.typeRaw("1ff");
     },
     {{997, 0x01}, {998, 0xFF}}},
    {"ArrayCellUp",
     [](RoundTrip& t) {
       t.showTab(2);
       t.pick("cmb1Dim", "Row");
       t.clickCell("grdLine", 0, 2);
       QTest::keyClick(t.child<TableGrid>("grdLine"), Qt::Key_Plus);
     },
     {{986, 234}}},  // the third cell: 986 % 251 = 233
    {"MapBlockDown",
     [](RoundTrip& t) {
       t.showTab(3);
       t.pick("cmb2Dim", "Map");
       // The top grid row is the map's last row: cells 12, 13 and, a row lower, 8, 9.
       t.clickCell("grdMap", 0, 0);
       t.clickCell("grdMap", 1, 1, Qt::ShiftModifier);
       QTest::keyClick(t.child<TableGrid>("grdMap"), Qt::Key_Minus);
     },
     {{972, 218}, {973, 219}, {968, 214}, {969, 215}}},
};
INSTANTIATE_TEST_SUITE_P(Tail, EachPanel, testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

// Picking, switching tabs, flipping the display mode and filling the dump change no byte.
TEST_F(RoundTrip, LookingWithoutEditingSavesTheFileUnchanged) {
  for (int tab = 0; tab < 5; ++tab) showTab(tab);
  pick("cmbFlag", "Last byte");
  pick("cmb0Dim", "Last two");
  showTab(2);
  pick("cmb1Dim", "Row");
  QTest::mouseClick(child<QPushButton>("cmdShowIn_1"), Qt::LeftButton);
  showTab(3);
  pick("cmb2Dim", "Map");
  showTab(4);
  QTest::mouseClick(child<QPushButton>("cmdPopulate"), Qt::LeftButton);
  EXPECT_TRUE(editor->fields().Saved);
  answerMessages([&] { editor->cmdSave_Click(); });
  EXPECT_EQ(readBytes(binPath), patternBytes(kFileSize));
}

}  // namespace
}  // namespace trimlet::test
