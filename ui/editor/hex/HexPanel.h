// The "Hex" tab: a read-only look at any stretch of the image as a dump and two graphs.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "core/table.h"
#include "ui/common/StretchField.h"
#include "ui/graph/WireFrame.h"

class QLabel;
class QPushButton;
class QTableView;

namespace trimlet {

class Canvas;
class Document;
class HexDumpModel;
class ImageWatch;
class SpinControl;
class TextBox;
class ViewFollower;

class HexPanel : public QWidget {
  Q_OBJECT

 public:
  // `rotAngle` is the editor's RotAngle, which the 3D Maps tab turns too. The graphs follow
  // every change `watch` announces of their stretch; the dump stays what Populate Chart made.
  HexPanel(int16_t& rotAngle, const Document& document, const ImageWatch& watch,
           QWidget* parent = nullptr);

  // Rebuilds both graphs from the three fields; draws nothing when the stretch does not fit
  // the file or every point lies on an axis.
  void Show_Hex();
  // Fills the dump with the first 32K of the image, as it is now.
  void Pop_Hex();

 private:
  enum class Field { Cols, Rows };

  void txtStart_LostFocus();
  void vscStart_Change();
  void txtCols_LostFocus();
  void vscCols_Change();
  void txtRows_LostFocus();
  void vscRows_Change();
  void hscHexMap_Change();
  void Draw_Hex_Map(double xmax, double ymin);
  void Draw_Hex_Line(double xmax, double ymin);

  void buildLayout();
  void connectHandlers();
  void stepStart();
  void stepCount(Field field);
  // Columns or rows as the graphs take them: whole, within the table.
  [[nodiscard]] static std::optional<int16_t> tableExtent(const QString& text);
  // The records the graphs show: the stretch the three fields name.
  [[nodiscard]] RecordRange stretch() const;

  int16_t& RotAngle;
  const Document& document_;
  ViewFollower* follower_;

  int16_t HexCols = 0;
  int16_t HexRows = 0;
  WireFrame HexData;
  double HexMaxX = 0;
  double HexMinY = 0;

  QTableView* grdHex;
  HexDumpModel* dump_;
  Canvas* picHexMap;
  SpinControl* hscHexMap;
  Canvas* picHexLine;
  // The stretch the graphs show.
  StretchField start_;
  StretchField cols_;
  StretchField rows_;
  QPushButton* cmdPopulate;
  QLabel* lblLimit;
};

}  // namespace trimlet
