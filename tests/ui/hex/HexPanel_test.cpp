#include "ui/editor/hex/HexPanel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "core/hex.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"
#include "ui/common/Canvas.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/editor/EditorTest.h"
#include "ui/graph/Projection.h"

namespace trimlet {
namespace {

using Kind = Canvas::Primitive::Kind;

constexpr char kNoItems[] =
    "ECU FORMAT 1\n{\nName=Test\nVersion=1\nA=a\nB=b\nC=c\nD=d\nCount=0\n}\n";

// The real editor on a BIN file made for the test, shown with the Hex tab in front.
class HexTab : public test::EditorTest {
 protected:
  void open(const std::vector<unsigned char>& bytes) {
    ASSERT_TRUE(EditorTest::open(bytes, std::string(kNoItems)));
    find<QTabWidget>("SSTab1")->setCurrentIndex(4);
  }

  template <typename T>
  T* find(const char* name) const {
    T* widget = editor->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  TextBox* box(const char* name) const { return find<TextBox>(name); }
  QString text(const char* name) const { return box(name)->text(); }
  Canvas* map() const { return find<Canvas>("picHexMap"); }
  Canvas* line() const { return find<Canvas>("picHexLine"); }
  int16_t& angle() const { return editor->fields().RotAngle; }

  // Types into a field and leaves it for the grid.
  void type(const char* name, const QString& typed) const {
    TextBox* field = box(name);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, typed);
    find<QTableView>("grdHex")->setFocus();
  }

  // The top (or left) arrow, or the bottom (or right) one.
  void click(const char* name, bool topOrLeft) const {
    clickArrow(find<SpinControl>(name), topOrLeft);
  }
};

std::vector<unsigned char> bytes(size_t size, unsigned char value) {
  return std::vector<unsigned char>(size, value);
}

TEST_F(HexTab, OpensWithTheFieldsAndCaptionsOfTheTab) {
  open(test::patternBytes(4096));
  EXPECT_EQ(map()->count(Kind::Circle), 140);  // drawn by the switch to the tab
  EXPECT_EQ(text("txtStart"), "35");
  EXPECT_EQ(text("txtCols"), "140");
  EXPECT_EQ(text("txtRows"), "1");
  EXPECT_EQ(find<QLabel>("lblStart")->text(), "Start Address");
  EXPECT_EQ(find<QLabel>("lblCols")->text(), "Columns");
  EXPECT_EQ(find<QLabel>("lblRows")->text(), "Rows");
  EXPECT_EQ(find<QPushButton>("cmdPopulate")->text(), "Populate Chart");
  EXPECT_EQ(find<QLabel>("lblLimit")->text(), "Limited to first 32K of file");
  EXPECT_EQ(angle(), 30);
}

// Typed texts and arrow clicks, in order, and what each field shows afterwards: start from 0
// up by one and never below 0; columns 2 to 500, typed 1 made 2, typed junk 0; rows 1 to 500.
TEST_F(HexTab, FieldsStepByOneWithinTheirBounds) {
  struct Step {
    const char* field;
    const char* typed;  // nullptr: click the field's arrows `clicks` times (up when positive)
    int clicks;
    const char* shown;
  };
  const Step steps[] = {
      {"Rows", nullptr, -1, "1"},  {"Rows", "500", 0, "500"},  {"Rows", nullptr, 1, "500"},
      {"Rows", "0", 0, "1"},       {"Rows", "2.5", 0, "2.5"},  {"Rows", "9999", 0, "500"},
      {"Rows", "1", 0, "1"},       {"Start", "0", 0, "0"},     {"Start", nullptr, 1, "1"},
      {"Start", nullptr, -2, "0"}, {"Start", "00ff", 0, "FF"}, {"Start", "no", 0, "FF"},
      {"Cols", "2", 0, "2"},       {"Cols", nullptr, -1, "2"}, {"Cols", nullptr, 1, "3"},
      {"Cols", "1", 0, "2"},       {"Cols", "600", 0, "500"},  {"Cols", nullptr, 1, "500"},
      {"Cols", "-3", 0, "0"},      {"Cols", "abc", 0, "0"},
  };
  open(test::patternBytes(4096));
  for (const Step& step : steps) {
    const QByteArray box = QByteArray("txt") + step.field, spin = QByteArray("vsc") + step.field;
    if (step.typed) type(box, step.typed);
    for (int i = 0; i < std::abs(step.clicks); ++i) click(spin, step.clicks > 0);
    EXPECT_EQ(text(box), step.shown) << step.field << " " << (step.typed ? step.typed : "click");
  }
}

TEST_F(HexTab, ASpinControlTakesTheTypedTextBeforeItSteps) {
  open(test::patternBytes(4096));
  box("txtCols")->setFocus();
  box("txtCols")->selectAll();
  QTest::keyClicks(box("txtCols"), "1");
  click("vscCols", false);  // leaving the field makes "1" into "2" first, so the step keeps 2
  EXPECT_EQ(text("txtCols"), "2");
}

TEST_F(HexTab, TypedZeroColumnsIsKeptAndDrawsNothing) {
  open(test::patternBytes(4096));
  type("txtCols", "3");
  ASSERT_EQ(map()->count(Kind::Circle), 3);
  type("txtCols", "0");
  EXPECT_EQ(text("txtCols"), "0");
  EXPECT_EQ(map()->count(Kind::Circle), 3);  // the pictures keep what they showed
  EXPECT_EQ(line()->count(Kind::Circle), 3);
}

TEST_F(HexTab, AngleTurnsByOneAndWrapsBetweenZeroAnd360) {
  open(test::patternBytes(4096));
  click("hscHexMap", true);
  EXPECT_EQ(angle(), 31);
  angle() = 0;
  click("hscHexMap", false);
  EXPECT_EQ(angle(), 360);
  click("hscHexMap", true);
  EXPECT_EQ(angle(), 0);
}

TEST_F(HexTab, StartNeverLeavesTheLastStretchThatFits) {
  open(test::patternBytes(1000));  // 140 columns fit up to start 1000 - 140 = 0x35C
  type("txtStart", "35B");
  click("vscStart", true);
  click("vscStart", true);
  EXPECT_EQ(text("txtStart"), "35C");
  EXPECT_EQ(map()->count(Kind::Circle), 140);
  type("txtStart", "FFFFFFFFFFFF");
  EXPECT_EQ(text("txtStart"), "35C");
  type("txtRows", "2");
  type("txtStart", "35C");
  EXPECT_EQ(text("txtStart"), "2D0");
  type("txtRows", "9");
  type("txtStart", "2D0");
  EXPECT_EQ(text("txtStart"), "0");  // 1,260 bytes do not fit a 1,000-byte file
}

TEST_F(HexTab, AStretchBeyondTheFileLeavesThePicturesAsTheyWere) {
  open(test::patternBytes(1000));
  type("txtStart", "35C");
  const auto drawn = map()->primitives().size();
  ASSERT_GT(drawn, 0u);
  click("vscCols", true);  // 141 bytes from 0x35C pass the end of the file
  EXPECT_EQ(text("txtCols"), "141");
  EXPECT_EQ(map()->primitives().size(), drawn);
  EXPECT_EQ(map()->count(Kind::Circle), 140);
}

TEST_F(HexTab, AShortFileDrawsNothingForTheOpeningStretch) {
  open(bytes(192, 0x80));
  type("txtCols", "140");
  EXPECT_TRUE(map()->primitives().empty());
  EXPECT_TRUE(line()->primitives().empty());
  open(bytes(193, 0x80));
  type("txtCols", "140");
  EXPECT_EQ(map()->count(Kind::Circle), 140);
}

TEST_F(HexTab, ZeroBytesAtAngleZeroDrawOnlyFromTheSecondRow) {
  open(bytes(4096, 0));
  angle() = 0;
  type("txtRows", "1");
  EXPECT_TRUE(map()->primitives().empty());
  EXPECT_TRUE(line()->primitives().empty());
  click("vscRows", true);
  EXPECT_EQ(map()->count(Kind::Circle), 280);
  EXPECT_EQ(line()->count(Kind::Circle), 280);
}

TEST_F(HexTab, MeshJoinsEachPointToItsRowAndColumnNeighbours) {
  open(test::patternBytes(4096));
  type("txtRows", "1");
  EXPECT_EQ(map()->count(Kind::Circle), 140);
  EXPECT_EQ(map()->count(Kind::Line), 3 + 139);
  click("vscRows", true);
  EXPECT_EQ(map()->count(Kind::Circle), 280);
  EXPECT_EQ(map()->count(Kind::Line), 3 + 2 * 139 + 140);
  EXPECT_EQ(line()->count(Kind::Line), 3 + 2 * 139 + 140);
  const auto& first = map()->primitives().front();
  EXPECT_EQ(first.width, 2);
  EXPECT_EQ(map()->meshes()[0].width, 1);
  EXPECT_DOUBLE_EQ(map()->meshes()[0].radius, 1.0);
  EXPECT_DOUBLE_EQ(line()->meshes()[0].radius, 0.25);
}

TEST_F(HexTab, LineGraphIsSeenFromTheFrontAndLeavesTheAngleAlone) {
  open(test::patternBytes(4096));
  type("txtRows", "1");
  EXPECT_EQ(angle(), 30);
  const auto& mapAxis = map()->primitives().front();
  EXPECT_DOUBLE_EQ(mapAxis.x2, Projection(30).X_Bar(100, 0, 0));
  EXPECT_DOUBLE_EQ(mapAxis.y2, Projection(30).Y_Bar(100, 0, 0));
  const auto& lineAxes = line()->primitives();
  EXPECT_DOUBLE_EQ(lineAxes[0].x2, 200);
  EXPECT_DOUBLE_EQ(lineAxes[0].y2, 0);
  EXPECT_DOUBLE_EQ(lineAxes[2].x2, 0);
  EXPECT_DOUBLE_EQ(lineAxes[2].y2, -200);
  EXPECT_DOUBLE_EQ(map()->scaleLeft(), -51);
  EXPECT_DOUBLE_EQ(map()->scaleHeight(), 202);
  EXPECT_DOUBLE_EQ(line()->scaleTop(), -271);
  EXPECT_DOUBLE_EQ(line()->scaleHeight(), 282);
}

// Data rows of the dump (the header row is the Qt header) and the last row's address.
struct DumpCase {
  size_t fileBytes;
  int rows;
  const char* lastAddress;
};

class HexDump : public HexTab, public testing::WithParamInterface<DumpCase> {};

TEST_P(HexDump, ShowsWholeRowsOfTheFirst32K) {
  open(test::patternBytes(GetParam().fileBytes));
  auto* grid = find<QTableView>("grdHex");
  QAbstractItemModelTester tester(grid->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(grid->model()->rowCount(), 10001);
  QTest::mouseClick(find<QPushButton>("cmdPopulate"), Qt::LeftButton);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const QAbstractItemModel* model = grid->model();
  ASSERT_EQ(model->rowCount(), GetParam().rows);
  ASSERT_EQ(model->columnCount(), 16);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "0");
  EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), "F");
  if (GetParam().rows == 0) return;
  const int last = GetParam().rows - 1;
  EXPECT_EQ(model->headerData(last, Qt::Vertical).toString(), GetParam().lastAddress);
  const int lastByte = last * 16 + 15;
  EXPECT_EQ(model->index(last, 15).data().toString(),
            QString::asprintf("%02X", static_cast<unsigned>(lastByte % 251)));
}

INSTANTIATE_TEST_SUITE_P(FileSizes, HexDump,
                         testing::Values(DumpCase{0, 0, ""}, DumpCase{15, 0, ""},
                                         DumpCase{16, 1, "000000"}, DumpCase{1000, 62, "0003D0"},
                                         DumpCase{1024, 64, "0003F0"},
                                         DumpCase{32768, 2048, "007FF0"},
                                         DumpCase{40000, 2048, "007FF0"}));

TEST_F(HexTab, DumpShowsEditsOnlyAfterTheNextFill) {
  open(bytes(64, 0x80));
  auto* grid = find<QTableView>("grdHex");
  auto* populate = find<QPushButton>("cmdPopulate");
  QTest::mouseClick(populate, Qt::LeftButton);
  grid->selectionModel()->select(grid->model()->index(0, 3), QItemSelectionModel::Select);
  setEditedByte(BIN_Data[3], 5);  // as the flags panel writes a byte
  EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "80");
  QTest::mouseClick(populate, Qt::LeftButton);
  EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "5 ");
  EXPECT_TRUE(grid->selectionModel()->isSelected(grid->model()->index(0, 3)));
}

}  // namespace
}  // namespace trimlet
