// The point projection every graph uses: a point (x, y, z) seen under a rotation angle.
#pragma once

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

// Horizontal drawing coordinate: cos(a)·x + sin(a)·y, with a = angle × 0.0174538.
[[nodiscard]] double X_Bar(int16_t rotAngle, double x, double y, double z);

// Vertical drawing coordinate (y down): -1·(z - sin(a)·x + cos(a)·y).
[[nodiscard]] double Y_Bar(int16_t rotAngle, double x, double y, double z);

}  // namespace trimlet
