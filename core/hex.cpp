#include "core/hex.h"

#include <array>

#include "core/text.h"

namespace trimlet {

bool isHexText(std::string_view text) {
  text = trim(text);
  if (text.empty()) return false;
  for (char c : text)
    if (hexDigitValue(c) < 0) return false;
  return true;
}

std::optional<uint64_t> hexToNumber(std::string_view text) {
  text = trim(text);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int d = hexDigitValue(c);
    if (d < 0) return std::nullopt;
    if (value > (UINT64_MAX >> 4)) return std::nullopt;
    value = (value << 4) | static_cast<uint64_t>(d);
  }
  return value;
}

std::string numberToHex(uint64_t value) {
  std::array<char, 16> buffer{};
  size_t n = buffer.size();
  do {
    buffer[--n] = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  return std::string(buffer.data() + n, buffer.size() - n);
}

void setEditedByte(BIN_Record& record, int byte) {
  const auto b = static_cast<unsigned>(byte) & 0xFFu;
  if (b >= 0x10) {
    record.Value = {kHexDigits[b >> 4], kHexDigits[b & 0xF]};
  } else {
    record.Value = {kHexDigits[b], ' '};
  }
}

std::string twoDigitValue(const BIN_Record& record) {
  if (record.Value[1] == ' ') return std::string{'0', record.Value[0]};
  return std::string(storedValue(record));
}

std::string_view storedValue(const BIN_Record& record) {
  if (record.Value[0] == '\0') return {};  // never filled by a load
  return {record.Value.data(), record.Value.size()};
}

std::string rangeText(const ByteRange& range) {
  const std::string first = numberToHex(range.first);
  return range.first == range.last ? first : first + ".." + numberToHex(range.last);
}

}  // namespace trimlet
