// The cells of an array or map grid: shown straight from the panel's table of values.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <optional>

#include "core/table.h"

namespace trimlet {

class Comparison;

// Reads each cell's value from the panel's table when a view asks, and shows it through one of
// 256 texts (one a byte value). Captions live in the header sections; cells are read-only.
class TableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using CellTexts = std::array<QString, 256>;

  // What marks a cell whose byte differs from the reference image: the comparison, where the
  // table's cells lie, and the calculated texts the cell's tip names beside the raw value.
  struct Reference {
    const Comparison* comparison = nullptr;
    TablePlace place;
    CellTexts calculated;
  };
  // True for a cell that differs from the reference.
  static constexpr int ChangedRole = Qt::UserRole;

  TableModel(const PointTable& values, QObject* parent = nullptr);

  // A new shape with every cell empty: the one place the model is reset. Model row 0 shows the
  // table's last row.
  void setShape(int rows, int cols, const QStringList& rowCaptions, const QStringList& colCaptions);

  // The cells show the table's values through `texts`, marked against `reference`; the views
  // are told once, in place.
  void fill(const CellTexts& texts, const Reference& reference);

  [[nodiscard]] QString cellText(int row, int col) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // The byte a cell shows; -1 until the cells are filled.
  [[nodiscard]] int raw(int row, int col) const;
  // The reference's byte for a cell that differs from it.
  [[nodiscard]] std::optional<int> referenceOf(int row, int col) const;

  const PointTable& values_;
  int rows_ = 0;
  int cols_ = 0;
  bool filled_ = false;
  CellTexts texts_;
  Reference reference_;
  QStringList rowCaptions_;
  QStringList colCaptions_;
};

}  // namespace trimlet
