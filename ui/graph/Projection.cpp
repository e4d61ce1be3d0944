#include "ui/graph/Projection.h"

#include <cmath>

namespace trimlet {

Projection::Projection(int16_t rotAngle)
    : cos_(std::cos(rotAngle * kDegreesToRadians)), sin_(std::sin(rotAngle * kDegreesToRadians)) {}

}  // namespace trimlet
