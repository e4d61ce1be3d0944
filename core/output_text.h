// Text the command-line tools write: names from the files, which may hold any byte, made safe
// for a terminal line or a JSON string, and a write that gets all of it out or says why not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trimlet {

// Length of the well-formed UTF-8 character at text[i]; 0 when none starts there.
[[nodiscard]] size_t utf8Length(std::string_view text, size_t i);

// A line of a text report: control characters become \xNN, so that a line break in a name
// cannot split the line, and bytes that are not UTF-8 become U+FFFD.
[[nodiscard]] std::string printable(std::string_view text);

// A JSON string, quotes included: control characters escaped, bytes that are not UTF-8 as
// U+FFFD.
[[nodiscard]] std::string jsonString(std::string_view text);

// Writes all of the text to the open file, or returns the platform's error (0 when done).
[[nodiscard]] int writeAll(int fd, std::string_view text);

}  // namespace trimlet
