// A text box that reports when the focus moves from it to another control of its window.
#pragma once

#include <QLineEdit>

class QKeyEvent;

namespace trimlet {

// Whether `key` is an undo or redo key that `box` has nothing of its own for: a box takes both
// keys for its typing, and once that is spent they belong to the window (the editor's history).
[[nodiscard]] bool spentUndoKey(const QLineEdit& box, const QKeyEvent& key);

// Qt's editingFinished is skipped when nothing was typed, and fires when the window merely
// loses activation; the windows need neither, so this watches the focus-out event itself.
// Undo and redo undo the box's own typing while there is some, and otherwise go to the window.
class TextBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr);

 signals:
  void lostFocus();

 protected:
  bool event(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace trimlet
