#include "ui/editor/hex/Projection.h"

#include <cmath>

namespace trimlet {

namespace {

struct Turn {
  double cos;
  double sin;
};

// A drawing projects every point at one angle, so the sine and cosine are kept for the
// angle last asked for instead of being worked out for each point.
const Turn& turnFor(int16_t rotAngle) {
  static int16_t angle = 0;
  static Turn turn{1, 0};
  if (rotAngle != angle) {
    const double a = rotAngle * kDegreesToRadians;
    turn = {std::cos(a), std::sin(a)};
    angle = rotAngle;
  }
  return turn;
}

}  // namespace

double X_Bar(int16_t rotAngle, double x, double y, double /*z*/) {
  const Turn& t = turnFor(rotAngle);
  return t.cos * x + t.sin * y;
}

double Y_Bar(int16_t rotAngle, double x, double y, double z) {
  const Turn& t = turnFor(rotAngle);
  return -1 * (z - t.sin * x + t.cos * y);
}

}  // namespace trimlet
