// The grid of an array or map: a fixed header row and column, one selectable block of cells.
#pragma once

#include <QRect>
#include <QTableView>
#include <vector>

namespace trimlet {

class TableModel;

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

  // Data cells are written in place; cellsWritten() then repaints them once, and the user's
  // selection stays as it was.
  void setCellText(int row, int col, const QString& text, int raw);
  void cellsWritten();

  // Any cell's text, header captions included.
  [[nodiscard]] QString text(int row, int col) const;

  // Whether a data cell lies in the user's selection.
  [[nodiscard]] bool inSelection(int row, int col) const;
  // The selected blocks in grid coordinates (x = column, y = row), for testing many cells.
  [[nodiscard]] std::vector<QRect> selectedBlocks() const;

  // The selection is always kept; highlighting only decides whether it shows.
  void setHighlight(bool on);
  [[nodiscard]] bool highlight() const { return highlight_; }

 signals:
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  void gotFocus();
  void lostFocus();

 protected:
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
