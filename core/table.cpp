#include "core/table.h"

#include <algorithm>

#include "core/image.h"
#include "core/text.h"

namespace trimlet {

TableResolution resolveTable(const ECU_Item& item) {
  const RecordRange range = tableRecords(item);
  if (range.problem != RangeProblem::None) return {range.problem, {}};
  return {RangeProblem::None, {range.first, item.Cols, item.Rows}};
}

void readTable(const TablePlace& place, PointTable& values) {
  for (int r = 0; r < place.rows; ++r)
    for (int c = 0; c < place.cols; ++c)
      values[static_cast<size_t>(c)][static_cast<size_t>(r)] =
          imageByte(place.record(c, r)).value_or(0);
}

int stepCells(PointTable& values, const TablePlace& place, const std::vector<CellBlock>& blocks,
              int step) {
  int changed = 0;
  for (int c = 0; c < place.cols; ++c) {
    for (int r = 0; r < place.rows; ++r) {
      const bool selected = std::any_of(blocks.begin(), blocks.end(), [&](const CellBlock& block) {
        return block.contains(c, r);
      });
      if (!selected) continue;
      double& value = values[static_cast<size_t>(c)][static_cast<size_t>(r)];
      const double stepped = std::clamp(value + step, 0.0, 255.0);
      changed += stepped != value;
      value = stepped;
    }
  }
  return changed;
}

void writeTable(const TablePlace& place, const PointTable& values) {
  writeTable(place, values, {0, place.cols - 1, 0, place.rows - 1});
}

void writeTable(const TablePlace& place, const PointTable& values, const CellBlock& block) {
  for (int r = block.firstRow; r <= block.lastRow; ++r)
    for (int c = block.firstCol; c <= block.lastCol; ++c)
      writeImageByte(place.record(c, r),
                     static_cast<int>(values[static_cast<size_t>(c)][static_cast<size_t>(r)]));
}

std::string_view columnCaption(const ECU_Item& item, int c) {
  return characters(item.Xaxis, static_cast<size_t>(c) * 3, 3);
}

std::string_view rowCaption(const ECU_Item& item, int r) {
  return characters(item.Yaxis, static_cast<size_t>(r) * 5, 5);
}

}  // namespace trimlet
