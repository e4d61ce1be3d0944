// Reading the ECU definition file into the header fields and the item table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trimlet {

inline constexpr char kIncorrectFormat[] = "Incorrect ECU Format";
inline constexpr char kEcuFileError[] = "ECU File Error";

// What the caller of Parse_ECU must do next.
enum class ParseOutcome {
  Ok,         // go on
  ItemError,  // show "ECU File Error" (OK button, no icon), then go on
  Rejected,   // show `message` with the critical icon and close the window
};

struct ParseResult {
  ParseOutcome outcome = ParseOutcome::Ok;
  std::string message;
};

// Parses the file named by ECU_Path into ECU_Format, ECU_Head1..6, ECU_Count and ECU_Items.
// Every parse starts from an empty item table. A file that cannot be read, is not a regular
// file or holds more than kMaxTextFileBytes is rejected with a message that says why.
[[nodiscard]] ParseResult Parse_ECU();

// The value of a field item: the characters after its first "=" up to a "," or its end;
// empty when the item holds no "=".
[[nodiscard]] std::string Get_Field(std::string_view item);

// Splits text into the file's reading units: items separated by commas and line ends,
// leading blanks skipped, a double-quoted item taken without its quotes.
[[nodiscard]] std::vector<std::string_view> tokenizeItems(std::string_view text);

}  // namespace trimlet
