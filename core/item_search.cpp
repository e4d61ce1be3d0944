#include "core/item_search.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/hex.h"
#include "core/text.h"

namespace trimlet {

namespace {

bool sameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// The address the text names, when it is hexadecimal.
std::optional<uint64_t> typedAddress(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    text.remove_prefix(1);
  }
  return hexToNumber(text);
}

}  // namespace

bool itemMatches(std::string_view name, const RecordRange& range, std::string_view text) {
  text = trim(text);
  if (text.empty() ||
      std::search(name.begin(), name.end(), text.begin(), text.end(), sameLetter) != name.end())
    return true;
  const std::optional<uint64_t> address = typedAddress(text);
  return address && range.problem == RangeProblem::None &&
         *address >= static_cast<uint64_t>(range.first) &&
         *address - static_cast<uint64_t>(range.first) < static_cast<uint64_t>(range.count);
}

}  // namespace trimlet
