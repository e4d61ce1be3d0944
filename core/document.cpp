#include "core/document.h"

#include <algorithm>
#include <utility>

#include "core/bin_file.h"
#include "core/ecu_check.h"
#include "core/ecu_file.h"
#include "core/file_read.h"
#include "core/text.h"

namespace trimlet {

Document::Document(std::string binPath, std::string ecuPath)
    : binPath_(std::move(binPath)),
      ecuPath_(std::move(ecuPath)),
      recording_([this](const ImageChange& change) {
        if (change.kind == ChangeKind::Action && change.changesBytes()) history_.record(change);
      }) {}

Opening Document::open() {
  BIN_Path = binPath_;
  ECU_Path = ecuPath_;
  const FileResult loaded = Load_BIN();
  const ParseResult parsed = loaded.ok ? Parse_ECU() : ParseResult{};
  if (!loaded.ok) return {false, {{loaded.message, true, {}}}};
  if (parsed.outcome == ParseOutcome::Rejected)
    return {false, {{parsed.message, true, ecuProblemDetails(ecuPath_, parsed.message)}}};
  Opening opening{true, {}};
  if (parsed.outcome == ParseOutcome::ItemError)
    opening.notices.push_back({parsed.message, false, ecuProblemDetails(ecuPath_, kEcuFileError)});
  ranges_.assign(static_cast<size_t>(itemCount()) + 1, {RangeProblem::NotHexadecimal});
  for (int i = 1; i <= itemCount(); ++i) ranges_[static_cast<size_t>(i)] = itemRecords(item(i));
  opened_ = imageBytes();
  reference_.setReference(opened_);
  return opening;
}

std::vector<Notice> Document::readChecksums() {
  const FileBytes ecu = readFileBytes(ecuPath_, kMaxTextFileBytes);
  checksums_ = ecu.problem == ReadProblem::None ? readChecksumSection(ecu.bytes, BIN_FileBytes)
                                                : ChecksumSection{};
  if (checksums_.usable()) return {};
  std::vector<std::string> errors;
  for (const ChecksumFinding& finding : checksums_.findings)
    if (finding.severity == Severity::Error)
      errors.push_back("Line " + std::to_string(finding.at.line) + ", column " +
                       std::to_string(finding.at.column) + ": " + finding.message + ".");
  std::string details;
  for (const std::string& error : errors) details += error + "\n";
  return {{"The checksum section of the ECU file " + ecuPath_ + " has " +
               counted(static_cast<int64_t>(errors.size()), "error") +
               ", so Trimlet neither checks nor corrects its checksums; the items work as usual. " +
               errors.front(),
           false, details}};
}

std::string Document::badChecksums(std::span<const uint8_t> bytes) const {
  if (!checksums_.usable()) return {};
  const std::vector<ChecksumValue> values = checkChecksums(checksums_.blocks, bytes);
  std::string said;
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].ok()) continue;
    const ChecksumBlock& block = checksums_.blocks[i];
    if (!said.empty()) said += ' ';
    said +=
        "The checksum " + inQuotes(block.name) + " of " + binPath_ +
        (values[i].fits ? " is BAD (stored " + checksumText(values[i].stored, block.size) +
                              ", computed " + checksumText(values[i].computed, block.size) + ")."
                        : " cannot be computed: the file is shorter than the block.");
  }
  return said;
}

int Document::declaredItems() const { return ECU_Count; }

int Document::itemCount() const { return std::clamp<int>(ECU_Count, 0, kMaxItems); }

const ECU_Item& Document::item(int number) const {
  return ECU_Items[static_cast<size_t>(std::clamp(number, 0, kMaxItems))];
}

const RecordRange& Document::itemRange(int number) const {
  static const RecordRange kNone{RangeProblem::NotHexadecimal};
  return number > 0 && static_cast<size_t>(number) < ranges_.size()
             ? ranges_[static_cast<size_t>(number)]
             : kNone;
}

double Document::recordCount() const { return BIN_Size; }

int64_t Document::fileBytes() const { return BIN_FileBytes; }

std::string ecuProblemDetails(const std::string& ecuPath, const std::string& message) {
  // The parse keeps no positions; a check of the same file finds them by the same read.
  const CheckedFiles check = checkFiles(ecuPath, std::string());
  const auto& problems = check.report.problems;
  const auto found = std::find_if(problems.begin(), problems.end(), [&](const Problem& p) {
    return std::find(p.shows.begin(), p.shows.end(), message) != p.shows.end();
  });
  if (found == problems.end() || found->at.line == 0) return {};
  return "Line " + std::to_string(found->at.line) + ", column " + std::to_string(found->at.column) +
         ": " + found->message +
         ".\n\nChoose \"Check ECU file…\" in the menu of the main window's ECU file box to see "
         "every problem of the file.";
}

}  // namespace trimlet
