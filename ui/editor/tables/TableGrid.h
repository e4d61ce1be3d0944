// The grid of an array or map: a fixed header row and column, one selectable block of cells.
#pragma once

#include <QTableView>
#include <vector>

#include "core/table.h"
#include "ui/editor/tables/TableModel.h"

namespace trimlet {

// Rows and columns are counted as the grid shows them: row 0 is the header row and column 0
// the header column; data cells are rows 1..rows()-1 and columns 1..cols()-1.
class TableGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TableGrid(QWidget* parent = nullptr);

  // The grid's shape with every cell empty: `rowCaptions` head grid rows 1.., `colCaptions`
  // grid columns 1...
  void setFrame(int rows, int cols, const QStringList& rowCaptions = {},
                const QStringList& colCaptions = {});
  [[nodiscard]] int rows() const;
  [[nodiscard]] int cols() const;

  // The data cells show the image's bytes where `source` places them, through `texts` and
  // marked against its comparison, refilled in place, so the user's selection stays as it was.
  void fill(const TableModel::CellTexts& texts, const TableModel::Source& source);

  // Any cell's text, header captions included.
  [[nodiscard]] QString text(int row, int col) const;

  // Whether a data cell lies in the user's selection.
  [[nodiscard]] bool inSelection(int row, int col) const;
  // The selected cells in table coordinates: table row 0 is the bottom grid row.
  [[nodiscard]] std::vector<CellBlock> selectedCells() const;

  // The selection is always kept; highlighting only decides whether it shows.
  void setHighlight(bool on);
  [[nodiscard]] bool highlight() const { return highlight_; }

 signals:
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  void gotFocus();
  void lostFocus();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Typed characters must not jump the selection to a matching cell.
  void keyboardSearch(const QString& search) override;

 private:
  TableModel* model_;
  bool highlight_ = true;
};

}  // namespace trimlet
