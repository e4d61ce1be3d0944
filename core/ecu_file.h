// Reading the ECU definition file into the header fields and the item table.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"

namespace trimlet {

inline constexpr char kIncorrectFormat[] = "Incorrect ECU Format";
inline constexpr char kEcuFileError[] = "ECU File Error";
// The editor's message when the items do not add up to the count the header declares.
inline constexpr char kErrorInEcuFile[] = "Error in ECU File";
// The main window's message for an ECU file whose name does not end in ".ecu".
inline constexpr char kIncorrectEcuName[] = "ECU file is not correct.";

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

// Where something starts in the file, from 1: a line ends at CR, LF or CR LF, and a column
// counts bytes.
struct TextPosition {
  size_t line = 1;
  size_t column = 1;
  auto operator<=>(const TextPosition&) const = default;
};

// How much a finding about the file matters. error: the editor shows a message because of it,
// a checksum block cannot be computed as written, or a checksum is BAD; warning: the editor
// opens, but an item or a checksum block cannot be used as written; note: a hint at what may be
// meant, or a checksum that is OK.
enum class Severity { Error, Warning, Note };

// An item of the file and where it starts (at its opening quote when it is quoted).
struct PlacedItem {
  std::string_view text;
  TextPosition at;
};

// The fields of the header and of an item, by the names the documentation gives them.
inline constexpr int kHeaderFields = 7;
inline constexpr int kItemFields = 13;
inline constexpr std::array<const char*, kHeaderFields> kHeaderFieldNames = {
    "Title", "Version", "Text 1", "Text 2", "Text 3", "Text 4", "Items"};
inline constexpr std::array<const char*, kItemFields> kItemFieldNames = {
    "Address", "Cols", "Rows",   "Bytes", "Kind",   "Offset", "Operation",
    "Factor",  "Name", "Ylabel", "Yaxis", "Xlabel", "Xaxis"};

// One field as the read takes it.
struct FieldRead {
  int item = 0;            // 0: the header; 1 on: the items
  int field = 0;           // its place in the header or the item, from 0
  PlacedItem source;       // the whole field item: key, "=" and value
  std::string_view value;  // what Get_Field gives
  bool converted = true;   // false: a number field whose value is no number in range
};

// Why a read ended before it had everything it needs.
enum class ReadStop { None, NoFormat, FileEnds, NotANumber, TooManyItems };

// What a read met on its way through the file, in file order, for a check to report on.
struct EcuTrace {
  std::optional<PlacedItem> format;  // the first item that is not blank
  std::vector<TextPosition> braces;  // the header's "{" first, then each item's
  std::vector<FieldRead> fields;     // the header's fields, then each item's
  ReadStop stop = ReadStop::None;
  TextPosition fileEnd;    // where the file ends, when the read ran into it
  size_t unreadItems = 0;  // "{" items after the last declared item, which nothing reads
  TextPosition firstUnread;
  size_t itemsEnd = 0;  // where the read of the items stopped, as a byte offset
  // The first field item skipped after the fields of the header (0) or of an item.
  struct Leftover {
    int item = 0;
    PlacedItem field;
  };
  std::vector<Leftover> leftovers;
};

// Where a read stores what it finds: the shared state for Parse_ECU, a check's own copy else.
struct EcuTarget {
  std::string& format;
  std::string& head1;
  int16_t& head2;
  std::string& head3;
  std::string& head4;
  std::string& head5;
  std::string& head6;
  int16_t& count;
  std::array<ECU_Item, kMaxItems + 1>& items;
};

// The header and items of one read, kept apart from the shared state.
struct EcuContent {
  std::string format, head1, head3, head4, head5, head6;
  int16_t head2 = 0;
  int16_t count = 0;
  std::array<ECU_Item, kMaxItems + 1> items;

  EcuTarget target() { return {format, head1, head2, head3, head4, head5, head6, count, items}; }
};

// Reads ECU text into `target` as Parse_ECU reads its file (Parse_ECU is this read of the
// file's bytes), noting in `trace`, when one is given, where it found each part.
[[nodiscard]] ParseResult readEcuText(std::string_view text, const EcuTarget& target,
                                      EcuTrace* trace);

// The line that opens the checksum section after the items: this word alone on its line (blanks
// around it and the case of its letters aside). The item parse never reads that far.
inline constexpr char kChecksumsLine[] = "Checksums";

// Where the first such line starting at or after byte `from` begins; nullopt when there is none.
// `from` is where the read of the items stopped (EcuTrace::itemsEnd).
[[nodiscard]] std::optional<size_t> checksumsLineAt(std::string_view text, size_t from);

}  // namespace trimlet
