#include "core/hex.h"

#include <array>

namespace trimlet {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool isHexText(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return false;
  for (char c : text)
    if (digitValue(c) < 0) return false;
  return true;
}

std::optional<uint64_t> hexToNumber(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int d = digitValue(c);
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
    buffer[--n] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  return std::string(buffer.data() + n, buffer.size() - n);
}

std::optional<int> recordByte(const BIN_Record& record) {
  // Read the two characters directly: a save converts every record of the image.
  const int high = digitValue(record.Value[0]);
  if (high < 0) return std::nullopt;
  if (record.Value[1] == ' ') return high;
  const int low = digitValue(record.Value[1]);
  if (low < 0) return std::nullopt;
  return high * 16 + low;
}

void setEditedByte(BIN_Record& record, int byte) {
  const auto b = static_cast<unsigned>(byte) & 0xFFu;
  if (b >= 0x10) {
    record.Value = {kDigits[b >> 4], kDigits[b & 0xF]};
  } else {
    record.Value = {kDigits[b], ' '};
  }
}

void setLoadedByte(BIN_Record& record, uint8_t byte) {
  record.Value = {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

std::string twoDigitValue(const BIN_Record& record) {
  if (record.Value[1] == ' ') return std::string{'0', record.Value[0]};
  return std::string(storedValue(record));
}

std::string_view storedValue(const BIN_Record& record) {
  if (record.Value[0] == '\0') return {};  // never filled by a load
  return {record.Value.data(), record.Value.size()};
}

}  // namespace trimlet
