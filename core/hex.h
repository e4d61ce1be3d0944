// Hexadecimal text rules: text to number, number to text, and the two forms of a record's value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/state.h"
#include "core/text.h"

namespace trimlet {

// Bytes first..last of the image, both included.
struct ByteRange {
  uint64_t first = 0;
  uint64_t last = 0;
  bool operator==(const ByteRange&) const = default;
};

// "4000" for one byte, "4000..400F" for more, in hexadecimal.
[[nodiscard]] std::string rangeText(const ByteRange& range);

// Reads hexadecimal digits (either case, no prefix, blanks around ignored) as an unsigned
// number. Empty text, other characters, or a number beyond 64 bits give nullopt.
[[nodiscard]] std::optional<uint64_t> hexToNumber(std::string_view text);

// Whether the text is hexadecimal digits only (either case, blanks around ignored), however
// many: true also for numbers too large for hexToNumber.
[[nodiscard]] bool isHexText(std::string_view text);

// Upper-case hexadecimal without leading zeros ("0" for zero).
[[nodiscard]] std::string numberToHex(uint64_t value);

// The byte a record holds, with a trailing blank ignored; nullopt when the value is not
// hexadecimal (a record no load has filled).
// Inline: a save and every whole-image read convert each record of the image.
[[nodiscard]] inline std::optional<int> recordByte(const BIN_Record& record) {
  const int high = hexDigitValue(record.Value[0]);
  if (high < 0) return std::nullopt;
  if (record.Value[1] == ' ') return high;
  const int low = hexDigitValue(record.Value[1]);
  if (low < 0) return std::nullopt;
  return high * 16 + low;
}

// Writes a byte as the editing panels do: digits without leading zero, left-aligned, so a
// byte below 0x10 is one digit and a blank.
void setEditedByte(BIN_Record& record, int byte);

// The record's value as a two-digit text, a single digit taking a leading zero ("5 " -> "05").
[[nodiscard]] std::string twoDigitValue(const BIN_Record& record);

// The record's value exactly as stored ("5 " stays "5 ").
[[nodiscard]] std::string_view storedValue(const BIN_Record& record);

}  // namespace trimlet
