// The work of a table grid's context menu on its selected block of cells.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "core/table.h"
#include "core/table_edit.h"
#include "ui/editor/tables/CellEditor.h"
#include "ui/editor/tables/TableFields.h"

class QWidget;

namespace trimlet {

class GraphWindow;
class TableGrid;
class WireFrame;

// "6 cells of Fuel": what the names of the user's actions on cells end with.
[[nodiscard]] std::string cellsOf(int cells, const std::string& name);

// Copy and paste with a spreadsheet, set, add or scale, interpolate, smooth, and a graph of the
// rows or columns of a selection. Numbers are in the units the grid shows. Each edit is one
// action of the image's history, worked on the table's bytes as the image holds them; its panel
// then redraws as after a key.
class CellActions : public QObject {
  Q_OBJECT

 public:
  // What the panel shows: its item (nullptr for none), where the cells lie, and whether the
  // panel is the maps panel.
  struct Shown {
    const ECU_Item* item = nullptr;
    TablePlace place;
    bool map = false;
  };

  // Adds the actions to `grid`'s context menu (Copy and Paste also on their standard keys while
  // the grid has the focus). `values` are the panel's table, read and written here; `edited`
  // redraws the panel after an edit.
  CellActions(QWidget* panel, TableGrid* grid, WireFrame& values, const TableFields& fields,
              std::function<Shown()> shown, std::function<void()> edited);

  // Opens the box for typing a number into the current cell, holding `first` or, when empty,
  // the cell's text; refused, with the reason, where the numbers cannot become raw ones.
  void startTyping(const QString& first);
  // Writes the number typed as one action: into the edited cell and then a step down or right,
  // or into every selected cell; nothing on Esc. A text that is no number is refused and the
  // box stays open.
  void endTyping(CellEditor::End how);

  void copySelection(bool withAxes);
  void pasteClipboard();
  void setAddScale();
  void interpolateSelection(Direction direction);
  void smoothSelection();
  // A graph of the rows or columns the selection covers (of the whole table without one).
  void graphSelection();

 private:
  void buildActions();
  // The one selected block, inside the table on show.
  [[nodiscard]] std::optional<CellBlock> selectedBlock() const;
  // The selected block to work on; without one the user is told why and nothing happens.
  [[nodiscard]] std::optional<CellBlock> selection();
  // The units of the numbers the user gives and copies: those the grid shows.
  [[nodiscard]] CellUnits units() const;
  // Whether numbers in those units can become raw ones; if not, the user is told why.
  [[nodiscard]] bool unitsConvert();
  // One edit of selected cells: `edit` works on the table's bytes as the image holds them,
  // `block` is written back as one action named `what`, the panel redraws, and what had to be
  // held within 0..255 is reported.
  void editCells(const CellBlock& block, const std::string& what,
                 const std::function<Clamped()>& edit);

  QWidget* panel_;
  TableGrid* grid_;
  WireFrame& values_;
  const TableFields& fields_;
  std::function<Shown()> shown_;
  std::function<void()> edited_;
  GraphWindow* graph_ = nullptr;
};

}  // namespace trimlet
