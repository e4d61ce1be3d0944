// The cells of an array or map grid: shown straight from the image's bytes.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <optional>

#include "core/table.h"

namespace trimlet {

class Comparison;

// Reads each cell's byte from the image when a view asks, so a cell never shows a stale value,
// and shows it through one of 256 texts (one a byte value). Captions live in the header
// sections; cells are read-only.
class TableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using CellTexts = std::array<QString, 256>;

  // Where the table's cells lie, and what marks a cell whose byte differs from the reference
  // image: the comparison, and the calculated texts the cell's tip names beside the raw value.
  struct Source {
    TablePlace place;
    const Comparison* comparison = nullptr;
    CellTexts calculated;
  };
  // True for a cell that differs from the reference.
  static constexpr int ChangedRole = Qt::UserRole;

  explicit TableModel(QObject* parent = nullptr);

  // A new shape with every cell empty: the one place the model is reset. Model row 0 shows the
  // table's last row.
  void setShape(int rows, int cols, const QStringList& rowCaptions, const QStringList& colCaptions);

  // The cells show the bytes `source` places through `texts`, marked against its comparison;
  // the views are told once, in place.
  void fill(const CellTexts& texts, const Source& source);

  [[nodiscard]] QString cellText(int row, int col) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // The record a cell shows; nullopt until cells of this shape are filled.
  [[nodiscard]] std::optional<int> record(int row, int col) const;
  // The byte a cell shows; -1 until the cells are filled.
  [[nodiscard]] int raw(int row, int col) const;
  // The reference's byte for a cell that differs from it.
  [[nodiscard]] std::optional<int> referenceOf(int row, int col) const;

  int rows_ = 0;
  int cols_ = 0;
  bool filled_ = false;
  CellTexts texts_;
  Source source_;
  QStringList rowCaptions_;
  QStringList colCaptions_;
};

}  // namespace trimlet
