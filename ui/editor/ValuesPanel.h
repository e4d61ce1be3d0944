// The "Values" tab: one single value at a time, its raw number and calculated value.
#pragma once

#include <QWidget>

#include "ui/editor/EditorFields.h"

namespace trimlet {

class DropDown;

class ValuesPanel : public QWidget {
  Q_OBJECT

 public:
  ValuesPanel(EditorFields& fields, QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return cmb0Dim; }

  // The part of the window's reset that concerns this tab: both boxes emptied.
  void clearBoxes();

 private:
  EditorFields& fields_;
  DropDown* cmb0Dim;
};

}  // namespace trimlet
