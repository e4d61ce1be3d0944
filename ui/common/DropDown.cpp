#include "ui/common/DropDown.h"

#include <QLineEdit>

namespace trimlet {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(24);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    if (currentIndex() == -1) return;
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
  });
}

}  // namespace trimlet
