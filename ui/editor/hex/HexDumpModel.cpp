#include "ui/editor/hex/HexDumpModel.h"

#include <algorithm>

#include "core/hex.h"
#include "core/image.h"

namespace trimlet {

namespace {
constexpr int kBytesPerRow = 16;
}

HexDumpModel::HexDumpModel(QObject* parent) : QAbstractTableModel(parent) {}

void HexDumpModel::fill(int rows) {
  rows = std::clamp(rows, 0, kBinCapacity / kBytesPerRow);
  std::vector<BIN_Record> snapshot(static_cast<size_t>(rows * kBytesPerRow));
  for (size_t i = 0; i < snapshot.size(); ++i) snapshot[i] = imageRecord(static_cast<int64_t>(i));
  if (rows < rows_) {
    beginRemoveRows({}, rows, rows_ - 1);
    records_ = std::move(snapshot);
    rows_ = rows;
    endRemoveRows();
  } else if (rows > rows_) {
    beginInsertRows({}, rows_, rows - 1);
    records_ = std::move(snapshot);
    rows_ = rows;
    endInsertRows();
  } else {
    records_ = std::move(snapshot);
  }
  filled_ = true;
  if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kBytesPerRow - 1), {Qt::DisplayRole});
    emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
  }
  emit headerDataChanged(Qt::Horizontal, 0, kBytesPerRow - 1);
}

int HexDumpModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int HexDumpModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kBytesPerRow;
}

QVariant HexDumpModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole || !filled_) return {};
  const size_t i = static_cast<size_t>(index.row() * kBytesPerRow + index.column());
  const std::string_view value = storedValue(records_[i]);
  return QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
}

QVariant HexDumpModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (!filled_) return QString();
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= kBytesPerRow) return {};
    return QString::number(section, 16).toUpper();
  }
  if (section < 0 || section >= rows_) return {};
  const auto& address = records_[static_cast<size_t>(section * kBytesPerRow)].Address;
  return QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size()));
}

}  // namespace trimlet
