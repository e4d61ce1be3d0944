#include "ui/viewer/frmView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <memory>

#include "core/hex.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"

namespace trimlet::test {
namespace {

double yOf(int value) { return -125.0 * value / 255; }

class Viewer : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    setSettingsFile((dir.path() / "trimlet.ini").string(), "trimlet");
  }

  void open(const std::vector<unsigned char>& bytes) {
    BIN_Path = dir.write("image.bin", bytes);
    ECU_Path = dir.write("image.ecu", ecuText({}));
    view = std::make_unique<frmView>();
    ASSERT_TRUE(view->Form_Load());
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  }

  template <class T = QWidget>
  T* child(const char* name) const {
    return view->findChild<T*>(name);
  }
  Canvas* picture() const { return child<Canvas>("picHexLine"); }
  QString text(const char* name) const {
    auto* box = child<TextBox>(name);
    return box ? box->text() : child<QLabel>(name)->text();
  }
  QStringList labels() const {
    return {text("lbl1"), text("lbl2"), text("lbl3"), text("lbl4"), text("lbl5")};
  }
  std::vector<QPointF> points() const {
    const auto& meshes = picture()->meshes();
    return meshes.empty() ? std::vector<QPointF>() : meshes.back().points;
  }
  void type(const char* box, const QString& typed) const {
    auto* edit = child<TextBox>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    child("vscCols")->setFocus();
  }
  void click(const char* spinner, bool upper) const {
    auto* bar = child(spinner);
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      QPoint(bar->width() / 2, upper ? 2 : bar->height() - 3));
  }

  TempDir dir;
  std::unique_ptr<frmView> view;
};

TEST_F(Viewer, OpensOn140BytesFrom35OverTheFixedGrid) {
  const auto bytes = patternBytes(32768);
  open(bytes);
  EXPECT_EQ(view->windowTitle(), "Trimscope Version 1.00     File Size: 32K");
  EXPECT_EQ(labels(), QStringList({"35", "58", "7B", "9E", "C1"}));
  const auto p = points();
  ASSERT_EQ(p.size(), 140u);
  EXPECT_EQ(picture()->meshes().back().radius, 0.25);
  EXPECT_DOUBLE_EQ(p.front().x(), 0);
  EXPECT_DOUBLE_EQ(p.front().y(), yOf(bytes[0x35]));
  EXPECT_NEAR(p.back().x(), 144.34, 0.005);
  EXPECT_DOUBLE_EQ(p.back().y(), yOf(bytes[0x35 + 139]));
  EXPECT_EQ(view->rotAngle(), 30);
}

TEST_F(Viewer, TwoBytesSpanTheGraphFromBottomToTopAndFewerKeepIt) {
  std::vector<unsigned char> bytes(256, 7);
  bytes[0x35] = 0;
  bytes[0x36] = 255;
  open(bytes);
  type("txtCols", "2");
  ASSERT_EQ(points().size(), 2u);
  EXPECT_DOUBLE_EQ(points()[0].y(), 0);
  EXPECT_NEAR(points()[1].x(), 144.34, 0.005);
  EXPECT_DOUBLE_EQ(points()[1].y(), -125);
  for (const char* fewer : {"1.4", "-5"}) {
    type("txtCols", fewer);
    EXPECT_EQ(points().size(), 2u) << fewer;
  }
  EXPECT_EQ(text("txtCols"), "0");
}

TEST_F(Viewer, BoxesStepAndLabelsRoundHalvesToEven) {
  const auto bytes = patternBytes(8192);
  open(bytes);
  click("vscStart", true);
  EXPECT_EQ(text("lbl1"), "36");
  EXPECT_DOUBLE_EQ(points().front().y(), yOf(bytes[0x36]));
  type("txtStart", "1000");
  type("txtCols", "100");
  EXPECT_EQ(labels(), QStringList({"1000", "1019", "1032", "104B", "1064"}));
  type("txtStart", "0");
  type("txtCols", "10");
  EXPECT_EQ(labels(), QStringList({"0", "2", "5", "8", "A"}));
  click("vscStart", false);
  EXPECT_EQ(text("txtStart"), "0");
  type("txtCols", "500");
  click("vscCols", true);
  EXPECT_EQ(text("txtCols"), "500");
  EXPECT_EQ(points().size(), 500u);
  type("txtStart", "1f");
  EXPECT_EQ(text("txtStart"), "1F");
  type("txtStart", "zz");
  EXPECT_EQ(text("txtStart"), "1F");
}

TEST_F(Viewer, NeverReadsPastTheEndOfTheFile) {
  const auto bytes = patternBytes(1000);
  open(bytes);
  type("txtStart", "FFFFFF");
  EXPECT_EQ(text("txtStart"), "35C");  // 1000 - 140
  EXPECT_DOUBLE_EQ(points().back().y(), yOf(bytes[999]));
  click("vscStart", true);
  EXPECT_EQ(text("txtStart"), "35C");
  click("vscCols", true);  // a longer stretch starts earlier
  EXPECT_EQ(text("txtStart"), "35B");
  EXPECT_DOUBLE_EQ(points().back().y(), yOf(bytes[999]));
}

TEST_F(Viewer, ResizingMovesTheBoxesWithTheBottomEdgeAndRedraws) {
  open(patternBytes(4096));
  const auto fromBottom = [&](const char* name) {
    return view->frameGeometry().height() - child(name)->y();
  };
  const char* moving[] = {"lblStart", "txtStart", "vscCols", "lbl0", "lbl1"};
  std::vector<int> before;
  for (const char* name : moving) before.push_back(fromBottom(name));
  setEditedByte(BIN_Data[0x35], 255);  // only a redraw shows this
  view->repaint();
  EXPECT_NE(points().front().y(), -125);
  view->resize(view->width() + 150, view->height() + 90);
  QApplication::processEvents();
  for (size_t i = 0; i < std::size(moving); ++i) EXPECT_NEAR(fromBottom(moving[i]), before[i], 1);
  const double W = pixelsToTwipsX(view.get(), view->frameGeometry().width());
  const double H = pixelsToTwipsY(view.get(), view->frameGeometry().height());
  EXPECT_NEAR(picture()->width(), twipsToPixelsX(view.get(), W - 620), 1);
  EXPECT_NEAR(picture()->height(), twipsToPixelsY(view.get(), H - 1620), 1);
  EXPECT_NEAR(child("lbl5")->x(), twipsToPixelsX(view.get(), W - 480), 1);
  EXPECT_DOUBLE_EQ(points().front().y(), -125);
}

}  // namespace
}  // namespace trimlet::test
