// trimlet-check: reads an ECU file as Trimlet does and reports what each item is and where the
// file goes wrong, one line per problem in the form compilers use.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/ecu_check.h"
#include "core/hex.h"
#include "core/output_text.h"
#include "core/text.h"
#include "core/version.h"

namespace {

using namespace trimlet;

constexpr char kUsage[] = "usage: trimlet-check [--json] FILE.ecu [FILE.bin]\n";

constexpr char kHelp[] =
    "\n"
    "Reads an ECU definition file exactly as the Trimlet editor does and prints each problem\n"
    "as FILE:LINE:COLUMN: error|warning|note: MESSAGE, in file order, then a summary.\n"
    "Errors are what makes the editor show a message (\"Incorrect ECU Format\", \"ECU File\n"
    "Error\", \"Error in ECU File\", a refused BIN file), a checksum block that cannot be\n"
    "computed as written, and a checksum that is BAD; warnings are items or blocks the editor\n"
    "cannot use as written; notes are hints, and checksums that are OK. With a BIN file, items\n"
    "and checksum blocks are checked against its size and each checksum is computed over it;\n"
    "without one, they are checked against the largest image Trimlet holds.\n"
    "\n"
    "  --json     print the report, with every item, checksum block and field, as JSON\n"
    "  --help     print this help\n"
    "  --version  print the version\n"
    "\n"
    "Exit status: 0 when there is no error, 1 when there is one (the editor would show a\n"
    "message, a checksum block cannot be computed, or a checksum is BAD), 2 when the command\n"
    "line is wrong, a file cannot be read or the report cannot be written; 2 wins over 1.\n";

enum Exit { kOpens = 0, kShowsMessage = 1, kUsageError = 2 };

std::string json(std::string_view text) { return jsonString(text); }

std::string json(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (size_t i = 0; i < texts.size(); ++i) out += (i == 0 ? "" : ", ") + json(texts[i]);
  return out + "]";
}

std::string jsonOrNull(const std::string& text) { return text.empty() ? "null" : json(text); }

std::string jsonBool(bool value) { return value ? "true" : "false"; }

// "line": 4, "column": 1 — or nulls for a problem with a whole file.
std::string jsonPosition(const TextPosition& at) {
  return at.line == 0 ? "\"line\": null, \"column\": null"
                      : "\"line\": " + std::to_string(at.line) +
                            ", \"column\": " + std::to_string(at.column);
}

std::string jsonRange(const ByteRange& range) {
  return "{\"first\": \"" + numberToHex(range.first) + "\", \"last\": \"" +
         numberToHex(range.last) + "\"}";
}

std::string jsonRanges(const std::vector<ByteRange>& ranges) {
  std::string out = "[";
  for (size_t i = 0; i < ranges.size(); ++i) out += (i == 0 ? "" : ", ") + jsonRange(ranges[i]);
  return out + "]";
}

const std::string& fileOf(const Problem& problem, const std::string& ecu, const std::string& bin) {
  return problem.aboutBin ? bin : ecu;
}

std::string textReport(const EcuReport& report, const std::string& ecu, const std::string& bin) {
  std::string out;
  for (const Problem& p : report.problems) {
    std::string line = fileOf(p, ecu, bin);
    if (p.at.line > 0) line += ":" + std::to_string(p.at.line) + ":" + std::to_string(p.at.column);
    line += std::string(": ") + severityName(p.severity) + ": " + problemText(p);
    out += printable(line) + "\n";
  }
  return out + printable(summaryText(report)) + "\n";
}

std::string jsonBlock(const ChecksumBlock& block, const ChecksumValue* value) {
  std::string out = "    {\"name\": " + json(block.name) + ", " + jsonPosition(block.at) +
                    ", \"algorithm\": \"" + keywordOf(block.algorithm) +
                    "\", \"ranges\": " + jsonRanges(block.ranges) +
                    ", \"excluded\": " + jsonRanges(block.excluded) +
                    ", \"covered\": " + jsonRanges(block.covered) + ", \"store\": \"" +
                    numberToHex(block.store) + "\", \"size\": " + std::to_string(block.size) +
                    ", \"order\": \"" + keywordOf(block.order) + "\"";
  if (block.algorithm == ChecksumAlgorithm::Crc) {
    const CrcModel& crc = block.crc;
    out += ", \"width\": " + std::to_string(crc.width) + ", \"poly\": \"" + numberToHex(crc.poly) +
           "\", \"init\": \"" + numberToHex(crc.init) + "\", \"refIn\": " + jsonBool(crc.refIn) +
           ", \"refOut\": " + jsonBool(crc.refOut) + ", \"xorOut\": \"" + numberToHex(crc.xorOut) +
           "\"";
  } else {
    out += ", \"word\": " + std::to_string(block.word) + ", \"result\": \"" +
           keywordOf(block.form) + "\"";
  }
  out += ", \"fields\": [";
  for (size_t f = 0; f < block.fields.size(); ++f) {
    const BlockField& field = block.fields[f];
    out += std::string(f == 0 ? "" : ", ") + "{\"key\": " + json(field.key) + ", " +
           jsonPosition(field.at) + ", \"value\": " + json(field.value) + "}";
  }
  out += "], \"stored\": ";
  out += value == nullptr ? "null, \"computed\": null, \"ok\": null}"
                          : "\"" + checksumText(value->stored, block.size) +
                                "\", \"computed\": \"" + checksumText(value->computed, block.size) +
                                "\", \"ok\": " + jsonBool(value->ok()) + "}";
  return out;
}

std::string jsonReport(const CheckedFiles& check, const std::string& ecu, const std::string& bin) {
  const EcuReport& report = check.report;
  std::string out = "{\n  \"file\": " + json(ecu) + ",\n  \"bin\": " + jsonOrNull(bin) +
                    ",\n  \"error\": null,\n  \"problems\": [";
  for (size_t i = 0; i < report.problems.size(); ++i) {
    const Problem& p = report.problems[i];
    out += std::string(i == 0 ? "\n" : ",\n") + "    {\"file\": " + json(fileOf(p, ecu, bin)) +
           ", " + jsonPosition(p.at) + ", \"severity\": \"" + severityName(p.severity) +
           "\", \"item\": " + (p.item < 0 ? "null" : std::to_string(p.item)) +
           ", \"checksums\": " + jsonBool(p.aboutChecksums) + ", \"message\": " + json(p.message) +
           ", \"shows\": " + json(p.shows) + "}";
  }
  out += std::string(report.problems.empty() ? "" : "\n  ") + "],\n  \"items\": [";
  for (size_t i = 0; i < report.items.size(); ++i) {
    const CheckedItem& item = report.items[i];
    out += std::string(i == 0 ? "\n" : ",\n") + "    {\"item\": " + std::to_string(item.number) +
           ", " + jsonPosition(item.at);
    if (item.number > 0) {
      out += ", \"name\": " + json(item.name()) + ", \"class\": \"" + className(item.itemClass) +
             "\", \"classNote\": " + json(item.classNote) +
             ", \"range\": " + (item.range ? jsonRange(*item.range) : std::string("null"));
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
  const ChecksumSection& section = report.checksums;
  out += "\n  ],\n  \"checksums\": {" + jsonPosition(section.at.value_or(TextPosition{0, 0})) +
         ", \"blocks\": [";
  for (size_t i = 0; i < section.blocks.size(); ++i) {
    const bool computed = i < check.checksumValues.size();
    out += std::string(i == 0 ? "\n" : ",\n") +
           jsonBlock(section.blocks[i], computed ? &check.checksumValues[i] : nullptr);
  }
  out += std::string(section.blocks.empty() ? "" : "\n  ") +
         "]},\n  \"errors\": " + std::to_string(report.count(Severity::Error)) +
         ",\n  \"warnings\": " + std::to_string(report.count(Severity::Warning)) +
         ",\n  \"notes\": " + std::to_string(report.count(Severity::Note)) +
         ",\n  \"shows\": " + json(report.shows) +
         ",\n  \"summary\": " + json(summaryText(report)) + "\n}\n";
  return out;
}

// What the run says: the report (or JSON) for the standard output, messages for the error
// output, and its status.
struct Outcome {
  std::string out;
  std::string err;
  int status = kOpens;
};

// A failure that ends the run with status 2: its message, and under --json an object that
// names it.
Outcome failure(const std::string& why, bool asJson, const std::string& ecu, const std::string& bin,
                bool usage) {
  Outcome outcome{
      {}, printable("trimlet-check: " + why) + "\n" + (usage ? kUsage : ""), kUsageError};
  if (asJson)
    outcome.out = "{\n  \"file\": " + jsonOrNull(ecu) + ",\n  \"bin\": " + jsonOrNull(bin) +
                  ",\n  \"error\": " + json(why) + "\n}\n";
  return outcome;
}

Outcome run(int argc, char* argv[]) {
  bool asJson = false;
  bool optionsEnd = false;
  std::string unknown;
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
      return {std::string(kUsage) + kHelp, {}, kOpens};
    } else if (arg == "--version") {
      return {"trimlet-check, Trimlet Version " + programVersion() + "\n", {}, kOpens};
    } else if (unknown.empty()) {
      unknown = arg;
    }
  }
  const std::string ecu = files.empty() ? std::string() : files[0];
  const std::string bin = files.size() > 1 ? files[1] : std::string();
  if (!unknown.empty()) return failure("unknown option " + unknown, asJson, ecu, bin, true);
  if (files.empty() || files.size() > 2)
    return failure("name an ECU file and at most a BIN file", asJson, ecu, bin, true);

  const CheckedFiles check = checkFiles(ecu, bin);
  for (const std::string& why : {check.ecuFailure, check.binFailure})
    if (!why.empty()) return failure(why, asJson, ecu, bin, false);
  const int found = check.report.count(Severity::Error) > 0 ? kShowsMessage : kOpens;
  return {asJson ? jsonReport(check, ecu, bin) : textReport(check.report, ecu, bin), {}, found};
}

}  // namespace

int main(int argc, char* argv[]) {
  // A reader that goes away must not end the program unseen: the write fails with EPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  Outcome outcome = run(argc, argv);
  if (!outcome.err.empty() && writeAll(STDERR_FILENO, outcome.err) != 0)
    outcome.status = kUsageError;
  if (const int error = writeAll(STDOUT_FILENO, outcome.out); error != 0) {
    (void)writeAll(STDERR_FILENO, std::string("trimlet-check: the report cannot be written: ") +
                                      std::strerror(error) + "\n");
    return kUsageError;
  }
  return outcome.status;
}
