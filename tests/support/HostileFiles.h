// The hostile ECU files of tests/data/hostile, one row each, read against a 32 KiB image: the
// first problem the check finds, the messages the editor shows on opening the file, and the
// entries it refuses with their notes. The check's test and the editor's test share this table.
#pragma once

#include <cctype>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/ecu_check.h"

namespace trimlet::test {

struct HostileFile {
  const char* name;
  size_t line;  // of the first problem (0: none)
  Severity severity;
  const char* says;                // the start of the first problem's message
  std::vector<std::string> shows;  // "Error in ECU File" last ends the program
  std::map<std::string, std::string> refused;
};
// A row is named by its file, in the characters a test name allows (a-b.ecu: a_b_ecu).
inline void PrintTo(const HostileFile& file, std::ostream* out) {
  for (const char* c = file.name; *c != 0; ++c)
    *out << (std::isalnum(static_cast<unsigned char>(*c)) != 0 ? *c : '_');
}

inline const std::string kNotHex =
    "This item cannot be shown: its address is not a hexadecimal number.";
inline const std::string kBeyond =
    "This item cannot be shown: its bytes lie beyond the end of the BIN file.";
inline const std::string kShape =
    "This item cannot be shown: its columns and rows must each be 1 to 501.";
inline std::string bytesNote(int bytes) {
  return "This value cannot be edited: it has " + std::to_string(bytes) +
         " bytes, and Trimlet edits values of 1 to 4 bytes.";
}

// clang-format off
inline const std::vector<HostileFile> kHostileFiles = {
    {"address-huge.ecu", 7, Severity::Warning, "beyond the end of the BIN file", {},
     {{"Flag beyond the image", kBeyond}, {"Value at the largest address", kBeyond},
      {"Array at a 19-digit address", kBeyond}, {"Map at the last record", kBeyond}}},
    {"address-not-hex.ecu", 7, Severity::Warning, "\"12G4\" is not a hexadecimal", {},
     {{"Flag at 12G4", kNotHex}, {"Value at 0x10", kNotHex}, {"Array without address", kNotHex},
      {"Map at -20", kNotHex}}},
    {"bytes.ecu", 7, Severity::Warning, "Bytes 0: Trimlet edits values of 1 to 4", {},
     {{"No bytes", bytesNote(0)}, {"Minus one byte", bytesNote(-1)}, {"Five bytes", bytesNote(5)},
      {"Three hundred bytes", bytesNote(300)}, {"Most bytes", bytesNote(32767)}}},
    {"cr-only.ecu", 0, Severity::Note, "", {}, {}},
    {"crlf.ecu", 0, Severity::Note, "", {}, {}},
    {"empty.ecu", 1, Severity::Error, "holds no item", {"Incorrect ECU Format"}, {}},
    {"fewer-items.ecu", 4, Severity::Error, "Items 3: the file holds only 2",
     {"ECU File Error", "Error in ECU File"}, {}},
    {"header-not-number.ecu", 4, Severity::Error, "Version \"two\" is not a number",
     {"ECU File Error"}, {}},
    {"kinds-other.ecu", 0, Severity::Note, "", {}, {}},
    {"missing-brace.ecu", 9, Severity::Error, "ends before a \"{\"", {"ECU File Error"}, {}},
    {"negative-count.ecu", 4, Severity::Error, "Items -3", {"Error in ECU File"}, {}},
    {"negative-sizes.ecu", 15, Severity::Error, "in no class: Cols -5", {"Error in ECU File"}, {}},
    {"no-class-cols-0.ecu", 15, Severity::Error, "in no class: Cols 0", {"Error in ECU File"}, {}},
    {"no-class-kind.ecu", 15, Severity::Error, "in no class: Kind 1", {"Error in ECU File"}, {}},
    {"no-class-rows-0.ecu", 15, Severity::Error, "in no class: Rows 0", {"Error in ECU File"}, {}},
    {"no-format-word.ecu", 1, Severity::Error, "\"ECU DEFINITIONS\" lacks",
     {"Incorrect ECU Format"}, {}},
    {"nul-byte.ecu", 0, Severity::Note, "", {}, {}},
    {"nul-only.ecu", 1, Severity::Error, "\"\\x00\" lacks the word FORMAT",
     {"Incorrect ECU Format"}, {}},
    {"numbers.ecu", 0, Severity::Note, "", {}, {}},
    {"past-end.ecu", 15, Severity::Warning, "shares 7FFF with item 1", {},
     {{"One byte past", kBeyond}, {"Eight cells one past", kBeyond}, {"Map one past", kBeyond}}},
    {"quoted.ecu", 8, Severity::Note, "Name ends at its first comma: \", trim\"", {}, {}},
    {"table-sizes.ecu", 15, Severity::Warning, "shares 0..1F3 with item 1", {},
     {{"Row of 502", kShape}, {"Column of 32767", kShape}, {"Map 60x502", kShape},
      {"Map 32767x32767", kShape}, {"Map 200x200", kBeyond}}},
    {"truncated-header.ecu", 6, Severity::Error, "before field 4 of 7 (Text 2)",
     {"ECU File Error"}, {}},
    {"two-classes.ecu", 15, Severity::Error, "in two classes", {"Error in ECU File"}, {}},
};
// clang-format on

}  // namespace trimlet::test
