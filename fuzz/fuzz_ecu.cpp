// Feeds arbitrary text to the ECU reader, then sorts and resolves whatever items it stored.
#include <cstddef>
#include <cstdint>

#include "core/conversion.h"
#include "core/ecu_file.h"
#include "core/state.h"
#include "fuzz/FuzzFile.h"

using namespace trimlet;

namespace {

// Records an item covers: its bytes for a flag or single value, every cell for a table.
int64_t extent(const ECU_Item& item) {
  if (isFlagByte(item)) return 1;
  if (isSingleValue(item)) return item.Bytes;
  return static_cast<int64_t>(item.Cols) * item.Rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFile file("input.ecu");
  ECU_Path = file.write(data, size);
  // Items are resolved against a full-size image, so every address up to the last record counts.
  BIN_FileBytes = kBinCapacity;

  const ParseResult result = Parse_ECU();
  if (result.outcome != ParseOutcome::Ok && result.message.empty()) __builtin_trap();

  const int count = ECU_Count < kMaxItems ? ECU_Count : kMaxItems;
  for (int i = 1; i <= count; ++i) {
    const ECU_Item& item = ECU_Items[i];
    const int classes = isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item);
    if (classes > 2) __builtin_trap();
    const RecordRange range = resolveRecords(item.Address, extent(item));
    if (range.problem == RangeProblem::None &&
        (range.first < 0 || range.first + extent(item) > kBinCapacity))
      __builtin_trap();
    (void)formatCalculated(255, item.Operation, item.Factor, item.Offset);
  }
  return 0;
}
