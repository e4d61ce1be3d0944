// The small dialog that asks how to change the selected cells: set, add or scale, and by what.
#pragma once

#include <QDialog>

#include "core/table_edit.h"

class QLineEdit;
class QRadioButton;

namespace trimlet {

class SetCellsDialog : public QDialog {
  Q_OBJECT

 public:
  // `units` says what the number is in: raw values or the item's calculated ones.
  SetCellsDialog(const QString& units, QWidget* parent);

  [[nodiscard]] Arithmetic operation() const;
  [[nodiscard]] double number() const { return number_; }

 protected:
  // Closes only on a number, so a slip of the keyboard is never taken for one.
  void accept() override;

 private:
  QRadioButton* optSet;
  QRadioButton* optAdd;
  QRadioButton* optScale;
  QLineEdit* txtNumber;
  double number_ = 0;
};

}  // namespace trimlet
