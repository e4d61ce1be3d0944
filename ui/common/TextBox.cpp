#include "ui/common/TextBox.h"

#include <QFocusEvent>

namespace trimlet {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window taking over (a message box, a pop-up) is not leaving the box.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
    emit lostFocus();
}

}  // namespace trimlet
