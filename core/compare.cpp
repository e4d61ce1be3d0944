#include "core/compare.h"

#include <algorithm>

#include "core/file_read.h"
#include "core/image.h"
#include "core/text.h"

namespace trimlet {

ReferenceFile readReference(const std::string& path, size_t length) {
  FileBytes file = readFileBytes(path, length);
  if (file.problem == ReadProblem::Failed || file.problem == ReadProblem::NotRegular)
    return {{}, readFailure("BIN", path, file, length)};
  if (file.problem == ReadProblem::TooLarge || file.bytes.size() != length)
    return {{},
            "The file " + path + " holds " + withThousands(file.stamp.bytes) +
                " bytes and the image " + withThousands(static_cast<int64_t>(length)) +
                " bytes: a file to compare with must be as long as the image."};
  return {{file.bytes.begin(), file.bytes.end()}, {}};
}

std::optional<int> Comparison::referenceByte(int64_t index) const {
  if (index < 0 || index >= static_cast<int64_t>(reference_.size())) return std::nullopt;
  return reference_[static_cast<size_t>(index)];
}

bool Comparison::differs(int64_t index) const { return imageByte(index) != referenceByte(index); }

bool Comparison::differs(const RecordRange& range) const {
  if (range.problem != RangeProblem::None) return false;
  for (int i = range.first; i < range.first + range.count; ++i)
    if (differs(i)) return true;
  return false;
}

std::vector<int> Comparison::differences(const RecordRange& range) const {
  std::vector<int> records;
  if (range.problem != RangeProblem::None) return records;
  for (int r = range.first; r < range.first + range.count; ++r)
    if (differs(r)) records.push_back(r);
  return records;
}

Comparison::Report Comparison::report() const {
  const std::vector<uint8_t> image = imageBytes();
  const auto differsAt = [&](size_t r) {
    return r >= reference_.size() || image[r] != reference_[r];
  };
  std::vector<bool> inItem(image.size());
  Report report;
  for (int i = 1; i <= std::min<int>(ECU_Count, kMaxItems); ++i) {
    const RecordRange range = itemRecords(ECU_Items[static_cast<size_t>(i)]);
    if (range.problem != RangeProblem::None) continue;
    ItemDifference difference{i, {}};
    for (int r = range.first; r < range.first + range.count; ++r) {
      inItem[static_cast<size_t>(r)] = true;
      if (differsAt(static_cast<size_t>(r))) difference.records.push_back(r);
    }
    if (!difference.records.empty()) report.items.push_back(std::move(difference));
  }
  for (size_t r = 0; r < image.size(); ++r)
    if (!inItem[r] && differsAt(r)) report.outside.push_back(static_cast<int>(r));
  return report;
}

void Comparison::revert(const std::vector<int>& records) const {
  for (const int record : records)
    if (const auto byte = referenceByte(record)) writeImageByte(record, *byte);
}

}  // namespace trimlet
