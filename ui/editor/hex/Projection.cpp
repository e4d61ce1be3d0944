#include "ui/editor/hex/Projection.h"

#include <cmath>

namespace trimlet {

double X_Bar(int16_t rotAngle, double x, double y, double /*z*/) {
  const double a = rotAngle * kDegreesToRadians;
  return std::cos(a) * x + std::sin(a) * y;
}

double Y_Bar(int16_t rotAngle, double x, double y, double z) {
  const double a = rotAngle * kDegreesToRadians;
  return -1 * (z - std::sin(a) * x + std::cos(a) * y);
}

}  // namespace trimlet
