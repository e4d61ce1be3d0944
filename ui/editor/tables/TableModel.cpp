#include "ui/editor/tables/TableModel.h"

#include <QBrush>
#include <QColor>
#include <array>

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
  const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(cols);
  texts_.assign(cells, QString());
  raws_.assign(cells, -1);
  rowCaptions_ = rowCaptions;
  colCaptions_ = colCaptions;
  endResetModel();
}

void TableModel::setCell(int row, int col, const QString& text, int raw) {
  texts_[at(row, col)] = text;
  raws_[at(row, col)] = static_cast<int16_t>(raw);
}

void TableModel::announceCells() {
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

QString TableModel::cellText(int row, int col) const { return texts_[at(row, col)]; }

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const size_t i = at(index.row(), index.column());
  switch (role) {
    case Qt::DisplayRole:
      return texts_[i];
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    case Qt::BackgroundRole:
      if (raws_[i] >= 0 && raws_[i] <= 255) return heatBrushes()[static_cast<size_t>(raws_[i])];
      return {};
    case Qt::ForegroundRole:
      if (raws_[i] >= 0) return QBrush(Qt::black);
      return {};
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
