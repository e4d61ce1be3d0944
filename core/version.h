// The program's version as its windows and tools show it.
#pragma once

#include <string>

namespace trimlet {

// Major, ".", minor and revision with nothing between the last two: 1.0.0 gives "1.00".
[[nodiscard]] std::string programVersion();

}  // namespace trimlet
