// The "Arrays" and "3D Maps" tabs: one table panel, configured for each.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/table.h"
#include "core/table_edit.h"
#include "ui/editor/tables/TableFields.h"
#include "ui/editor/tables/TableModel.h"
#include "ui/graph/WireFrame.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace trimlet {

class Canvas;
class CellActions;
class DropDown;
class SpinControl;
class TableGrid;
class ViewFollower;

enum class TableKind { Arrays, Maps };

// Shows one table item in a grid whose highlighted cells the "+" and "-" keys step; maps are
// also drawn as a wire frame that can be rotated, panned and zoomed. The handlers carry the
// arrays tab's names (cmb1Dim_Click, grdLine_KeyDown ...) in a form that serves both tabs.
// The grid's context menu (CellActions) works on the selected block.
class TablePanel : public QWidget {
  Q_OBJECT

 public:
  TablePanel(TableKind kind, const TableFields& fields, QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return cmbDim; }
  [[nodiscard]] TableGrid* grid() const { return grd; }

  // The parts of the window's reset that concern this tab.
  void clearGrid();
  void clearLabels();
  void resetScrollBars();

  // Selection highlighting of the grid.
  void setHighlight(bool on);
  // Repaints the marks of cells that differ from the reference.
  void showMarks();

  // What follows every change: redraws the wire frame (maps only) from the table's values, then
  // refills the cells, which show the bytes the image holds now.
  void Draw_Map();

  void cmbDim_Click();
  void grd_KeyDown(int key, Qt::KeyboardModifiers modifiers);
  void cmdShowIn_Click();
  void scrRotAngle_Change();
  void scrPanHor_Change();
  void scrPanVer_Change();
  void scrZoom_Change();

  // The work of the grid's context menu on the selected cells.
  [[nodiscard]] CellActions& cells() const { return *cells_; }

 private:
  [[nodiscard]] bool isMap() const { return kind_ == TableKind::Maps; }
  // The chosen table where it lies, with the sizes the window's fields hold now (0 after a map
  // was chosen, for the arrays).
  [[nodiscard]] TablePlace place() const { return {start_, fields_.Cols, fields_.Rows}; }

  // Fills the grid's cells in the current display mode.
  void Draw_Grid();
  // The table's values as the image holds them now.
  void readValues();
  // After another's change of the table's bytes: read, widen (maps) and draw again.
  void refresh();
  // The grid frame of a newly chosen item: sizes and axis captions.
  void drawFrame(const ECU_Item& item);
  // Widens MapMaxX / MapMinY to take in every point at the current angle.
  void widenExtents();
  // An item that cannot be shown: nothing read, the grid emptied and disabled, the reason shown.
  void refuse(const QString& reason);
  void resetView();

  void buildArrays();
  void buildMaps();
  QWidget* buildTable();
  QWidget* buildPicture();
  QLayout* buildFooter();
  void connectHandlers();

  // What follows an edit of the cells, by a key or a cell action: the values are what was
  // written, the wire frame widens and everything is drawn again; the image is not saved.
  void afterEdit();

  TableKind kind_;
  TableFields fields_;
  // ArrayData or MapData: the values of the table on show, read again whenever an announced
  // change touched them, and the wire frame drawn from them.
  WireFrame data_;
  ViewFollower* follower_ = nullptr;
  // The item whose values the table holds and where its first byte lies: edits go back there
  // whatever the list shows meanwhile.
  const ECU_Item* item_ = nullptr;
  int start_ = 0;
  // The cells' calculated texts, one a byte value, and the item they were made for.
  TableModel::CellTexts calculated_;
  const ECU_Item* calculatedFor_ = nullptr;

  DropDown* cmbDim;
  TableGrid* grd;
  QLabel* lblXlabel;
  QLabel* lblYlabel;
  QLabel* lblZlabel;
  QPushButton* cmdShowIn;
  std::array<QLabel*, 3> lblInstructions{};
  QLabel* lblNote;

  // Maps only.
  QLineEdit* txtStart3D = nullptr;
  QLineEdit* txtRow3D = nullptr;
  QLineEdit* txtCol3D = nullptr;
  Canvas* picMap = nullptr;
  SpinControl* scrRotAngle = nullptr;
  SpinControl* scrPanHor = nullptr;
  SpinControl* scrPanVer = nullptr;
  SpinControl* scrZoom = nullptr;

  CellActions* cells_ = nullptr;
};

}  // namespace trimlet
