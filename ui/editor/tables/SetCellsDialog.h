// The small dialog that asks how to change the selected cells: set, add or scale, and by what.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "core/table_edit.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace trimlet {

// Each choice has its own number box; typing into one picks its choice. The dialog says how
// many of the selected cells the number given would change.
class SetCellsDialog : public QDialog {
  Q_OBJECT

 public:
  // How many of the selected cells a choice and number would change.
  using Changes = std::function<int(Arithmetic, double)>;

  // `units` says what the number is in: raw values or the item's calculated ones; `selected`
  // names the cells ("6 cells of Fuel").
  SetCellsDialog(const QString& units, const QString& selected, Changes changes, QWidget* parent);

  [[nodiscard]] Arithmetic operation() const;
  [[nodiscard]] double number() const { return number_; }
  // The number as the user wrote it.
  [[nodiscard]] std::string text() const;

 protected:
  // Closes only on a number, so a slip of the keyboard is never taken for one.
  void accept() override;

 private:
  void showCount();
  [[nodiscard]] QLineEdit* box() const;

  std::array<QRadioButton*, 3> choices_{};
  std::array<QLineEdit*, 3> boxes_{};
  QLabel* lblCount;
  QString selected_;
  Changes changes_;
  double number_ = 0;
};

}  // namespace trimlet
