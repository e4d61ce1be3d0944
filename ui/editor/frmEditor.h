// The editor window: loads the image and the items, holds the five tabs, saves and uploads.
#pragma once

#include <QDialog>
#include <array>

#include "ui/editor/EditorFields.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace trimlet {

class FlagsPanel;
class HexPanel;
class TablePanel;
class ValuesPanel;

class frmEditor : public QDialog {
  Q_OBJECT

 public:
  explicit frmEditor(QWidget* parent = nullptr);

  // Start-up. False when the window closed itself (a refused BIN file or a rejected ECU
  // file); the caller then does not show it.
  [[nodiscard]] bool Form_Load();

  void ClearVars();
  void Fill_Lists();
  void SSTab1_Click(int previousTab);
  void cmdSave_Click();
  void cmdUpload_Click();

  [[nodiscard]] EditorFields& fields() { return fields_; }

 protected:
  // Esc and the close button both come here, so neither can drop edits unasked.
  void reject() override;

 private:
  // The closing question and save; false keeps the window open (the save failed).
  [[nodiscard]] bool Form_Unload();
  // Saves the image and confirms, or says why it could not; when another program changed the
  // file since the load, asks first. True when the data reached disk.
  bool saveImage();
  void buildLayout();

  EditorFields fields_;
  QTabWidget* SSTab1;
  FlagsPanel* flags_;
  ValuesPanel* values_;
  TablePanel* arrays_;
  TablePanel* maps_;
  HexPanel* hex_;
  QPushButton* cmdSave;
  QPushButton* cmdUpload;
  std::array<QLabel*, 3> Label1{};
  int shownTab_ = 0;
};

}  // namespace trimlet
