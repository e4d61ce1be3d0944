// The box a number is typed into over a grid cell, with what it will store shown beneath it.
#pragma once

#include <QLineEdit>

class QLabel;

namespace trimlet {

// Ends once, by the key that ends it or by the focus leaving it for another control of the
// window; Esc is its own and never reaches the window.
class CellEditor : public QLineEdit {
  Q_OBJECT

 public:
  // How the typing ended: Enter (move down), Tab (move right), Ctrl+Enter (fill the
  // selection), the focus leaving (stay), Esc (write nothing).
  enum class End { Down, Right, Fill, Here, Cancel };

  explicit CellEditor(QWidget* viewport);

  // Shows the box over `cell` holding `text`, all of it selected when `select`.
  void open(const QRect& cell, const QString& text, bool select);
  // Moves the box and its preview with the cell it edits.
  void place(const QRect& cell);
  [[nodiscard]] bool isOpen() const { return open_; }
  // Hides the box once its end has been dealt with.
  void close();

  // What the number typed will be stored as, shown beneath the box and as its tip; nothing
  // when it is stored exactly.
  void setPreview(const QString& text);
  [[nodiscard]] QString preview() const;

 signals:
  void ended(trimlet::CellEditor::End end);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void end(End how);

  QLabel* preview_;
  bool open_ = false;
};

}  // namespace trimlet
