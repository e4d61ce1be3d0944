#include "core/stepper.h"

#include <algorithm>

#include "core/hex.h"
#include "core/state.h"
#include "core/text.h"

namespace trimlet {

namespace {

// A start within the image; anything larger is capped first, so a step cannot wrap.
uint64_t startOf(std::string_view text) {
  return std::min<uint64_t>(hexToNumber(text).value_or(0), kBinCapacity);
}

}  // namespace

std::string steppedStart(std::string_view text, std::string_view lastGood, int spin) {
  const uint64_t start = startOf(hexToNumber(text) ? text : lastGood);
  const uint64_t stepped = spin > 0 && start == 0 ? 0 : start - static_cast<uint64_t>(spin);
  return numberToHex(stepped);
}

int64_t lastStart(int64_t fileBytes, int64_t count) {
  return std::max(fileBytes - std::max(count, int64_t{1}), int64_t{0});
}

std::string limitedStart(std::string_view start, int64_t last) {
  if (static_cast<int64_t>(startOf(start)) <= last) return std::string(start);
  return numberToHex(static_cast<uint64_t>(last));
}

std::string steppedCount(std::string_view text, std::string_view lastGood, int spin) {
  return realText(toReal(text).value_or(toReal(lastGood).value_or(0)) - spin);
}

std::string limitedCount(std::string_view count, int raisedFrom) {
  const double value = toReal(count).value_or(0);
  if (value == raisedFrom) return std::to_string(raisedFrom + 1);
  if (value > kMaxCount) return std::to_string(kMaxCount);
  if (value < 0) return "0";
  return std::string(count);
}

}  // namespace trimlet
