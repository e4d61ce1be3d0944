// The "Arrays" and "3D Maps" tabs: one table panel, configured for each.
#pragma once

#include <QWidget>

#include "ui/editor/EditorFields.h"

namespace trimlet {

class DropDown;

enum class TableKind { Arrays, Maps };

class TablePanel : public QWidget {
  Q_OBJECT

 public:
  TablePanel(TableKind kind, EditorFields& fields, QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return list_; }

  // The parts of the window's reset that concern this tab.
  void clearGrid();
  void clearLabels();
  void resetScrollBars();

  // Selection highlighting of the grid.
  void setHighlight(bool on);

  // Maps only: redraws the wire frame and refills the cells.
  void Draw_Map();

 private:
  TableKind kind_;
  EditorFields& fields_;
  DropDown* list_;
};

}  // namespace trimlet
