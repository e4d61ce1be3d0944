#include "ui/editor/hex/HexPanel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTableView>

#include "core/hex.h"
#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"

namespace trimlet::test {
namespace {

using Kind = Canvas::Primitive::Kind;

// The real editor with the Hex tab in front.
class HexTab : public EditorTest {
 protected:
  void openHex(const std::vector<unsigned char>& bytes) {
    ASSERT_TRUE(open(bytes, std::vector<ECU_Item>{}));
    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
  }
  Canvas* map() const { return child<Canvas>("picHexMap"); }
  Canvas* line() const { return child<Canvas>("picHexLine"); }
  int16_t& angle() const { return editor->fields().RotAngle; }
};

// A typed text is taken before the arrow's step, and every byte shown is a byte of the file.
// (The fields' bounds: the stepper's test.)
TEST_F(HexTab, FieldsStepByOneWithinTheirBoundsAndTheFile) {
  openHex(patternBytes(1000));                 // 140 columns fit up to start 1000 - 140 = 0x35C
  EXPECT_EQ(map()->count(Kind::Circle), 140);  // drawn by the switch to the tab
  type("txtCols", "1", false);
  clickArrow("vscCols", false);  // leaving the field makes "1" into "2" first, so 2 stays
  EXPECT_EQ(text("txtCols"), "2");

  type("txtCols", "140");
  type("txtStart", "35C");
  const auto drawn = map()->meshes().at(0).points;
  clickArrow("vscCols", true);  // 141 bytes from 0x35C pass the end: the pictures stay
  EXPECT_EQ(map()->meshes().at(0).points, drawn);
  type("txtRows", "9");
  type("txtStart", "2D0");
  EXPECT_EQ(text("txtStart"), "0");  // 1,269 bytes do not fit a 1,000-byte file
}

TEST_F(HexTab, TheAngleTurnsByOneAndWrapsAndTheLineGraphIsSeenFromTheFront) {
  openHex(patternBytes(4096));
  clickArrow("hscHexMap", true);
  EXPECT_EQ(angle(), 31);
  angle() = 0;
  clickArrow("hscHexMap", false);
  EXPECT_EQ(angle(), 360);
  clickArrow("hscHexMap", true);
  EXPECT_EQ(angle(), 0);
  clickArrow("hscHexMap", true);
  EXPECT_NEAR(map()->primitives().front().x2, 99.98476862995143, 1e-9);  // 100 cos(0.0174538)
  const auto& lineAxes = line()->primitives();
  EXPECT_EQ(std::vector<double>({lineAxes[0].x2, lineAxes[0].y2, lineAxes[2].x2, lineAxes[2].y2}),
            std::vector<double>({200, 0, 0, -200}));
  EXPECT_EQ(angle(), 1);
}

// Data rows of the dump (the header row is Qt's header) and the last row's address.
TEST_F(HexTab, TheDumpShowsWholeRowsOfTheFirst32KAsStored) {
  const std::tuple<size_t, int, const char*> cases[] = {
      {16, 1, "000000"}, {1000, 62, "0003D0"}, {40000, 2048, "007FF0"}};
  for (const auto& [size, rows, lastAddress] : cases) {
    SCOPED_TRACE(size);
    openHex(patternBytes(size));
    auto* grid = child<QTableView>("grdHex");
    QAbstractItemModelTester tester(grid->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    click("cmdPopulate");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(grid->model()->rowCount(), rows);
    EXPECT_EQ(grid->model()->headerData(rows - 1, Qt::Vertical).toString(), lastAddress);
    const int lastByte = (rows - 1) * 16 + 15;
    EXPECT_EQ(grid->model()->index(rows - 1, 15).data().toString(),
              QString::asprintf("%02X", static_cast<unsigned>(lastByte % 251)));
  }
  // An edit shows after the next fill, in its stored form, and a selection survives it.
  auto* grid = child<QTableView>("grdHex");
  grid->selectionModel()->select(grid->model()->index(0, 3), QItemSelectionModel::Select);
  setEditedByte(BIN_Data[3], 5);
  EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "03");
  click("cmdPopulate");
  EXPECT_EQ(grid->model()->index(0, 3).data().toString(), "5 ");
  EXPECT_TRUE(grid->selectionModel()->isSelected(grid->model()->index(0, 3)));
}

}  // namespace
}  // namespace trimlet::test
