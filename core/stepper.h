// The start-address and count boxes of the Hex tab and the byte viewer: what a box holds after
// its spin control steps it (or the user leaves it), and the limits that follow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/state.h"

namespace trimlet {

// The most bytes a count box keeps by stepping: the graphs' tables hold columns and rows 0..500.
inline constexpr int kMaxCount = kMaxTableCells - 1;

// The start after a step by `spin` (-1, 0 or 1, subtracted, so -1 adds one), in upper-case
// hexadecimal: text that is not hexadecimal gives way to `lastGood`; never below 0.
[[nodiscard]] std::string steppedStart(std::string_view text, std::string_view lastGood, int spin);

// The last start whose stretch of `count` bytes (one at least) lies in a file of `fileBytes`
// bytes; 0 when none does.
[[nodiscard]] int64_t lastStart(int64_t fileBytes, int64_t count);

// The start brought back to `last` when it lies beyond it.
[[nodiscard]] std::string limitedStart(std::string_view start, int64_t last);

// The count after a step by `spin`, as the shortest decimal text: text that is not a number
// gives way to `lastGood`.
[[nodiscard]] std::string steppedCount(std::string_view text, std::string_view lastGood, int spin);

// The count's checks: exactly `raisedFrom` becomes one more (a step below the lowest count is put
// back), more than kMaxCount becomes kMaxCount, below 0 becomes 0.
[[nodiscard]] std::string limitedCount(std::string_view count, int raisedFrom);

}  // namespace trimlet
