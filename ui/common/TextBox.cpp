#include "ui/common/TextBox.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace trimlet {

bool spentUndoKey(const QLineEdit& box, const QKeyEvent& key) {
  return (key.matches(QKeySequence::Undo) && !box.isUndoAvailable()) ||
         (key.matches(QKeySequence::Redo) && !box.isRedoAvailable());
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

bool TextBox::event(QEvent* event) {
  // Not overriding the shortcut lets the window's action have the key.
  if (event->type() == QEvent::ShortcutOverride &&
      spentUndoKey(*this, *static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return QLineEdit::event(event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window taking over (a message box, a pop-up) is not leaving the box.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
    emit lostFocus();
}

}  // namespace trimlet
