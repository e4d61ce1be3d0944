#include "ui/graph/Projection.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(Projection, MatchesTheGraphsConstantAtKnownAngles) {
  EXPECT_EQ(std::pair(Projection(0).X_Bar(3, 5, 7), Projection(0).Y_Bar(3, 5, 7)),
            std::pair(3.0, -12.0));
  EXPECT_NEAR(Projection(30).X_Bar(3, 5, 7), 5.098119, 1e-6);
  EXPECT_NEAR(Projection(30).Y_Bar(3, 5, 7), -9.830049, 1e-6);
  EXPECT_NEAR(Projection(360).X_Bar(3, 5, 7), 3.000913, 1e-6);  // pi / 180 would give 3
  double maxX = 0, minY = 0;
  Projection(30).widen(3, 5, 7, maxX, minY);
  Projection(30).widen(0, 0, 0, maxX, minY);
  EXPECT_NEAR(maxX, 5.098119, 1e-6);
  EXPECT_NEAR(minY, -9.830049, 1e-6);
}

}  // namespace
}  // namespace trimlet
