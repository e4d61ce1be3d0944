#include "ui/graph/Projection.h"

#include <algorithm>
#include <cmath>

namespace trimlet {

Projection::Projection(int16_t rotAngle)
    : cos_(std::cos(rotAngle * kDegreesToRadians)), sin_(std::sin(rotAngle * kDegreesToRadians)) {}

double Projection::X_Bar(double x, double y, double /*z*/) const { return cos_ * x + sin_ * y; }

double Projection::Y_Bar(double x, double y, double z) const {
  return -1 * (z - sin_ * x + cos_ * y);
}

void Projection::widen(double x, double y, double z, double& maxX, double& minY) const {
  maxX = std::max(maxX, X_Bar(x, y, z));
  minY = std::min(minY, Y_Bar(x, y, z));
}

}  // namespace trimlet
