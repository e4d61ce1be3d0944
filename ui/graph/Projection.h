// The point projection every graph uses: a point (x, y, z) seen under a rotation angle.
#pragma once

#include <algorithm>
#include <cstdint>

namespace trimlet {

// Degrees to radians as the graphs have always converted them (a little above pi/180).
inline constexpr double kDegreesToRadians = 0.0174538;

// The angle after a turn by one degree: -1 becomes 360 and 361 becomes 0, so the rotation
// controls keep it within 0..360.
[[nodiscard]] constexpr int16_t wrappedAngle(int16_t angle) {
  if (angle == -1) return 360;
  if (angle == 361) return 0;
  return angle;
}

// The projection at one angle: a drawing makes one and projects all its points with it, so the
// sine and cosine are worked out once.
class Projection {
 public:
  explicit Projection(int16_t rotAngle);

  // Horizontal drawing coordinate: cos(a)·x + sin(a)·y, with a = angle × 0.0174538. Defined
  // here, so that the loops over a quarter of a million points inline it.
  [[nodiscard]] double X_Bar(double x, double y, double /*z*/) const { return cos_ * x + sin_ * y; }
  // Vertical drawing coordinate (y down): -1·(z - sin(a)·x + cos(a)·y).
  [[nodiscard]] double Y_Bar(double x, double y, double z) const {
    return -1 * (z - sin_ * x + cos_ * y);
  }

  // Widens the extents to take in the point: maxX only grows, minY only falls.
  void widen(double x, double y, double z, double& maxX, double& minY) const {
    maxX = std::max(maxX, X_Bar(x, y, z));
    minY = std::min(minY, Y_Bar(x, y, z));
  }

 private:
  double cos_;
  double sin_;
};

}  // namespace trimlet
