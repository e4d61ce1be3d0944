// The rows of the hex dump: a copy of the image's first records, taken at each fill.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/state.h"

namespace trimlet {

// Sixteen byte columns headed "0".."F", each row headed by the address of its first byte. The
// values show exactly as stored ("5 " after an edit) and stay as they were at the fill, so
// later edits appear only after the next fill.
class HexDumpModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The empty grid before the first fill: 10,001 rows under the header row, no texts.
  static constexpr int kEmptyRows = 10001;

  explicit HexDumpModel(QObject* parent = nullptr);

  // Copies rows × 16 records from record 0. The cells are updated in place, so a selection
  // survives a second fill.
  void fill(int rows);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

 private:
  std::vector<BIN_Record> records_;
  int rows_ = kEmptyRows;
  bool filled_ = false;
};

}  // namespace trimlet
