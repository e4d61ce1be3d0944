// Checking an ECU file: what the program makes of the header and of each item, where each item
// lies in the image, and what is wrong, with the line and column of the field concerned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/checksum_section.h"
#include "core/ecu_file.h"
#include "core/hex.h"

namespace trimlet {

enum class ItemClass { None, FlagByte, Value, Array, Map, FlagByteAndMap };

// A field as the read took it.
struct CheckedField {
  const char* name = "";  // the field its place stands for ("Cols", "Items")
  TextPosition at;
  std::string key;  // the text before "=", blanks around removed (all of it without "=")
  std::string value;
};

struct CheckedItem {
  int number = 0;                    // 0: the header
  TextPosition at;                   // its "{"
  std::vector<CheckedField> fields;  // those the read took, in order
  ItemClass itemClass = ItemClass::None;
  std::string classNote;           // why the item is in no class, or in two
  std::optional<ByteRange> range;  // where its bytes lie, when its address is a number

  [[nodiscard]] std::string name() const;
};

struct Problem {
  Severity severity = Severity::Error;
  TextPosition at;  // line 0: the file as a whole
  int item = -1;    // -1: no item; 0: the header; 1 on: an item
  std::string message;
  std::vector<std::string> shows;  // an error's messages in the editor, in the order shown
  bool aboutBin = false;           // about the BIN file rather than the ECU file
  bool aboutChecksums = false;     // about the checksum section rather than the items
};

struct EcuReport {
  std::vector<CheckedItem> items;  // the header first, then the items the read reached
  std::vector<Problem> problems;   // in file order, the checksum section's among them
  std::vector<std::string> shows;  // the editor's messages on opening; empty when it opens
  ChecksumSection checksums;

  [[nodiscard]] int count(Severity severity) const;
};

// Checks ECU text as Parse_ECU reads it, against a BIN file of `binBytes` bytes when one is
// given and against the largest image Trimlet holds otherwise.
[[nodiscard]] EcuReport checkEcu(std::string_view text, std::optional<int64_t> binBytes);

// The ECU file, and the BIN file when one is named, read and checked.
struct CheckedFiles {
  std::string ecuFailure;  // why the ECU file cannot be read: nothing is checked then
  std::string binFailure;  // why the named BIN file cannot be read: checked without it
  std::string text;        // the ECU file as read
  EcuReport report;
  // Each checksum block's values over the BIN file, in the order of report.checksums.blocks;
  // empty when there is no BIN file or the section has an error.
  std::vector<ChecksumValue> checksumValues;
};

// Reads and checks the files as the main window and the editor would open them (an empty
// `binPath` names no BIN file). With a BIN file, each checksum block is computed over it and
// reported: OK as a note, BAD as an error.
[[nodiscard]] CheckedFiles checkFiles(const std::string& ecuPath, const std::string& binPath);

// "error", "warning", "note".
[[nodiscard]] const char* severityName(Severity severity);
// "flag byte", "value", "array", "map", "none", "flag byte and map".
[[nodiscard]] const char* className(ItemClass itemClass);
// The message with what the editor shows because of it.
[[nodiscard]] std::string problemText(const Problem& problem);
// "2 errors, 1 warning", then what the editor shows, if anything.
[[nodiscard]] std::string summaryText(const EcuReport& report);

}  // namespace trimlet
