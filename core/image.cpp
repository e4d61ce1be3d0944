#include "core/image.h"

#include <algorithm>
#include <utility>

#include "core/hex.h"

namespace trimlet {

namespace {

int g_depth = 0;
ImageChange g_pending;
ImageListener g_listener;
const void* g_owner = nullptr;

// Sorts the writes by record and keeps, for a record written more than once, its first text
// before and its last text after; records that end as they began are dropped.
void settle(std::vector<RecordChange>& records) {
  const auto byIndex = [](const RecordChange& a, const RecordChange& b) {
    return a.index < b.index;
  };
  // Tables are written row after row, so the writes mostly come in order already.
  if (!std::is_sorted(records.begin(), records.end(), byIndex))
    std::stable_sort(records.begin(), records.end(), byIndex);
  size_t kept = 0;
  for (size_t i = 0; i < records.size();) {
    RecordChange merged = records[i];
    for (++i; i < records.size() && records[i].index == merged.index; ++i)
      merged.after = records[i].after;
    if (merged.before != merged.after) records[kept++] = merged;
  }
  records.resize(kept);
}

void finish() {
  ImageChange change = std::exchange(g_pending, {});
  settle(change.records);
  if (!change.records.empty() && g_listener) g_listener(change);
}

}  // namespace

bool ImageChange::changesBytes() const {
  return std::any_of(records.begin(), records.end(), [](const RecordChange& r) {
    BIN_Record before, after;
    before.Value = r.before;
    after.Value = r.after;
    return recordByte(before) != recordByte(after);
  });
}

std::optional<int> imageByte(int64_t index) {
  if (index < 0 || index >= kBinCapacity) return std::nullopt;
  return recordByte(BIN_Data[static_cast<size_t>(index)]);
}

std::vector<uint8_t> imageBytes() {
  std::vector<uint8_t> bytes(static_cast<size_t>(BIN_FileBytes));
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(recordByte(BIN_Data[i]).value_or(0));
  return bytes;
}

const BIN_Record& imageRecord(int64_t index) {
  static const BIN_Record kNone{};
  if (index < 0 || index >= kBinCapacity) return kNone;
  return BIN_Data[static_cast<size_t>(index)];
}

bool writeImageByte(int64_t index, int value) {
  if (!recordsInFile(index, 1)) return false;
  BIN_Record& record = BIN_Data[static_cast<size_t>(index)];
  const std::optional<int> old = recordByte(record);
  const std::array<char, 2> before = record.Value;
  setEditedByte(record, value);
  if (record.Value != before) {
    g_pending.records.push_back({static_cast<int>(index), before, record.Value});
    if (g_depth == 0) finish();
  }
  return old != recordByte(record);
}

void putRecords(const ImageChange& change, bool after) {
  for (const RecordChange& record : change.records)
    if (recordsInFile(record.index, 1))
      BIN_Data[static_cast<size_t>(record.index)].Value = after ? record.after : record.before;
}

ImageAction::ImageAction(std::string what) {
  if (g_depth++ == 0) g_pending.what = std::move(what);
}

ImageAction::~ImageAction() {
  if (--g_depth == 0) finish();
}

void ImageAction::rename(std::string what) { g_pending.what = std::move(what); }

void setImageListener(ImageListener listener, const void* owner) {
  g_listener = std::move(listener);
  g_owner = owner;
}

void clearImageListener(const void* owner) {
  if (owner != g_owner) return;
  g_listener = {};
  g_owner = nullptr;
}

}  // namespace trimlet
