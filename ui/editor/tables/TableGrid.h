// The grid of an array or map: a fixed header row and column, one selectable block of cells.
#pragma once

#include <QPersistentModelIndex>
#include <QTableView>
#include <optional>
#include <vector>

#include "core/table.h"
#include "ui/editor/tables/TableModel.h"

namespace trimlet {

class CellEditor;

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

  // Typing into a cell: the box opens over the current data cell holding `text` (all of it
  // selected when `select`); false when there is no current data cell.
  bool openEditor(const QString& text, bool select);
  [[nodiscard]] CellEditor* editor() const { return editor_; }
  // The cell the box edits, in table coordinates; none once its cell is gone.
  [[nodiscard]] std::optional<CellBlock> editorCell() const;
  // Hides the box, giving the grid the focus back where the box had it.
  void closeEditor();
  // Makes the cell `rows` down and `cols` right of the edited one on the screen current and
  // selected, where there is one.
  void moveFromEditor(int rows, int cols);

 signals:
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  // F2, Enter, a double-click (`first` empty) or a digit or "." (`first`) asks for the box.
  void editRequested(const QString& first);
  void gotFocus();
  void lostFocus();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  // Typed characters must not jump the selection to a matching cell.
  void keyboardSearch(const QString& search) override;

 private:
  TableModel* model_;
  bool highlight_ = true;
  CellEditor* editor_;
  QPersistentModelIndex editing_;
};

}  // namespace trimlet
