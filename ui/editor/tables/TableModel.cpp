#include "ui/editor/tables/TableModel.h"

#include <QBrush>
#include <QColor>

#include "core/compare.h"
#include "core/image.h"

namespace trimlet {

namespace {

// A calm scale from blue (0) to red (255), light enough that dark text stays readable.
const std::array<QBrush, 256>& heatBrushes() {
  static const std::array<QBrush, 256> brushes = [] {
    std::array<QBrush, 256> result;
    for (int raw = 0; raw < 256; ++raw) {
      const int hue = 220 - raw * 220 / 255;
      result[static_cast<size_t>(raw)] = QBrush(QColor::fromHsv(hue, 80, 250));
    }
    return result;
  }();
  return brushes;
}

}  // namespace

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableModel::setShape(int rows, int cols, const QStringList& rowCaptions,
                          const QStringList& colCaptions) {
  beginResetModel();
  rows_ = rows;
  cols_ = cols;
  filled_ = false;
  rowCaptions_ = rowCaptions;
  colCaptions_ = colCaptions;
  endResetModel();
}

void TableModel::fill(const CellTexts& texts, const Source& source) {
  texts_ = texts;
  source_ = source;
  filled_ = true;
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

std::optional<int> TableModel::record(int row, int col) const {
  const TablePlace& place = source_.place;
  if (!filled_ || place.cols != cols_ || place.rows != rows_) return std::nullopt;
  return place.record(col, rows_ - 1 - row);
}

int TableModel::raw(int row, int col) const {
  const std::optional<int> at = record(row, col);
  return at ? imageByte(*at).value_or(-1) : -1;
}

std::optional<int> TableModel::referenceOf(int row, int col) const {
  const std::optional<int> at = record(row, col);
  if (!at || source_.comparison == nullptr || !source_.comparison->differs(*at))
    return std::nullopt;
  return source_.comparison->referenceByte(*at);
}

QString TableModel::cellText(int row, int col) const {
  const int byte = raw(row, col);
  return byte >= 0 && byte <= 255 ? texts_[static_cast<size_t>(byte)] : QString();
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int byte = raw(index.row(), index.column());
  switch (role) {
    case Qt::DisplayRole:
      return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    case Qt::BackgroundRole:
      if (byte >= 0 && byte <= 255) return heatBrushes()[static_cast<size_t>(byte)];
      return {};
    case Qt::ForegroundRole:
      if (byte >= 0) return QBrush(Qt::black);
      return {};
    case ChangedRole:
      return referenceOf(index.row(), index.column()).has_value();
    case Qt::ToolTipRole: {
      const std::optional<int> reference = referenceOf(index.row(), index.column());
      if (!reference || *reference < 0 || *reference > 255) return {};
      const QString& calculated = source_.calculated[static_cast<size_t>(*reference)];
      return QString("Reference: %1").arg(*reference) +
             (calculated.isEmpty() ? QString() : " = " + calculated);
    }
    default:
      return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  const QStringList& captions = orientation == Qt::Horizontal ? colCaptions_ : rowCaptions_;
  return section >= 0 && section < captions.size() ? captions[section] : QString();
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace trimlet
