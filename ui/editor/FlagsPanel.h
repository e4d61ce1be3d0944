// The "Flags" tab: one flag byte at a time, its eight bits as captioned check boxes.
#pragma once

#include <QWidget>

#include "ui/editor/EditorFields.h"

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

 private:
  EditorFields& fields_;
  DropDown* cmbFlag;
};

}  // namespace trimlet
