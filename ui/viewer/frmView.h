// The byte viewer window: graphs a stretch of the BIN file's bytes as it is on disk.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/document.h"
#include "core/table.h"
#include "ui/common/StretchField.h"
#include "ui/graph/WireFrame.h"

class QLabel;

namespace trimlet {

class Canvas;
class SpinControl;
class TextBox;

class frmView : public QDialog {
  Q_OBJECT

 public:
  // A viewer of the BIN file at `binPath`, whose ECU file is at `ecuPath`.
  frmView(const std::string& binPath, const std::string& ecuPath, QWidget* parent = nullptr);
  ~frmView() override;

  // Start-up. False when the window unloaded itself (a refused BIN or rejected ECU file).
  [[nodiscard]] bool Form_Load();
  void ClearVars();
  // The redraw: reads the stretch the two boxes name and graphs it.
  void Show_Hex_Line();

  void txtStart_LostFocus();
  void vscStart_Change();
  void txtCols_LostFocus();
  void vscCols_Change();

  [[nodiscard]] int16_t rotAngle() const { return RotAngle; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The stretch the boxes name, when both hold numbers and the count fits HexData.
  struct Stretch {
    int64_t start = 0;
    int cols = 0;
  };

  void Form_Resize();
  void Draw_Hex_Line(double& xmax, double& ymin);
  void startStep();
  void colsStep();
  // Keeps the start at or below the last start whose whole stretch lies in the file.
  void limitStart();
  void setAddressLabels();
  [[nodiscard]] std::optional<Stretch> chosenStretch() const;

  Document document_;

  Canvas* picHexLine;
  // The stretch graphed: its start address and its count of bytes.
  StretchField start_;
  StretchField cols_;
  QLabel* lbl0;
  QLabel* lbl128;
  QLabel* lbl255;
  QLabel* lbl1;
  QLabel* lbl2;
  QLabel* lbl3;
  QLabel* lbl4;
  QLabel* lbl5;

  int16_t RotAngle = 0;
  int16_t HexCols = 0;
  int16_t HexRows = 0;
  WireFrame HexData;
  double HexMaxX = 0;
  double HexMinY = 0;
};

}  // namespace trimlet
