#include "ui/common/Canvas.h"

#include <gtest/gtest.h>

#include <QImage>

namespace trimlet {
namespace {

// What is drawn lands where its user coordinates say (y grows downward), whether it is a line
// of its own or a line of a mesh.
TEST(Canvas, PaintsUserCoordinatesWithYGrowingDownward) {
  Canvas canvas;
  canvas.resize(100, 100);
  canvas.setScale(-10, -20, 200, 100);  // x -10..190, y -20..80
  canvas.setDrawWidth(3);
  canvas.Line(0, -10, 60, -10);                               // near the top, left half
  canvas.Mesh({{0, 60}, {60, 60}, {0, 70}, {60, 70}}, 2, 1);  // near the bottom
  const QImage image = canvas.grab().toImage();
  const QColor background = canvas.palette().color(canvas.backgroundRole());
  const auto inked = [&](int x, int y) { return image.pixelColor(x, y) != background; };
  EXPECT_TRUE(inked(20, 10));  // the line at y = -10
  EXPECT_FALSE(inked(20, 20));
  EXPECT_FALSE(inked(45, 10));  // x = 80 is beyond the line's end
  EXPECT_TRUE(inked(20, 80));   // the mesh's rows at y = 60 and 70
  EXPECT_TRUE(inked(20, 90));
  EXPECT_TRUE(inked(5, 85));  // and its columns at x = 0 and 60
  EXPECT_TRUE(inked(35, 85));
}

}  // namespace
}  // namespace trimlet
