// Checking an ECU file: what the program makes of the header and of each item, where each item
// lies in the image, and what is wrong, with the line and column of the field concerned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ecu_file.h"

namespace trimlet {

// error: the editor shows a message because of it; warning: the editor opens, but the item
// cannot be used as written; note: a hint at what may be meant.
enum class Severity { Error, Warning, Note };

enum class ItemClass { None, FlagByte, Value, Array, Map, FlagByteAndMap };

// A field as the read took it.
struct CheckedField {
  const char* name = "";  // the field its place stands for ("Cols", "Items")
  TextPosition at;
  std::string key;  // the text before "=", blanks around removed (all of it without "=")
  std::string value;
};

// A run of bytes in the image.
struct ByteRange {
  uint64_t first = 0;
  uint64_t last = 0;
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
};

struct EcuReport {
  std::vector<CheckedItem> items;  // the header first, then the items the read reached
  std::vector<Problem> problems;   // in file order
  std::vector<std::string> shows;  // the editor's messages on opening; empty when it opens

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
};

// Reads and checks the files as the main window and the editor would open them (an empty
// `binPath` names no BIN file).
[[nodiscard]] CheckedFiles checkFiles(const std::string& ecuPath, const std::string& binPath);

// "error", "warning", "note".
[[nodiscard]] const char* severityName(Severity severity);
// "flag byte", "value", "array", "map", "none", "flag byte and map".
[[nodiscard]] const char* className(ItemClass itemClass);
// "4000" for one byte, "4000..400F" for more, in hexadecimal.
[[nodiscard]] std::string rangeText(const ByteRange& range);
// The message with what the editor shows because of it.
[[nodiscard]] std::string problemText(const Problem& problem);
// "2 errors, 1 warning", then what the editor shows, if anything.
[[nodiscard]] std::string summaryText(const EcuReport& report);

}  // namespace trimlet
