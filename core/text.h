// Small text rules every reader of typed or stored text shares: blanks, case, hexadecimal
// digits, numbers, and captions cut by character.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trimlet {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Blanks are spaces and tabs; line ends are never blanks.
[[nodiscard]] constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text without blanks at either end.
[[nodiscard]] std::string_view trim(std::string_view text);

// Upper case for ASCII letters only, whatever locale the process runs under.
[[nodiscard]] std::string upper(std::string_view text);

// Equal but for the case of ASCII letters.
[[nodiscard]] bool equalsNoCase(std::string_view a, std::string_view b);

// 0..15 for a hexadecimal digit of either case, -1 for any other character.
[[nodiscard]] constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A finite decimal number with "." as the decimal point, blanks around ignored; locale-free.
[[nodiscard]] std::optional<double> toReal(std::string_view text);

// A 16-bit whole number: a finite decimal number rounded half to even, within -32768..32767.
[[nodiscard]] std::optional<int16_t> toInt16(std::string_view text);

// The shortest decimal text of a real, without exponent ("140", "2.5", "0" for -0).
[[nodiscard]] std::string realText(double value);

// A count with its thousands grouped by commas: "655,343".
[[nodiscard]] std::string withThousands(long long n);

// A count and its noun, the noun plural unless the count is 1: "1 cell", "6 cells".
[[nodiscard]] std::string counted(int64_t count, std::string_view noun);

// Characters first..first+count-1 of UTF-8 text, counted from 0; shorter or empty where the
// text runs out. A byte that starts no character counts as one, so any text can be cut.
[[nodiscard]] std::string_view characters(std::string_view text, size_t first, size_t count);

// Most characters of a caption or name from the ECU file that a window shows: a label or list
// entry of megabytes would freeze the window. The item table keeps the whole text.
inline constexpr size_t kShownCaptionLength = 200;

// The caption or name as a window shows it: its first kShownCaptionLength characters.
[[nodiscard]] std::string_view shownCaption(std::string_view text);

}  // namespace trimlet
