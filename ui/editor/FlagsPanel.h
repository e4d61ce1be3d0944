// The "Flags" tab: one flag byte at a time, its eight bits as captioned check boxes.
#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "ui/editor/EditorFields.h"

class QCheckBox;
class QLabel;

namespace trimlet {

class DropDown;

class FlagsPanel : public QWidget {
  Q_OBJECT

 public:
  FlagsPanel(EditorFields& fields, QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return cmbFlag; }

  // The parts of the window's reset that concern this tab.
  void uncheckAll();
  void clearLabels();

  void cmbFlag_Click();
  void chkFlag_Click(int16_t Index);

 private:
  // The record of the chosen flag byte when it lies in the loaded file; otherwise nullopt,
  // with `note` (when given) saying why.
  [[nodiscard]] std::optional<int> chosenRecord(QString* note = nullptr) const;
  void buildLayout();

  EditorFields& fields_;
  DropDown* cmbFlag;
  std::array<QCheckBox*, 8> chkFlag{};
  std::array<QLabel*, 8> lblFlag_Yaxis{};
  QLabel* lblFlag_Ylabel;
  QLabel* lblFlag_Xlabel;
  QLabel* lblFlag_Xaxis;
  QLabel* lblFlag_Note;
};

}  // namespace trimlet
