#include "core/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace trimlet {

std::optional<std::string_view> LineReader::next() {
  if (pos_ >= text_.size()) return std::nullopt;
  offset_ = pos_;
  ++number_;
  size_t end = pos_;
  while (end < text_.size() && !isLineEnd(text_[end])) ++end;
  pos_ = end + 1;
  if (end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n') ++pos_;
  return text_.substr(offset_, end - offset_);
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

namespace {

constexpr char upperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Where the character after the one starting at `at` begins: a lead byte of a multi-byte
// character takes the continuation bytes that follow it, up to the length it announces.
size_t nextCharacter(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t next = at + 1;
  while (next < at + length && next < text.size() &&
         (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
    ++next;
  return next;
}

}  // namespace

std::string upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), upperCase);
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return upperCase(x) == upperCase(y);
         });
}

std::optional<double> toReal(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  // Whole numbers, most of what tables hold, read as integers: the same value, several times
  // faster than the reader of reals.
  if (!text.empty() && text.size() <= 9) {
    int whole = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (error == std::errc() && end == text.data() + text.size()) return whole;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int16_t> toInt16(std::string_view text) {
  const auto real = toReal(text);
  if (!real) return std::nullopt;
  const double rounded = std::nearbyint(*real);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

std::string realText(double value) {
  // The longest fixed form of a double is some 330 characters (the smallest subnormal).
  std::array<char, 400> buffer{};
  // Adding 0 turns a negative zero into "0" rather than "-0".
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value + 0.0,
                                    std::chars_format::fixed);
  return std::string(buffer.data(), result.ptr);
}

// Built by appending: inserting into the string trips a false -Wrestrict of g++ 12 at -O3.
std::string withThousands(long long n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string counted(int64_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string_view characters(std::string_view text, size_t first, size_t count) {
  size_t from = 0;
  for (size_t k = 0; k < first && from < text.size(); ++k) from = nextCharacter(text, from);
  size_t to = from;
  for (size_t k = 0; k < count && to < text.size(); ++k) to = nextCharacter(text, to);
  return text.substr(from, to - from);
}

std::string_view shownCaption(std::string_view text) {
  return characters(text, 0, kShownCaptionLength);
}

std::string inQuotes(std::string_view text) {
  const std::string_view shown = characters(text, 0, 40);
  std::string out = "\"";
  for (const char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + (shown.size() < text.size() ? "...\"" : "\"");
}

}  // namespace trimlet
