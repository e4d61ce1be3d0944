#include "ui/editor/hex/Projection.h"

#include <gtest/gtest.h>

namespace trimlet {
namespace {

TEST(Projection, MatchesTheGraphsConstantAtKnownAngles) {
  EXPECT_DOUBLE_EQ(X_Bar(0, 3, 5, 7), 3);
  EXPECT_DOUBLE_EQ(Y_Bar(0, 3, 5, 7), -12);
  EXPECT_NEAR(X_Bar(30, 1, 0, 0), 0.866018, 1e-6);
  EXPECT_NEAR(Y_Bar(30, 1, 0, 0), 0.500013, 1e-6);
  EXPECT_NEAR(X_Bar(30, 3, 5, 7), 5.098119, 1e-6);
  EXPECT_NEAR(Y_Bar(30, 3, 5, 7), -9.830049, 1e-6);
  EXPECT_NEAR(X_Bar(90, 3, 5, 7), 4.999863, 1e-6);
  EXPECT_NEAR(Y_Bar(90, 3, 5, 7), -3.999772, 1e-6);
  EXPECT_NEAR(X_Bar(360, 3, 5, 7), 3.000913, 1e-6);
}

}  // namespace
}  // namespace trimlet
