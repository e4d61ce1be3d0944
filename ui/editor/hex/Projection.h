// The point projection every graph uses: a point (x, y, z) seen under a rotation angle.
#pragma once

#include <cstdint>

namespace trimlet {

// Degrees to radians as the graphs have always converted them (a little above pi/180).
inline constexpr double kDegreesToRadians = 0.0174538;

// Horizontal drawing coordinate: cos(a)·x + sin(a)·y, with a = angle × 0.0174538.
[[nodiscard]] double X_Bar(int16_t rotAngle, double x, double y, double z);

// Vertical drawing coordinate (y down): -1·(z - sin(a)·x + cos(a)·y).
[[nodiscard]] double Y_Bar(int16_t rotAngle, double x, double y, double z);

}  // namespace trimlet
