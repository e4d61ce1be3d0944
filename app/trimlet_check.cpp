// trimlet-check: reads an ECU file as Trimlet does and reports what each item is and where the
// file goes wrong, one line per problem in the form compilers use.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/ecu_check.h"
#include "core/hex.h"
#include "core/version.h"

namespace {

using namespace trimlet;

constexpr char kUsage[] = "usage: trimlet-check [--json] FILE.ecu [FILE.bin]\n";

constexpr char kHelp[] =
    "\n"
    "Reads an ECU definition file exactly as the Trimlet editor does and prints each problem\n"
    "as FILE:LINE:COLUMN: error|warning|note: MESSAGE, in file order, then a summary.\n"
    "Errors are what makes the editor show a message (\"Incorrect ECU Format\", \"ECU File\n"
    "Error\", \"Error in ECU File\", a refused BIN file); warnings are items the editor cannot\n"
    "use as written; notes are hints. With a BIN file, items are checked against its size;\n"
    "without one, against the largest image Trimlet holds.\n"
    "\n"
    "  --json     print the report, with every item and field, as JSON\n"
    "  --help     print this help\n"
    "  --version  print the version\n"
    "\n"
    "Exit status: 0 when the editor would open the files without an error message, 1 when it\n"
    "would show one, 2 when the command line is wrong or a file cannot be read.\n";

enum Exit { kOpens = 0, kShowsMessage = 1, kUsageError = 2 };

// Length of the well-formed UTF-8 character at text[i]; 0 when none starts there.
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

// A JSON string: the file may hold any byte, so control characters are escaped and bytes that
// are not UTF-8 become U+FFFD.
std::string json(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
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
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const size_t length = utf8Length(text, i); length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    } else {
      out += "\\ufffd";
    }
    ++i;
  }
  return out + "\"";
}

std::string json(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (size_t i = 0; i < texts.size(); ++i) out += (i == 0 ? "" : ", ") + json(texts[i]);
  return out + "]";
}

// "line": 4, "column": 1 — or nulls for a problem with a whole file.
std::string jsonPosition(const TextPosition& at) {
  return at.line == 0 ? "\"line\": null, \"column\": null"
                      : "\"line\": " + std::to_string(at.line) +
                            ", \"column\": " + std::to_string(at.column);
}

const std::string& fileOf(const Problem& problem, const std::string& ecu, const std::string& bin) {
  return problem.aboutBin ? bin : ecu;
}

void printText(const EcuReport& report, const std::string& ecu, const std::string& bin) {
  for (const Problem& p : report.problems) {
    std::cout << fileOf(p, ecu, bin);
    if (p.at.line > 0) std::cout << ':' << p.at.line << ':' << p.at.column;
    std::cout << ": " << severityName(p.severity) << ": " << problemText(p) << '\n';
  }
  std::cout << summaryText(report) << '\n';
}

void printJson(const EcuReport& report, const std::string& ecu, const std::string& bin) {
  std::string out = "{\n  \"file\": " + json(ecu) +
                    ",\n  \"bin\": " + (bin.empty() ? std::string("null") : json(bin)) +
                    ",\n  \"problems\": [";
  for (size_t i = 0; i < report.problems.size(); ++i) {
    const Problem& p = report.problems[i];
    out += std::string(i == 0 ? "\n" : ",\n") + "    {\"file\": " + json(fileOf(p, ecu, bin)) +
           ", " + jsonPosition(p.at) + ", \"severity\": \"" + severityName(p.severity) +
           "\", \"item\": " + (p.item < 0 ? "null" : std::to_string(p.item)) +
           ", \"message\": " + json(p.message) + ", \"shows\": " + json(p.shows) + "}";
  }
  out += std::string(report.problems.empty() ? "" : "\n  ") + "],\n  \"items\": [";
  for (size_t i = 0; i < report.items.size(); ++i) {
    const CheckedItem& item = report.items[i];
    out += std::string(i == 0 ? "\n" : ",\n") + "    {\"item\": " + std::to_string(item.number) +
           ", " + jsonPosition(item.at);
    if (item.number > 0) {
      out += ", \"name\": " + json(item.name()) + ", \"class\": \"" + className(item.itemClass) +
             "\", \"classNote\": " + json(item.classNote) + ", \"range\": " +
             (item.range ? "{\"first\": \"" + numberToHex(item.range->first) + "\", \"last\": \"" +
                               numberToHex(item.range->last) + "\"}"
                         : std::string("null"));
    }
    out += ", \"fields\": [";
    for (size_t f = 0; f < item.fields.size(); ++f) {
      const CheckedField& field = item.fields[f];
      out += std::string(f == 0 ? "" : ", ") + "{\"field\": \"" + field.name + "\", " +
             jsonPosition(field.at) + ", \"key\": " + json(field.key) +
             ", \"value\": " + json(field.value) + "}";
    }
    out += "]}";
  }
  out += "\n  ],\n  \"errors\": " + std::to_string(report.count(Severity::Error)) +
         ",\n  \"warnings\": " + std::to_string(report.count(Severity::Warning)) +
         ",\n  \"notes\": " + std::to_string(report.count(Severity::Note)) +
         ",\n  \"shows\": " + json(report.shows) +
         ",\n  \"summary\": " + json(summaryText(report)) + "\n}\n";
  std::cout << out;
}

int usageError(const std::string& why) {
  std::cerr << "trimlet-check: " << why << '\n' << kUsage;
  return kUsageError;
}

}  // namespace

int main(int argc, char* argv[]) {
  bool asJson = false;
  bool optionsEnd = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      files.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--json") {
      asJson = true;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage << kHelp;
      return kOpens;
    } else if (arg == "--version") {
      std::cout << "trimlet-check, Trimlet Version " << programVersion() << '\n';
      return kOpens;
    } else {
      return usageError("unknown option " + arg);
    }
  }
  if (files.empty() || files.size() > 2)
    return usageError("name an ECU file and at most a BIN file");

  const std::string& ecu = files[0];
  const std::string bin = files.size() > 1 ? files[1] : std::string();
  const CheckedFiles check = checkFiles(ecu, bin);
  for (const std::string& failure : {check.ecuFailure, check.binFailure})
    if (!failure.empty()) std::cerr << "trimlet-check: " << failure << '\n';
  if (!check.ecuFailure.empty() || !check.binFailure.empty()) return kUsageError;

  if (asJson)
    printJson(check.report, ecu, bin);
  else
    printText(check.report, ecu, bin);
  return check.report.shows.empty() ? kOpens : kShowsMessage;
}
