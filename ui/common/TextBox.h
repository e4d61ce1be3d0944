// A text box that reports when the focus moves from it to another control of its window.
#pragma once

#include <QLineEdit>

namespace trimlet {

// Qt's editingFinished is skipped when nothing was typed, and fires when the window merely
// loses activation; the windows need neither, so this watches the focus-out event itself.
class TextBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr);

 signals:
  void lostFocus();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace trimlet
