#include "ui/common/DropDown.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "ui/common/TextBox.h"

namespace trimlet {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(24);
  setMaxVisibleItems(30);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    if (currentIndex() == -1) return;
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
  });
}

void DropDown::showPopup() {
  int longest = 0;
  const QFontMetrics metrics = view()->fontMetrics();
  for (int i = 0; i < count(); ++i)
    longest = std::max(longest, metrics.horizontalAdvance(itemText(i)));
  const int room = screen() != nullptr ? screen()->availableGeometry().width() : longest;
  // Room for the change mark, the item's margins and the scroll bar beside the longest name.
  const int frame = 2 * view()->frameWidth() + iconSize().width() + 4 * metrics.averageCharWidth() +
                    view()->verticalScrollBar()->sizeHint().width();
  view()->setMinimumWidth(std::min(longest + frame, room));
  QComboBox::showPopup();
}

bool DropDown::event(QEvent* event) {
  // The combo box hands this event straight to its edit field, past any filter.
  if (event->type() == QEvent::ShortcutOverride &&
      spentUndoKey(*lineEdit(), *static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return QComboBox::event(event);
}

}  // namespace trimlet
