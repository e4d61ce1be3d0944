// Small text rules every reader of typed or stored text shares: blanks, case, hexadecimal
// digits, numbers, and captions cut by character.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trimlet {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Blanks are spaces and tabs; line ends are never blanks.
[[nodiscard]] constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A line ends at CR, at LF, or at CR LF taken as one.
[[nodiscard]] constexpr bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// The lines of a text in turn, each without its line end.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line; nullopt once the text is used up (a last line end starts no line).
  std::optional<std::string_view> next();

  // Where the line last returned starts, as a byte offset, and its number from 1.
  [[nodiscard]] size_t offset() const { return offset_; }
  [[nodiscard]] size_t number() const { return number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t offset_ = 0;
  size_t number_ = 0;
};

// The text without blanks at either end.
[[nodiscard]] std::string_view trim(std::string_view text);

// Upper case for ASCII letters only, whatever locale the process runs under.
[[nodiscard]] std::string upper(std::string_view text);

// Equal but for the case of ASCII letters.
[[nodiscard]] bool equalsNoCase(std::string_view a, std::string_view b);

// 0..15 for each hexadecimal digit of either case, -1 for any other character: a table, because
// whole-image reads look up two digits for each of 655,351 records.
inline constexpr std::array<int8_t, 256> kHexDigitValues = [] {
  std::array<int8_t, 256> values{};
  values.fill(-1);
  for (int d = 0; d < 10; ++d) values['0' + d] = static_cast<int8_t>(d);
  for (int d = 0; d < 6; ++d) values['A' + d] = values['a' + d] = static_cast<int8_t>(10 + d);
  return values;
}();

// 0..15 for a hexadecimal digit of either case, -1 for any other character.
[[nodiscard]] constexpr int hexDigitValue(char c) {
  return kHexDigitValues[static_cast<unsigned char>(c)];
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

// A text as a message quotes it: in double quotes, cut after 40 characters, and control
// characters written as \xNN so that a message stays on one line whatever the file holds.
[[nodiscard]] std::string inQuotes(std::string_view text);

// Most characters of a caption or name from the ECU file that a window shows: a label or list
// entry of megabytes would freeze the window. The item table keeps the whole text.
inline constexpr size_t kShownCaptionLength = 200;

// The caption or name as a window shows it: its first kShownCaptionLength characters.
[[nodiscard]] std::string_view shownCaption(std::string_view text);

}  // namespace trimlet
