#include "ui/viewer/frmView.h"

#include "core/hex.h"
#include "support/ui/EditorTest.h"
#include "ui/common/Canvas.h"

namespace trimlet::test {
namespace {

double yOf(int value) { return -125.0 * value / 255; }

class Viewer : public EditorTest {
 protected:
  void open(const std::vector<unsigned char>& bytes) {
    ASSERT_TRUE(EditorTest::open(bytes, std::vector<ECU_Item>{}));
    openViewer();
  }
  QStringList labels() const {
    return {text("lbl1"), text("lbl2"), text("lbl3"), text("lbl4"), text("lbl5")};
  }
  std::vector<QPointF> points() const {
    const auto& meshes = child<Canvas>("picHexLine")->meshes();
    return meshes.empty() ? std::vector<QPointF>() : meshes.back().points;
  }
};

// It opens on 140 bytes from 0x35, their values from bottom to top.
TEST_F(Viewer, BoxesStepAndTypeWithinTheFileAndLabelsRoundHalvesToEven) {
  auto bytes = patternBytes(8192);
  bytes[0x1000] = 0;
  bytes[0x1001] = 255;
  open(bytes);
  EXPECT_EQ(labels(), QStringList({"35", "58", "7B", "9E", "C1"}));
  ASSERT_EQ(points().size(), 140u);
  EXPECT_DOUBLE_EQ(points().front().y(), yOf(bytes[0x35]));
  type("txtStart", "1000");
  type("txtCols", "2");
  EXPECT_EQ(points()[0].y() + points()[1].y(), -125);  // 0 on the bottom axis, 255 at -125
  EXPECT_NEAR(points()[1].x(), 144.34, 0.005);
  type("txtCols", "100");
  EXPECT_EQ(labels(), QStringList({"1000", "1019", "1032", "104B", "1064"}));
  type("txtStart", "0");
  type("txtCols", "10");
  EXPECT_EQ(labels(), QStringList({"0", "2", "5", "8", "A"}));
  type("txtCols", "499");
  type("txtStart", "FFFFFF");  // past the end: the last stretch that fits
  EXPECT_EQ(text("txtStart"), "1E0D");
  EXPECT_DOUBLE_EQ(points().back().y(), yOf(bytes[8191]));
  clickArrow("vscCols", true);  // a longer stretch starts earlier
  EXPECT_EQ(text("txtStart") + text("txtCols"), "1E0C500");
  EXPECT_EQ(points().size(), 500u);
}

}  // namespace
}  // namespace trimlet::test
