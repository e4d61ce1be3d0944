#include "ui/editor/tables/TablePanel.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

#include "ui/common/Canvas.h"
#include "ui/common/DropDown.h"
#include "ui/editor/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

using Kind = Canvas::Primitive::Kind;

// A table item of a test's ECU file: raw values shown as they are, unless scaled.
ECU_Item table(const std::string& address, int cols, int rows, std::string yaxis = "",
               std::string xaxis = "") {
  ECU_Item item = tableItem("Item", address, cols, rows);
  item.Ylabel = "Y title";
  item.Yaxis = std::move(yaxis);
  item.Xlabel = "X title";
  item.Xaxis = std::move(xaxis);
  return item;
}

ECU_Item scaled(ECU_Item item, double offset, int operation, double factor, std::string name) {
  item.Offset = offset;
  item.Operation = static_cast<int16_t>(operation);
  item.Factor = factor;
  item.Name = std::move(name);
  return item;
}

class TablesTest : public EditorTest {
 protected:
  void open(const std::vector<unsigned char>& bin, const std::vector<ECU_Item>& items) {
    ASSERT_TRUE(EditorTest::open(bin, ecuText(items)));
    arrays_ = qobject_cast<TablePanel*>(child<DropDown>("cmb1Dim")->parentWidget());
    maps_ = qobject_cast<TablePanel*>(child<DropDown>("cmb2Dim")->parentWidget());
    ASSERT_NE(arrays_, nullptr);
    ASSERT_NE(maps_, nullptr);
  }

  // The 2x2 map most wire-frame tests draw, chosen.
  void openSmallMap() {
    open(bytes({1, 2, 3, 4}), {table("0", 2, 2)});
    choose(maps_, 0);
  }

  EditorFields& fields() { return editor->fields(); }

  static void choose(TablePanel* panel, int entry) {
    panel->list()->setCurrentIndex(entry);
    emit panel->list()->activated(entry);
  }

  // Selects grid rows top..bottom, columns left..right (grid coordinates).
  static void select(TablePanel* panel, int top, int left, int bottom, int right) {
    TableGrid* grid = panel->grid();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(top - 1, left - 1),
                                                  grid->model()->index(bottom - 1, right - 1)),
                                   QItemSelectionModel::ClearAndSelect);
  }

  static void press(TablePanel* panel, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(panel->grid(), key, modifiers);
  }

  template <typename T>
  T* control(TablePanel* panel, const char* name) {
    return panel->findChild<T*>(name);
  }

  Canvas* picture() { return control<Canvas>(maps_, "picMap"); }

  // Lines drawn at pen width 1 and 2 (the mesh and the axes).
  int lines(int width) {
    const auto& all = picture()->primitives();
    int n = static_cast<int>(std::count_if(all.begin(), all.end(), [&](const auto& p) {
      return p.kind == Kind::Line && p.width == width;
    }));
    for (const auto& mesh : picture()->meshes())
      if (mesh.width == width) n += mesh.lines();
    return n;
  }

  void step(const char* bar, QAbstractSlider::SliderAction action) {
    control<QScrollBar>(maps_, bar)->triggerAction(action);
  }

  static std::vector<unsigned char> bytes(std::initializer_list<int> values, size_t size = 64) {
    std::vector<unsigned char> result(size, 0);
    size_t i = 0;
    for (int v : values) result[i++] = static_cast<unsigned char>(v);
    return result;
  }

  TablePanel* arrays_ = nullptr;
  TablePanel* maps_ = nullptr;
};

// ---------------------------------------------------------------- grid placement

TEST_F(TablesTest, ArrayRowZeroIsTheBottomRowBesideTheFirstYaxisSlot) {
  open(bytes({10, 20, 30}), {table("0", 1, 3, "Low  Mid  High ", "ab")});
  choose(arrays_, 0);
  TableGrid* grid = arrays_->grid();
  ASSERT_EQ(grid->rows(), 4);
  ASSERT_EQ(grid->cols(), 2);
  EXPECT_EQ(grid->text(3, 1), "10");
  EXPECT_EQ(grid->text(2, 1), "20");
  EXPECT_EQ(grid->text(1, 1), "30");
  EXPECT_EQ(grid->text(3, 0), "Low  ");
  EXPECT_EQ(grid->text(1, 0), "High ");
  EXPECT_EQ(grid->text(0, 1), "ab");  // a caption shorter than its slot
  EXPECT_EQ(grid->text(0, 0), "");
  EXPECT_EQ(control<QLabel>(arrays_, "lblLine_Xlabel")->text(), "X title");
  EXPECT_EQ(control<QLabel>(arrays_, "lblLine_Ylabel")->text(), "Y title");
  EXPECT_EQ(control<QLabel>(arrays_, "lblLine_Zlabel")->text(), "Raw Values");
}

TEST_F(TablesTest, OneRowAndOneColumnArraysFillOneDataRowOrColumn) {
  open(bytes({1, 2, 3, 4}), {table("0", 4, 1, "", " 20 40 60 80"), table("1", 1, 3)});
  choose(arrays_, 0);
  TableGrid* grid = arrays_->grid();
  ASSERT_EQ(grid->rows(), 2);
  ASSERT_EQ(grid->cols(), 5);
  EXPECT_EQ(grid->text(1, 1), "1");
  EXPECT_EQ(grid->text(1, 4), "4");
  EXPECT_EQ(grid->text(0, 1), " 20");
  EXPECT_EQ(grid->text(0, 4), " 80");
  choose(arrays_, 1);
  ASSERT_EQ(grid->rows(), 4);
  ASSERT_EQ(grid->cols(), 2);
  EXPECT_EQ(grid->text(3, 1), "2");
  EXPECT_EQ(grid->text(1, 1), "4");
}

TEST_F(TablesTest, MapRowsRunBottomUpAndColumnsLeftToRight) {
  open(bytes({0, 1, 2, 3, 4, 5}), {table("0", 3, 2, "r0   r1   ", " 20 40 60")});
  choose(maps_, 0);
  TableGrid* grid = maps_->grid();
  ASSERT_EQ(grid->rows(), 3);
  ASSERT_EQ(grid->cols(), 4);
  EXPECT_EQ(grid->text(2, 1), "0");
  EXPECT_EQ(grid->text(2, 3), "2");
  EXPECT_EQ(grid->text(1, 1), "3");
  EXPECT_EQ(grid->text(1, 3), "5");
  EXPECT_EQ(grid->text(2, 0), "r0   ");
  EXPECT_EQ(grid->text(0, 2), " 40");
  EXPECT_EQ(control<QLineEdit>(maps_, "txtStart3D")->text(), "0");
  EXPECT_EQ(control<QLineEdit>(maps_, "txtRow3D")->text(), "2");
  EXPECT_EQ(control<QLineEdit>(maps_, "txtCol3D")->text(), "3");
}

// ---------------------------------------------------------------- cell texts

TEST_F(TablesTest, RawCellsAreDecimalAndTheToggleNamesTheNextMode) {
  open(bytes({0xFF, 200}), {scaled(table("0", 2, 1), -40, 0, 0.75, "Deg C")});
  choose(arrays_, 0);
  TableGrid* grid = arrays_->grid();
  EXPECT_EQ(grid->text(1, 1), "255");
  auto* toggle = control<QPushButton>(arrays_, "cmdShowIn_1");
  EXPECT_EQ(toggle->text(), "Show in Calculated Values");
  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_FALSE(fields().ArrayRaw);
  EXPECT_EQ(toggle->text(), "Show Raw Values");
  EXPECT_EQ(grid->text(1, 2), "110.");
  EXPECT_EQ(grid->text(1, 1), "151.25");
  EXPECT_EQ(control<QLabel>(arrays_, "lblLine_Zlabel")->text(), "Deg C");
  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_EQ(toggle->text(), "Show in Calculated Values");
  EXPECT_EQ(grid->text(1, 2), "200");
}

TEST_F(TablesTest, FactorZeroShowsTheOffsetAndDivisionByZeroShowsNothing) {
  open(bytes({7, 9, 7, 9}),
       {scaled(table("0", 2, 1), 12.5, 0, 0, "Mult"), scaled(table("2", 2, 1), 12.5, 1, 0, "Div")});
  QTest::mouseClick(control<QPushButton>(arrays_, "cmdShowIn_1"), Qt::LeftButton);
  choose(arrays_, 0);
  EXPECT_EQ(arrays_->grid()->text(1, 1), "12.5");
  EXPECT_EQ(arrays_->grid()->text(1, 2), "12.5");
  choose(arrays_, 1);
  EXPECT_EQ(arrays_->grid()->text(1, 1), "");
  EXPECT_EQ(arrays_->grid()->text(1, 2), "");
  QTest::mouseClick(control<QPushButton>(arrays_, "cmdShowIn_1"), Qt::LeftButton);
  EXPECT_EQ(arrays_->grid()->text(1, 1), "7");
}

// ---------------------------------------------------------------- key editing

// Keys pressed on the first two cells of a one-row array, and the records afterwards: every
// key clears `Saved` and rewrites the table in edit form, "+" and "-" step each cell on its own
// within 0..255, keypad "+" and "-" change nothing.
struct KeyCase {
  const char* name;
  std::vector<int> bytes;  // the array's cells
  bool chosen;             // false: no table was chosen before the keys
  std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
  std::vector<std::string> stored;  // the records afterwards
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class TableKeys : public TablesTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(TableKeys, StepTheSelectedCellsAndClearSaved) {
  const KeyCase& c = GetParam();
  std::vector<unsigned char> bin(64, 0);
  std::copy(c.bytes.begin(), c.bytes.end(), bin.begin());
  open(bin, {table("0", static_cast<int>(c.bytes.size()), 1)});
  if (c.chosen) choose(arrays_, 0);
  ASSERT_TRUE(fields().Saved);
  select(arrays_, 1, 1, 1, 2);
  for (const auto& [key, modifiers] : c.keys) press(arrays_, key, modifiers);
  for (size_t i = 0; i < c.stored.size(); ++i) {
    EXPECT_EQ(stored(static_cast<int>(i)), c.stored[i]) << i;
    if (c.chosen && i < c.bytes.size()) {
      EXPECT_EQ(arrays_->grid()->text(1, static_cast<int>(i) + 1),
                QString::number(std::stoi(c.stored[i], nullptr, 16)));
    }
  }
  EXPECT_FALSE(fields().Saved);
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
const KeyCase kKeyCases[] = {
    {"PlusStopsAt255", {255, 0}, true, {{Qt::Key_Plus, Qt::ShiftModifier}}, {"FF", "1 "}},
    {"MinusStopsAt0",
     {255, 0},
     true,
     {{Qt::Key_Minus, kNone}, {Qt::Key_Minus, kNone}},
     {"FD", "0 "}},
    {"EachCellClampedOnItsOwn", {254, 255, 3}, true, {{Qt::Key_Equal, kNone}}, {"FF", "FF", "3 "}},
    {"OtherKeyRewritesInEditForm", {0x0A, 0x1B}, true, {{Qt::Key_Left, kNone}}, {"A ", "1B", "00"}},
    {"KeypadChangesNothing",
     {5, 6},
     true,
     {{Qt::Key_Plus, Qt::KeypadModifier}, {Qt::Key_Minus, Qt::KeypadModifier}},
     {"5 ", "6 "}},
    {"ShiftUnderscoreIsMinus",
     {5, 6},
     true,
     {{Qt::Key_Underscore, Qt::ShiftModifier}},
     {"4 ", "5 "}},
    {"NoTableChosen", {0x0A, 0x1B}, false, {{Qt::Key_Plus, kNone}}, {"0A", "1B"}},
};
INSTANTIATE_TEST_SUITE_P(Arrays, TableKeys, testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TablesTest, TheSelectionSurvivesKeyPressesSoPlusCanBePressedAgain) {
  open(bytes({10, 20, 30, 40}), {table("0", 2, 2)});
  choose(maps_, 0);
  select(maps_, 2, 1, 2, 2);  // the bottom row: map row 0
  press(maps_, Qt::Key_Plus);
  press(maps_, Qt::Key_Plus);
  EXPECT_EQ(stored(0), "C ");
  EXPECT_EQ(stored(1), "16");
  EXPECT_EQ(stored(2), "1E");
  EXPECT_TRUE(maps_->grid()->inSelection(2, 1));
  EXPECT_TRUE(maps_->grid()->inSelection(2, 2));
  EXPECT_FALSE(maps_->grid()->inSelection(1, 1));
}

TEST_F(TablesTest, EditsGoBackToTheChosenTableWhateverTheListShowsSinceThen) {
  open(bytes({1, 2, 3, 4, 5, 6, 7, 8}), {table("4", 2, 1)});
  choose(arrays_, 0);
  QTest::keyClicks(arrays_->list()->lineEdit(), "x");  // leaves the list without an entry
  ASSERT_EQ(arrays_->list()->currentIndex(), -1);
  select(arrays_, 1, 1, 1, 1);
  press(arrays_, Qt::Key_Plus);
  EXPECT_EQ(stored(0), "01");
  EXPECT_EQ(stored(4), "6 ");
}

TEST_F(TablesTest, ChoosingAMapStopsKeysInTheArraysGrid) {
  open(bytes({1, 2, 3, 4, 5, 6}), {table("0", 2, 1), table("2", 2, 2)});
  choose(arrays_, 0);
  choose(maps_, 0);
  EXPECT_EQ(fields().ArrayCols, 0);
  EXPECT_EQ(fields().ArrayRows, 0);
  select(arrays_, 1, 1, 1, 2);
  press(arrays_, Qt::Key_Plus);
  EXPECT_EQ(stored(0), "01");
  EXPECT_EQ(arrays_->grid()->text(1, 1), "1");  // the grid keeps its old contents
}

// ---------------------------------------------------------------- highlighting

TEST_F(TablesTest, HighlightingIsOnOnlyWhileTheGridHasTheFocus) {
  open(bytes({1, 2}), {table("0", 2, 1)});
  auto* tabs = editor->findChild<QTabWidget*>("SSTab1");
  tabs->setCurrentWidget(arrays_);
  EXPECT_FALSE(arrays_->grid()->highlight());
  arrays_->grid()->setFocus();
  EXPECT_TRUE(arrays_->grid()->highlight());
  control<QPushButton>(arrays_, "cmdShowIn_1")->setFocus();
  EXPECT_FALSE(arrays_->grid()->highlight());
  EXPECT_FALSE(arrays_->grid()->horizontalHeader()->highlightSections());
  arrays_->grid()->setFocus();
  tabs->setCurrentWidget(maps_);
  EXPECT_FALSE(arrays_->grid()->highlight());
}

// ---------------------------------------------------------------- refused tables

TEST_F(TablesTest, TablesThatDoNotFitAreRefusedWithANote) {
  open(bytes({1, 2, 3, 4}, 32),
       {table("1E", 2, 2), table("ZZ", 2, 2), table("0", 502, 2), table("0", 2, 2)});
  const std::vector<unsigned char> before = readBytes(binPath);
  auto* note = control<QLabel>(maps_, "lblNote");
  for (int entry : {0, 1, 2}) {
    choose(maps_, entry);
    EXPECT_FALSE(maps_->grid()->isEnabled()) << entry;
    EXPECT_FALSE(note->isHidden()) << entry;
    EXPECT_FALSE(note->text().isEmpty()) << entry;
    EXPECT_EQ(maps_->grid()->rows(), 2);
    EXPECT_EQ(fields().MapCols, 0);
    press(maps_, Qt::Key_Plus);
    EXPECT_EQ(lines(1), 0);
  }
  EXPECT_TRUE(note->text().contains("501"));
  EXPECT_EQ(stored(30), "00");
  EXPECT_EQ(stored(0), "01");
  choose(maps_, 3);
  EXPECT_TRUE(maps_->grid()->isEnabled());
  EXPECT_TRUE(note->isHidden());
  EXPECT_EQ(maps_->grid()->text(2, 1), "1");
  EXPECT_EQ(readBytes(binPath), before);
}

// ---------------------------------------------------------------- wire frame

constexpr auto kUp = QAbstractSlider::SliderSingleStepSub;
constexpr auto kDown = QAbstractSlider::SliderSingleStepAdd;

TEST_F(TablesTest, ChoosingAMapResetsAngleViewAndScrollBars) {
  openSmallMap();
  step("scrZoom", kUp);
  step("scrPanHor", kDown);
  step("scrPanVer", kUp);
  step("scrRotAngle", kDown);
  EXPECT_EQ(fields().RotAngle, 29);
  choose(maps_, 0);
  EXPECT_EQ(fields().RotAngle, 30);
  EXPECT_EQ(picture()->scaleLeft(), -51);
  EXPECT_EQ(picture()->scaleTop(), -151);
  EXPECT_EQ(picture()->scaleWidth(), 202);
  EXPECT_EQ(picture()->scaleHeight(), 202);
  for (const char* name : {"scrZoom", "scrPanHor", "scrPanVer", "scrRotAngle"})
    EXPECT_EQ(control<QScrollBar>(maps_, name)->value(), 0) << name;
}

TEST_F(TablesTest, TheFrameSpansZeroTo125AndRisesTo125) {
  open(bytes({0, 50, 200, 90, 10, 255, 30, 60, 120}), {table("0", 3, 3)});
  choose(maps_, 0);
  double minX = 1e9, maxX = -1e9, minY = 1e9;
  ASSERT_EQ(picture()->meshes().size(), 1u);
  EXPECT_EQ(picture()->meshes()[0].radius, 1);
  for (const QPointF& p : picture()->meshes()[0].points) {
    minX = std::min(minX, p.x());
    maxX = std::max(maxX, p.x());
    minY = std::min(minY, p.y());
  }
  EXPECT_NEAR(minX, 0, 1e-9);
  EXPECT_NEAR(maxX, 125, 1e-9);
  EXPECT_NEAR(minY, -125, 1e-9);
}

// Drawn when chosen, and again after the toggle and a tab change.
TEST_F(TablesTest, ATwoByTwoMapDrawsFourCirclesFourLinesAndThreeAxes) {
  open(bytes({1, 2, 3, 4}), {table("0", 2, 2)});
  auto* tabs = child<QTabWidget>("SSTab1");
  tabs->setCurrentWidget(maps_);
  EXPECT_EQ(lines(2), 3);  // before any map: the axes alone
  EXPECT_EQ(picture()->count(Kind::Circle), 0);
  choose(maps_, 0);
  EXPECT_EQ(picture()->count(Kind::Circle), 4);
  EXPECT_EQ(lines(1), 4);
  EXPECT_EQ(lines(2), 3);
  const auto& axis = picture()->primitives().front();
  EXPECT_NEAR(axis.x2, 86.6, 0.05);
  EXPECT_NEAR(axis.y2, 50, 0.05);

  picture()->Cls();
  QTest::mouseClick(control<QPushButton>(maps_, "cmdShowIn_2"), Qt::LeftButton);
  EXPECT_EQ(picture()->count(Kind::Circle), 4);
  EXPECT_EQ(control<QLabel>(maps_, "lblMap_Zlabel")->text(), "Item");
  picture()->Cls();
  tabs->setCurrentWidget(arrays_);
  tabs->setCurrentWidget(maps_);
  EXPECT_EQ(picture()->count(Kind::Circle), 4);
}

TEST_F(TablesTest, ZoomAndPanStepOneUnitAndZoomingInStopsBeforeTheViewHasNoSize) {
  openSmallMap();
  step("scrZoom", kDown);
  EXPECT_EQ(picture()->scaleLeft(), -52);
  EXPECT_EQ(picture()->scaleTop(), -150.875);
  EXPECT_EQ(picture()->scaleWidth(), 203);
  EXPECT_EQ(picture()->scaleHeight(), 203);
  EXPECT_EQ(control<QScrollBar>(maps_, "scrZoom")->value(), 0);
  choose(maps_, 0);
  step("scrPanHor", kDown);
  EXPECT_EQ(picture()->scaleLeft(), -52);
  step("scrPanVer", kDown);
  EXPECT_EQ(picture()->scaleTop(), -152);

  for (int i = 0; i < 202; ++i) step("scrZoom", kUp);
  EXPECT_EQ(picture()->scaleWidth(), 1);
  const double left = picture()->scaleLeft();
  const double top = picture()->scaleTop();
  step("scrZoom", kUp);
  EXPECT_EQ(picture()->scaleWidth(), 1);
  EXPECT_EQ(picture()->scaleHeight(), 1);
  EXPECT_EQ(picture()->scaleLeft(), left);
  EXPECT_EQ(picture()->scaleTop(), top);
}

TEST_F(TablesTest, RotationWrapsBetween0And360) {
  openSmallMap();
  for (int i = 0; i < 30; ++i) step("scrRotAngle", kDown);
  EXPECT_EQ(fields().RotAngle, 0);
  step("scrRotAngle", kDown);
  EXPECT_EQ(fields().RotAngle, 360);
  step("scrRotAngle", kUp);
  EXPECT_EQ(fields().RotAngle, 0);
  step("scrRotAngle", kUp);
  EXPECT_EQ(fields().RotAngle, 1);
  EXPECT_EQ(control<QScrollBar>(maps_, "scrRotAngle")->value(), 0);
}

TEST_F(TablesTest, RaisingACellWidensMapMinYAndLoweringDoesNotRestoreIt) {
  open(bytes({0, 0, 0, 0}), {table("0", 2, 2)});
  choose(maps_, 0);
  const double chosen = fields().MapMinY;
  const double maxX = fields().MapMaxX;
  EXPECT_LT(chosen, 0);
  select(maps_, 1, 1, 1, 1);  // map row 1, column 0: the highest point
  press(maps_, Qt::Key_Plus);
  const double raised = fields().MapMinY;
  EXPECT_NEAR(raised, chosen - 1, 1e-9);
  press(maps_, Qt::Key_Minus);
  EXPECT_EQ(fields().MapMinY, raised);
  EXPECT_EQ(fields().MapMaxX, maxX);
}

}  // namespace
}  // namespace trimlet::test
