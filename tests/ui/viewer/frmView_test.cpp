#include "ui/viewer/frmView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <memory>

#include "core/hex.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"
#include "support/ui/Modal.h"
#include "ui/common/Canvas.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"

namespace trimlet {
namespace {

using Kind = Canvas::Primitive::Kind;

constexpr char kEcu[] = "ECU FORMAT 1\n{\nT=x\nV=1\nA=\nB=\nC=\nD=\nItems=0\n}\n";
// Lines of the fixed grid, drawn before the first byte.
constexpr size_t kGridLines = 10;

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    resetState();
    setSettingsFile((dir.path() / "trimlet.ini").string(), "trimlet");
  }

  // Writes the files, loads the viewer on them and shows it; null when it unloaded itself.
  frmView* open(const std::vector<unsigned char>& bytes, const char* ecu = kEcu) {
    BIN_Path = dir.write("image.bin", bytes);
    ECU_Path = dir.write("image.ecu", ecu);
    view = std::make_unique<frmView>();
    if (!view->Form_Load()) return nullptr;
    view->show();
    view->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
    return view.get();
  }

  template <class T>
  T* child(const char* name) {
    return view->findChild<T*>(name);
  }
  Canvas* picture() { return child<Canvas>("picHexLine"); }
  QString text(const char* name) { return child<QLabel>(name)->text(); }
  QStringList addressLabels() {
    return {text("lbl1"), text("lbl2"), text("lbl3"), text("lbl4"), text("lbl5")};
  }
  std::vector<Canvas::Primitive> circles() {
    std::vector<Canvas::Primitive> found;
    for (const auto& p : picture()->primitives())
      if (p.kind == Kind::Circle) found.push_back(p);
    return found;
  }
  int segments() { return picture()->count(Kind::Line) - static_cast<int>(kGridLines); }

  // Types into a box and moves the focus on, as the user does.
  void type(const char* box, const QString& text) {
    auto* edit = child<TextBox>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    child<SpinControl>("vscCols")->setFocus();
  }
  void clickArrow(const char* spinner, bool upper) {
    auto* bar = child<SpinControl>(spinner);
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      QPoint(bar->width() / 2, upper ? 2 : bar->height() - 3));
  }

  test::TempDir dir;
  std::unique_ptr<frmView> view;
};

double yOf(int value) { return -125.0 * value / 255; }

TEST_F(Viewer, OpensOnOneHundredFortyBytesFromAddress35) {
  const auto bytes = test::patternBytes(32768);
  ASSERT_NE(open(bytes), nullptr);
  EXPECT_EQ(view->windowTitle(), "Trimscope Version 1.00     File Size: 32K");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "35");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "140");
  EXPECT_EQ(addressLabels(), QStringList({"35", "58", "7B", "9E", "C1"}));
  EXPECT_EQ(text("lblStart"), "Start Address");
  EXPECT_EQ(text("lblCols"), "Total Address's");
  const auto points = circles();
  ASSERT_EQ(points.size(), 140u);
  EXPECT_EQ(segments(), 139);
  EXPECT_DOUBLE_EQ(points.front().x1, 0);
  EXPECT_DOUBLE_EQ(points.front().y1, yOf(bytes[0x35]));
  EXPECT_NEAR(points.back().x1, 144.34, 0.005);
  EXPECT_DOUBLE_EQ(points.back().y1, yOf(bytes[0x35 + 139]));
  EXPECT_DOUBLE_EQ(points.back().radius, 0.25);
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, DrawsTheFixedGridFirstInItsOrderAndWidths) {
  ASSERT_NE(open(test::patternBytes(4096)), nullptr);
  const auto& drawn = picture()->primitives();
  const double grid[kGridLines][5] = {{0, 0, 145, 0, 2},
                                      {0, 0, 0, -128, 2},
                                      {0, -64, 145, -64, 2},
                                      {0, -128, 145, -128, 2},
                                      {36.25, 0, 36.25, -128, 2},
                                      {72.5, 0, 72.5, -128, 2},
                                      {108.75, 0, 108.75, -128, 2},
                                      {145, 0, 145, -128, 2},
                                      {0, -32, 145, -32, 1},
                                      {0, -96, 145, -96, 1}};
  for (size_t i = 0; i < kGridLines; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drawn[i].kind, Kind::Line);
    EXPECT_EQ(drawn[i].x1, grid[i][0]);
    EXPECT_EQ(drawn[i].y1, grid[i][1]);
    EXPECT_EQ(drawn[i].x2, grid[i][2]);
    EXPECT_EQ(drawn[i].y2, grid[i][3]);
    EXPECT_EQ(drawn[i].width, grid[i][4]);
  }
  EXPECT_EQ(drawn[kGridLines].width, 1);
  EXPECT_EQ(picture()->scaleLeft(), -2);
  EXPECT_EQ(picture()->scaleTop(), -150);
  EXPECT_EQ(picture()->scaleWidth(), 150);
  EXPECT_EQ(picture()->scaleHeight(), 152);
}

TEST_F(Viewer, CaptionShowsTheSizeInItsShortestForm) {
  ASSERT_NE(open(std::vector<unsigned char>(992)), nullptr);
  EXPECT_TRUE(view->windowTitle().endsWith("     File Size: 0.96875K"));
}

TEST_F(Viewer, TwoBytesSpanTheGraphAndValuesMapToHeights) {
  std::vector<unsigned char> bytes(256, 7);
  bytes[0x35] = 0;
  bytes[0x36] = 255;
  ASSERT_NE(open(bytes), nullptr);
  type("txtCols", "2");
  const auto points = circles();
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(segments(), 1);
  EXPECT_DOUBLE_EQ(points[0].y1, 0);
  EXPECT_NEAR(points[1].x1, 144.34, 0.005);
  EXPECT_DOUBLE_EQ(points[1].y1, -125);
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, FewerThanTwoBytesKeepThePreviousGraph) {
  ASSERT_NE(open(test::patternBytes(4096)), nullptr);
  const auto before = circles();
  type("txtCols", "1.4");  // rounds to one byte
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "1.4");
  EXPECT_EQ(circles().size(), before.size());
  type("txtCols", "-5");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "0");
  EXPECT_EQ(circles().size(), before.size());
}

TEST_F(Viewer, AddressLabelsRoundHalvesToEven) {
  ASSERT_NE(open(test::patternBytes(8192)), nullptr);
  type("txtStart", "1000");
  type("txtCols", "100");
  EXPECT_EQ(addressLabels(), QStringList({"1000", "1019", "1032", "104B", "1064"}));
  type("txtStart", "0");
  type("txtCols", "10");
  EXPECT_EQ(addressLabels(), QStringList({"0", "2", "5", "8", "A"}));
}

TEST_F(Viewer, SpinnersStepByOneWithinTheirBounds) {
  const auto bytes = test::patternBytes(4096);
  ASSERT_NE(open(bytes), nullptr);
  clickArrow("vscStart", true);
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "36");
  EXPECT_EQ(text("lbl1"), "36");
  EXPECT_DOUBLE_EQ(circles().front().y1, yOf(bytes[0x36]));
  EXPECT_EQ(child<SpinControl>("vscStart")->value(), 0);
  clickArrow("vscStart", false);
  clickArrow("vscStart", false);
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "34");
  type("txtStart", "0");
  clickArrow("vscStart", false);
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "0");

  type("txtCols", "2");
  clickArrow("vscCols", false);
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "2");
  clickArrow("vscCols", true);
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "3");
  type("txtCols", "500");
  clickArrow("vscCols", true);
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "500");
  EXPECT_EQ(circles().size(), 500u);
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, TypedTextIsNormalisedOrPutBack) {
  ASSERT_NE(open(test::patternBytes(4096)), nullptr);
  type("txtStart", "1f");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "1F");
  EXPECT_EQ(text("lbl1"), "1F");
  type("txtStart", "00ab");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "AB");
  type("txtStart", "zz");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "AB");
  type("txtCols", "1");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "2");
  type("txtCols", "501");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "500");
  type("txtCols", "100000");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "500");
  type("txtCols", "many");
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "500");
}

TEST_F(Viewer, NeverReadsPastTheEndOfTheFile) {
  const auto bytes = test::patternBytes(1000);
  ASSERT_NE(open(bytes), nullptr);
  type("txtStart", "FFFFFF");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "35C");  // 1000 - 140
  EXPECT_DOUBLE_EQ(circles().back().y1, yOf(bytes[999]));
  clickArrow("vscStart", true);
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "35C");
  clickArrow("vscCols", true);  // a longer stretch starts earlier
  EXPECT_EQ(child<TextBox>("txtCols")->text(), "141");
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "35B");
  EXPECT_DOUBLE_EQ(circles().back().y1, yOf(bytes[999]));
}

TEST_F(Viewer, AFileShorterThanTheOpeningStretchDrawsNothing) {
  ASSERT_NE(open(test::patternBytes(192)), nullptr);
  EXPECT_TRUE(picture()->primitives().empty());
  EXPECT_EQ(addressLabels(), QStringList({"35", "58", "7B", "9E", "C1"}));
  type("txtCols", "192");  // leaving the start box brings 35 back to 34 first
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "0");
  EXPECT_EQ(circles().size(), 192u);
  type("txtCols", "300");  // more than the file holds: the last graph stays
  EXPECT_EQ(child<TextBox>("txtStart")->text(), "0");
  EXPECT_EQ(text("lbl5"), "12C");
  EXPECT_EQ(circles().size(), 192u);
}

TEST_F(Viewer, ShowsTheFileAsItIsOnDisk) {
  for (auto& record : BIN_Data) setEditedByte(record, 0xEE);
  const auto bytes = test::patternBytes(1024);
  ASSERT_NE(open(bytes), nullptr);
  EXPECT_DOUBLE_EQ(circles().front().y1, yOf(bytes[0x35]));
}

TEST_F(Viewer, ClosesWithTheMessageWhenAFileIsRefused) {
  QStringList shown = test::answerMessages(
      [&] { EXPECT_EQ(open(test::patternBytes(256), "ECU DEFINITIONS\n"), nullptr); });
  EXPECT_EQ(shown, QStringList{"Incorrect ECU Format"});
  EXPECT_EQ(test::lastMessages().front().icon, QMessageBox::Critical);

  shown = test::answerMessages([&] { EXPECT_EQ(open(test::patternBytes(655344)), nullptr); });
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(test::lastMessages().front().icon, QMessageBox::Critical);
}

TEST_F(Viewer, AnItemErrorIsShownAndTheViewerGoesOn) {
  const char declaresOne[] = "ECU FORMAT 1\n{\nT=x\nV=1\nA=\nB=\nC=\nD=\nItems=1\n}\n";
  const QStringList shown = test::answerMessages(
      [&] { EXPECT_NE(open(test::patternBytes(1024), declaresOne), nullptr); });
  EXPECT_EQ(shown, QStringList{"ECU File Error"});
  EXPECT_EQ(circles().size(), 140u);
}

TEST_F(Viewer, ResizeKeepsTheBoxesAtTheBottomAndRedraws) {
  ASSERT_NE(open(test::patternBytes(4096)), nullptr);
  const auto fromBottom = [&](const char* name) {
    return view->frameGeometry().height() - child<QWidget>(name)->y();
  };
  const char* moving[] = {"lblStart", "txtStart", "vscStart", "lblCols", "txtCols",
                          "vscCols",  "lbl0",     "lbl1",     "lbl5"};
  std::vector<int> before;
  for (const char* name : moving) before.push_back(fromBottom(name));
  const int lbl5FromRight = view->frameGeometry().width() - child<QWidget>("lbl5")->x();

  setEditedByte(BIN_Data[0x35], 255);  // only a redraw shows this
  view->repaint();
  EXPECT_NE(circles().front().y1, -125);
  view->resize(view->width() + 150, view->height() + 90);
  QApplication::processEvents();

  for (size_t i = 0; i < std::size(moving); ++i) EXPECT_NEAR(fromBottom(moving[i]), before[i], 1);
  EXPECT_NEAR(view->frameGeometry().width() - child<QWidget>("lbl5")->x(), lbl5FromRight, 1);
  const double W = pixelsToTwipsX(view.get(), view->frameGeometry().width());
  const double H = pixelsToTwipsY(view.get(), view->frameGeometry().height());
  EXPECT_NEAR(picture()->width(), twipsToPixelsX(view.get(), W - 620), 1);
  EXPECT_NEAR(picture()->height(), twipsToPixelsY(view.get(), H - 1620), 1);
  EXPECT_NEAR(child<QWidget>("lbl3")->x(), twipsToPixelsX(view.get(), W / 2), 1);
  EXPECT_DOUBLE_EQ(circles().front().y1, -125);
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, CannotBeMadeSmallerThanItsMargins) {
  ASSERT_NE(open(test::patternBytes(4096)), nullptr);
  view->resize(10, 10);
  QApplication::processEvents();
  EXPECT_GT(pixelsToTwipsX(view.get(), view->frameGeometry().width()), 620);
  EXPECT_GT(pixelsToTwipsY(view.get(), view->frameGeometry().height()), 1620);
  EXPECT_GT(picture()->width(), 0);
  EXPECT_GT(picture()->height(), 0);
}

}  // namespace
}  // namespace trimlet
