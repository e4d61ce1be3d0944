#include "ui/viewer/frmView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <array>
#include <memory>

#include "core/hex.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"
#include "support/ui/Modal.h"
#include "ui/common/Canvas.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"

namespace trimlet {
namespace {

using Kind = Canvas::Primitive::Kind;

constexpr char kEcu[] = "ECU FORMAT 1\n{\nT=x\nV=1\nA=\nB=\nC=\nD=\nItems=0\n}\n";
constexpr int kGridLines = 10;  // drawn before the first byte

double yOf(int value) { return -125.0 * value / 255; }

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    resetState();
    setSettingsFile((dir.path() / "trimlet.ini").string(), "trimlet");
  }

  // Loads the viewer on the bytes and shows it; false when it unloaded itself.
  bool open(const std::vector<unsigned char>& bytes, const char* ecu = kEcu) {
    BIN_Path = dir.write("image.bin", bytes);
    ECU_Path = dir.write("image.ecu", ecu);
    view = std::make_unique<frmView>();
    if (!view->Form_Load()) return false;
    view->show();
    view->activateWindow();
    return QTest::qWaitForWindowActive(view.get());
  }

  template <class T = QWidget>
  T* child(const char* name) {
    return view->findChild<T*>(name);
  }
  Canvas* picture() { return child<Canvas>("picHexLine"); }
  QString text(const char* name) {
    auto* box = child<TextBox>(name);
    return box ? box->text() : child<QLabel>(name)->text();
  }
  QStringList labels() {
    return {text("lbl1"), text("lbl2"), text("lbl3"), text("lbl4"), text("lbl5")};
  }
  // The graphed points: the circles of the one mesh the graph draws.
  std::vector<QPointF> circles() {
    const auto& meshes = picture()->meshes();
    return meshes.empty() ? std::vector<QPointF>() : meshes.back().points;
  }

  // Types into a box and moves the focus on, as the user does.
  void type(const char* box, const QString& typed) {
    auto* edit = child<TextBox>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    child("vscCols")->setFocus();
  }
  void click(const char* spinner, bool upperArrow) {
    auto* bar = child(spinner);
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      QPoint(bar->width() / 2, upperArrow ? 2 : bar->height() - 3));
  }

  test::TempDir dir;
  std::unique_ptr<frmView> view;
};

TEST_F(Viewer, OpensOnOneHundredFortyBytesFromAddress35) {
  const auto bytes = test::patternBytes(32768);
  ASSERT_TRUE(open(bytes));
  EXPECT_EQ(view->windowTitle(), "Trimscope Version 1.00     File Size: 32K");
  EXPECT_EQ(labels(), QStringList({"35", "58", "7B", "9E", "C1"}));
  const auto points = circles();
  ASSERT_EQ(points.size(), 140u);
  EXPECT_EQ(picture()->count(Kind::Line), kGridLines + 139);
  EXPECT_DOUBLE_EQ(points.front().x(), 0);
  EXPECT_DOUBLE_EQ(points.front().y(), yOf(bytes[0x35]));
  EXPECT_NEAR(points.back().x(), 144.34, 0.005);
  EXPECT_DOUBLE_EQ(points.back().y(), yOf(bytes[0x35 + 139]));
  EXPECT_EQ(picture()->meshes().back().radius, 0.25);
  EXPECT_EQ(view->rotAngle(), 30);

  using Line = std::array<double, 5>;  // from, to, pen width
  // clang-format off
  const std::vector<Line> grid = {
      {0, 0, 145, 0, 2}, {0, 0, 0, -128, 2}, {0, -64, 145, -64, 2}, {0, -128, 145, -128, 2},
      {36.25, 0, 36.25, -128, 2}, {72.5, 0, 72.5, -128, 2}, {108.75, 0, 108.75, -128, 2},
      {145, 0, 145, -128, 2}, {0, -32, 145, -32, 1}, {0, -96, 145, -96, 1}};
  // clang-format on
  std::vector<Line> drawn;
  for (const auto& p : picture()->primitives())
    if (drawn.size() < grid.size()) drawn.push_back({p.x1, p.y1, p.x2, p.y2, double(p.width)});
  EXPECT_EQ(drawn, grid);
}

TEST_F(Viewer, TwoBytesSpanTheGraphAndFewerKeepIt) {
  std::vector<unsigned char> bytes(256, 7);
  bytes[0x35] = 0;
  bytes[0x36] = 255;
  ASSERT_TRUE(open(bytes));
  type("txtCols", "2");
  const auto points = circles();
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(picture()->count(Kind::Line), kGridLines + 1);
  EXPECT_DOUBLE_EQ(points[0].y(), 0);
  EXPECT_NEAR(points[1].x(), 144.34, 0.005);
  EXPECT_DOUBLE_EQ(points[1].y(), -125);
  for (const char* fewer : {"1.4", "-5"}) {
    type("txtCols", fewer);
    EXPECT_EQ(circles().size(), 2u) << fewer;
  }
  EXPECT_EQ(text("txtCols"), "0");
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, AddressLabelsRoundHalvesToEven) {
  ASSERT_TRUE(open(test::patternBytes(8192)));
  type("txtStart", "1000");
  type("txtCols", "100");
  EXPECT_EQ(labels(), QStringList({"1000", "1019", "1032", "104B", "1064"}));
  type("txtStart", "0");
  type("txtCols", "10");
  EXPECT_EQ(labels(), QStringList({"0", "2", "5", "8", "A"}));
}

TEST_F(Viewer, SpinnersStepByOneWithinTheirBounds) {
  const auto bytes = test::patternBytes(4096);
  ASSERT_TRUE(open(bytes));
  click("vscStart", true);
  EXPECT_EQ(text("txtStart"), "36");
  EXPECT_EQ(text("lbl1"), "36");
  EXPECT_DOUBLE_EQ(circles().front().y(), yOf(bytes[0x36]));
  click("vscStart", false);
  click("vscStart", false);
  EXPECT_EQ(text("txtStart"), "34");
  type("txtStart", "0");
  click("vscStart", false);
  EXPECT_EQ(text("txtStart"), "0");
  type("txtCols", "2");
  click("vscCols", false);
  EXPECT_EQ(text("txtCols"), "2");
  type("txtCols", "500");
  click("vscCols", true);
  EXPECT_EQ(text("txtCols"), "500");
  EXPECT_EQ(circles().size(), 500u);
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, TypedTextIsNormalisedOrPutBack) {
  ASSERT_TRUE(open(test::patternBytes(4096)));
  const std::pair<const char*, QStringList> cases[] = {
      {"txtStart", {"1f", "1F"}},  {"txtStart", {"00ab", "AB"}}, {"txtStart", {"zz", "AB"}},
      {"txtCols", {"1", "2"}},     {"txtCols", {"501", "500"}},  {"txtCols", {"1e5", "500"}},
      {"txtCols", {"many", "500"}}};
  for (const auto& [box, typedAndShown] : cases) {
    type(box, typedAndShown[0]);
    EXPECT_EQ(text(box), typedAndShown[1]) << typedAndShown[0].toStdString();
  }
  EXPECT_EQ(text("lbl1"), "AB");
}

TEST_F(Viewer, NeverReadsPastTheEndOfTheFile) {
  const auto bytes = test::patternBytes(1000);
  ASSERT_TRUE(open(bytes));
  type("txtStart", "FFFFFF");
  EXPECT_EQ(text("txtStart"), "35C");  // 1000 - 140
  EXPECT_DOUBLE_EQ(circles().back().y(), yOf(bytes[999]));
  click("vscStart", true);
  EXPECT_EQ(text("txtStart"), "35C");
  click("vscCols", true);  // a longer stretch starts earlier
  EXPECT_EQ(text("txtStart"), "35B");
  EXPECT_DOUBLE_EQ(circles().back().y(), yOf(bytes[999]));
}

TEST_F(Viewer, AFileShorterThanTheStretchDrawsNothing) {
  ASSERT_TRUE(open(test::patternBytes(192)));
  EXPECT_TRUE(picture()->primitives().empty());
  type("txtCols", "192");  // leaving the start box first brings 35 back to 34
  EXPECT_EQ(text("txtStart"), "0");
  EXPECT_EQ(circles().size(), 192u);
  type("txtCols", "300");
  EXPECT_EQ(text("lbl5"), "12C");
  EXPECT_EQ(circles().size(), 192u);
}

TEST_F(Viewer, ResizeKeepsTheBoxesAtTheBottomAndRedrawsButPaintingDoesNot) {
  ASSERT_TRUE(open(test::patternBytes(4096)));
  const auto fromBottom = [&](const char* name) {
    return view->frameGeometry().height() - child(name)->y();
  };
  const char* moving[] = {"lblStart", "txtStart", "vscCols", "lbl0", "lbl1"};
  std::vector<int> before;
  for (const char* name : moving) before.push_back(fromBottom(name));

  setEditedByte(BIN_Data[0x35], 255);  // only a redraw shows this
  view->repaint();
  EXPECT_NE(circles().front().y(), -125);
  view->resize(view->width() + 150, view->height() + 90);
  QApplication::processEvents();
  for (size_t i = 0; i < std::size(moving); ++i) EXPECT_NEAR(fromBottom(moving[i]), before[i], 1);
  const double W = pixelsToTwipsX(view.get(), view->frameGeometry().width());
  const double H = pixelsToTwipsY(view.get(), view->frameGeometry().height());
  EXPECT_NEAR(picture()->width(), twipsToPixelsX(view.get(), W - 620), 1);
  EXPECT_NEAR(picture()->height(), twipsToPixelsY(view.get(), H - 1620), 1);
  EXPECT_NEAR(child("lbl5")->x(), twipsToPixelsX(view.get(), W - 480), 1);
  EXPECT_DOUBLE_EQ(circles().front().y(), -125);
  EXPECT_EQ(view->rotAngle(), 30);

  view->resize(10, 10);  // the picture keeps a size
  QApplication::processEvents();
  EXPECT_GT(picture()->width(), 0);
  EXPECT_GT(picture()->height(), 0);
}

}  // namespace
}  // namespace trimlet
