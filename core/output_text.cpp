#include "core/output_text.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/text.h"

namespace trimlet {

size_t utf8Length(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) {
    return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
  };
  const unsigned char lead = byte(0);
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 0;
  return length;
}

namespace {

// Text from the files as UTF-8: each ASCII byte as `ascii` writes it, each well-formed
// character as it is, every other byte as `invalid`.
template <class Ascii>
std::string asUtf8(std::string_view text, Ascii ascii, std::string_view invalid) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t length = c < 0x80 ? 1 : utf8Length(text, i);
    if (c < 0x80)
      ascii(out, c);
    else if (length > 0)
      out.append(text.substr(i, length));
    else
      out += invalid;
    i += std::max<size_t>(length, 1);
  }
  return out;
}

}  // namespace

std::string printable(std::string_view text) {
  const auto ascii = [](std::string& out, unsigned char c) {
    if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  };
  return asUtf8(text, ascii, "\xEF\xBF\xBD");
}

std::string jsonString(std::string_view text) {
  const auto ascii = [](std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  };
  return "\"" + asUtf8(text, ascii, "\\ufffd") + "\"";
}

int writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

}  // namespace trimlet
