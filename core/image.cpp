#include "core/image.h"

#include <algorithm>
#include <utility>

#include "core/hex.h"

namespace trimlet {

namespace {

int g_depth = 0;
ImageChange g_pending;
std::vector<std::pair<int, ImageListener>> g_listeners;
int g_lastListener = 0;

void announce(const ImageChange& change) {
  // A listener may subscribe or let go while others are told: those of this moment that are
  // still there are told.
  const auto listeners = g_listeners;
  for (const auto& [id, listener] : listeners)
    if (std::any_of(g_listeners.begin(), g_listeners.end(),
                    [id = id](const auto& current) { return current.first == id; }))
      listener(change);
}

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
  if (!change.records.empty()) announce(change);
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

bool ImageChange::touches(int first, int count) const {
  if (kind == ChangeKind::Load) return true;
  const auto from =
      std::lower_bound(records.begin(), records.end(), first,
                       [](const RecordChange& record, int index) { return record.index < index; });
  return from != records.end() && from->index < first + count;
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
  return old != (value & 0xFF);
}

void putRecords(const ImageChange& change, bool after) {
  for (const RecordChange& record : change.records)
    if (recordsInFile(record.index, 1))
      BIN_Data[static_cast<size_t>(record.index)].Value = after ? record.after : record.before;
  ImageChange put = change;
  put.kind = after ? ChangeKind::Redo : ChangeKind::Undo;
  announce(put);
}

void announceLoad() {
  ImageChange load;
  load.what = "Load";
  load.kind = ChangeKind::Load;
  announce(load);
}

ImageAction::ImageAction(std::string what) {
  if (g_depth++ == 0) g_pending.what = std::move(what);
}

ImageAction::~ImageAction() {
  if (--g_depth == 0) finish();
}

void ImageAction::rename(std::string what) { g_pending.what = std::move(what); }

ImageSubscription::ImageSubscription(ImageListener listener) : id_(++g_lastListener) {
  g_listeners.emplace_back(id_, std::move(listener));
}

ImageSubscription::~ImageSubscription() {
  std::erase_if(g_listeners, [this](const auto& listener) { return listener.first == id_; });
}

ImageSubscription::ImageSubscription(ImageSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

ImageSubscription& ImageSubscription::operator=(ImageSubscription&& other) noexcept {
  if (this != &other) {
    std::erase_if(g_listeners, [this](const auto& listener) { return listener.first == id_; });
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

}  // namespace trimlet
