#include "core/version.h"

namespace trimlet {

std::string programVersion() {
  return std::to_string(TRIMLET_VERSION_MAJOR) + "." + std::to_string(TRIMLET_VERSION_MINOR) +
         std::to_string(TRIMLET_VERSION_PATCH);
}

}  // namespace trimlet
