#include "ui/editor/tables/CellEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

namespace trimlet {

CellEditor::CellEditor(QWidget* viewport) : QLineEdit(viewport), preview_(new QLabel(viewport)) {
  setObjectName("txtCell");
  preview_->setObjectName("lblCellPreview");
  preview_->setTextFormat(Qt::PlainText);
  preview_->setFrameShape(QFrame::Box);
  preview_->setMargin(2);
  preview_->setAutoFillBackground(true);
  preview_->setBackgroundRole(QPalette::ToolTipBase);
  preview_->setForegroundRole(QPalette::ToolTipText);
  hide();
  preview_->hide();
}

void CellEditor::open(const QRect& cell, const QString& text, bool select) {
  setText(text);
  if (select) selectAll();
  open_ = true;
  place(cell);
  show();
  raise();
  setFocus(Qt::OtherFocusReason);
}

void CellEditor::place(const QRect& cell) {
  // The cell's size, or room for a calculated value with two decimals where the cell is smaller.
  setGeometry(QRect(cell.topLeft(),
                    QSize(std::max(cell.width(), fontMetrics().horizontalAdvance("-0000.00") + 8),
                          std::max(cell.height() + 1, minimumSizeHint().height()))));
  preview_->adjustSize();
  // Beneath the box, or above it where the grid ends.
  const QWidget* viewport = parentWidget();
  QPoint at = geometry().bottomLeft() + QPoint(0, 1);
  if (at.y() + preview_->height() > viewport->height()) at.setY(y() - preview_->height() - 1);
  at.setX(std::max(0, std::min(at.x(), viewport->width() - preview_->width())));
  preview_->move(at);
}

void CellEditor::close() {
  open_ = false;
  setPreview({});
  hide();
}

void CellEditor::setPreview(const QString& text) {
  preview_->setText(text);
  setToolTip(text);
  preview_->setVisible(!text.isEmpty());
  if (!text.isEmpty()) {
    place(geometry().adjusted(0, 0, 0, -1));
    preview_->raise();
  }
}

QString CellEditor::preview() const { return preview_->text(); }

// Tab would otherwise move the focus before the box sees the key.
bool CellEditor::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab &&
      !(static_cast<QKeyEvent*>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    end(End::Right);
    return true;
  }
  return QLineEdit::event(event);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      end(event->modifiers() & Qt::ControlModifier ? End::Fill : End::Down);
      return;  // the key is the box's: the grid must not take it for a key of its own
    case Qt::Key_Escape:
      end(End::Cancel);
      return;  // nor the window for its closing
    default:
      QLineEdit::keyPressEvent(event);
      event->accept();  // keys the box has no use for (arrows up and down) step nothing in the grid
  }
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A message box or a menu over the window leaves the typing where it was.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
    end(End::Here);
}

void CellEditor::end(End how) {
  if (!open_) return;  // one end only: the key that ends the typing moves the focus too
  open_ = false;
  emit ended(how);
}

}  // namespace trimlet
