// Feeds arbitrary text to the ECU reader, then sorts whatever items it stored into their
// classes and resolves each the way its panel does, against files of several sizes: an item
// the panels accept must lie wholly inside the file, whatever the text said. The check of the
// same text must end as the parse did and report errors of the items exactly when the editor
// shows a message; the checksum blocks it accepts must lie inside the image.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bin_file.h"
#include "core/conversion.h"
#include "core/ecu_check.h"
#include "core/ecu_file.h"
#include "core/hex.h"
#include "core/state.h"
#include "core/table.h"
#include "fuzz/FuzzFile.h"

using namespace trimlet;

namespace {

// Reads a record a panel would read; it must be a byte of the file.
void readRecord(int64_t index) {
  if (index < 0 || index >= BIN_FileBytes || index >= kBinCapacity) __builtin_trap();
  (void)recordByte(BIN_Data[static_cast<size_t>(index)]);
}

// The Flags and Values panels: one byte, or 1 to 4 bytes most significant first.
void checkSingle(const ECU_Item& item) {
  const int64_t bytes = isFlagByte(item) ? 1 : item.Bytes;
  if (bytes < 1 || bytes > 4) return;  // the Values panel refuses these before resolving
  const RecordRange range = resolveRecords(item.Address, bytes);
  if (range.problem != RangeProblem::None) return;
  for (int64_t k = 0; k < bytes; ++k) readRecord(range.first + k);
}

// The Arrays and 3D Maps panels: every cell, row by row, through the same check they use.
void checkTable(const ECU_Item& item) {
  const TableResolution table = resolveTable(item);
  if (table.problem != RangeProblem::None) return;
  if (item.Cols < 1 || item.Rows < 1 || item.Cols > kMaxTableCells || item.Rows > kMaxTableCells)
    __builtin_trap();
  for (int r = 0; r < item.Rows; ++r)
    for (int c = 0; c < item.Cols; ++c) readRecord(table.place.record(c, r));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFile file("input.ecu");
  ECU_Path = file.write(data, size);

  const ParseResult result = Parse_ECU();
  if (result.outcome != ParseOutcome::Ok && result.message.empty()) __builtin_trap();
  const int stored = std::clamp<int>(ECU_Count, 0, kMaxItems);
  int listed = 0;  // the harness's own count of the items in the four lists
  for (int i = 1; i <= stored; ++i) {
    const ECU_Item& item = ECU_Items[i];
    listed += isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item);
    // Whatever the factors, a shown value is short: values from 1e15 on show nothing, so a sign,
    // at most 16 digits (rounding may carry), the point and two decimals.
    for (const double raw : {0.0, 255.0, 4294967295.0})
      if (formatCalculated(raw, item.Operation, item.Factor, item.Offset).size() > 20)
        __builtin_trap();
    // An empty file, a small one with a partial last block, and the largest the image holds.
    for (const int64_t fileBytes : {int64_t{0}, int64_t{1000}, int64_t{kMaxBinFileBytes}}) {
      BIN_FileBytes = fileBytes;
      if (isFlagByte(item) || isSingleValue(item)) checkSingle(item);
      if (isArray(item) || isMap(item)) checkTable(item);
    }
  }
  const EcuReport report =
      checkEcu(std::string_view(reinterpret_cast<const char*>(data), size), int64_t{1000});
  // The checksum section's errors show nothing on opening: the items are not touched.
  const auto itemErrors = std::count_if(
      report.problems.begin(), report.problems.end(),
      [](const Problem& p) { return p.severity == Severity::Error && !p.aboutChecksums; });
  if ((itemErrors > 0) == report.shows.empty()) __builtin_trap();
  // Every checksum block the section lets through lies inside the image it was checked against,
  // and computing and correcting them stays inside it.
  std::vector<uint8_t> image(1000);
  for (const ChecksumBlock& block : report.checksums.blocks) {
    if (block.result().last >= image.size()) __builtin_trap();
    for (const ByteRange& run : block.covered)
      if (run.first > run.last || run.last >= image.size()) __builtin_trap();
  }
  (void)checkChecksums(report.checksums.blocks, image);
  (void)correctChecksums(report.checksums.blocks, image);
  if (result.outcome != ParseOutcome::Ok && report.shows.front() != result.message)
    __builtin_trap();
  // "Error in ECU File" exactly when the four lists do not add up to the declared count.
  const bool endsTheEditor = result.outcome != ParseOutcome::Rejected && listed != ECU_Count;
  if (endsTheEditor != (!report.shows.empty() && report.shows.back() == kErrorInEcuFile))
    __builtin_trap();
  // The header first, then the items the read reached: every one the parse stored when it read
  // the file whole.
  const auto reported = static_cast<int64_t>(report.items.size()) - 1;
  if (reported > stored || (result.outcome == ParseOutcome::Ok && reported != stored))
    __builtin_trap();
  for (size_t i = 1; i < report.items.size(); ++i)
    if (ECU_Items[i].Name != report.items[i].name()) __builtin_trap();
  return 0;
}
