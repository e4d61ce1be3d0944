// The cells of an array or map grid: their texts, raw values and the axis captions.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace trimlet {

// Holds what the grid shows as a snapshot of texts, so a cell keeps its text until it is
// written again. Captions live in the header sections; cells are read-only.
class TableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TableModel(QObject* parent = nullptr);

  // A new shape with every cell empty: the one place the model is reset.
  void setShape(int rows, int cols, const QStringList& rowCaptions, const QStringList& colCaptions);

  // Writes a cell without telling the views; announceCells() then tells them once for all.
  void setCell(int row, int col, const QString& text, int raw);
  void announceCells();

  [[nodiscard]] QString cellText(int row, int col) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // Column by column, as the tables keep their values.
  [[nodiscard]] size_t at(int row, int col) const {
    return static_cast<size_t>(col) * static_cast<size_t>(rows_) + static_cast<size_t>(row);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<QString> texts_;
  std::vector<int16_t> raws_;  // -1 for a cell never written: no heat colour
  QStringList rowCaptions_;
  QStringList colCaptions_;
};

}  // namespace trimlet
