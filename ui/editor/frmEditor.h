// The editor window: loads the image and the items, holds the five tabs, saves and uploads.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/recovery.h"
#include "ui/editor/EditorFields.h"

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace trimlet {

class ChangesWindow;
class ChecksumsWindow;
class DropDown;
class FindWindow;
class FlagsPanel;
class HexPanel;
class ImageWatch;
class TablePanel;
class ValuesPanel;

class frmEditor : public QDialog {
  Q_OBJECT

 public:
  // An editor of the BIN file and the ECU file at these paths.
  frmEditor(const std::string& binPath, const std::string& ecuPath, QWidget* parent = nullptr);
  ~frmEditor() override;

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
  // Undo, redo, the reference, the Changes and find windows: shortcuts of the window and the
  // context menus of its tabs and grids.
  void buildActions();

  // A recovery file of this BIN file left by a crash: offered back once, before the lists fill.
  void offerRecovery();
  // The stock image remembered for this BIN file, if any, as the reference.
  void restoreReference();
  void flushRecovery();
  // Every announced change of the image: the history records the user's actions, and the marks
  // of the items it touched follow. The views follow by themselves.
  void imageChanged(const ImageChange& change);
  void undo();
  void redo();
  // The marks of the list entries whose items `change` touched; of every entry without one.
  void markLists(const ImageChange* change);
  void markList(DropDown* list, const IndexTable& index, int16_t count, const ImageChange* change);
  // Picks another BIN file of the same length as the reference; remembered for this BIN file.
  void compareWith();
  void compareAsOpened();
  void showChanges();
  void showChecksums();
  // Ctrl+S: "Save Changes", after a number typed in the Values tab's raw box is written.
  void saveByKey();
  // Writes the image, its checksums corrected as a save would, to a file the user names; the
  // editor stays on its BIN file, saved or not as before.
  void saveCopyAs();
  // The checksums over the image made right, as one step, before a save takes its bytes.
  void correctChecksumsForSave();
  // Before an upload: true to go on. A BIN file on disk with a BAD checksum goes only when the
  // user says so.
  [[nodiscard]] bool uploadFileAccepted();
  void showFind();
  // Writes the changes from the reference to a patch file the user names.
  void exportChanges();
  // Applies a patch file the user names, after showing what it would do, as one step.
  void applyPatch();
  // Shows an item in its tab with its entry chosen, as if the user picked it.
  void showItem(int item);

  EditorFields fields_;
  // Before the watch: the history records an action before the views hear of it.
  Document document_;
  bool originalKept_ = false;  // the copy of the file as loaded is there
  uint64_t savedState_ = 0;    // the history's state at the last save (or the load)
  // The steps not yet saved, kept on disk for after a crash; written when the timer runs out.
  RecoveryWriter recovery_;
  ImageWatch* watch_;
  QTimer* recoveryFlush_;
  QTabWidget* SSTab1;
  FlagsPanel* flags_;
  ValuesPanel* values_;
  TablePanel* arrays_;
  TablePanel* maps_;
  HexPanel* hex_;
  QPushButton* cmdSave;
  QPushButton* cmdUpload;
  std::array<QLabel*, 3> Label1{};
  QAction* actUndo;
  QAction* actRedo;
  QAction* actCompareWith;
  QAction* actCompareAsOpened;
  QAction* actChanges;
  QAction* actChecksums;
  QAction* actSave;
  QAction* actSaveCopy;
  QAction* actFind;
  ChecksumsWindow* checksums_ = nullptr;
  QAction* actExportChanges;
  QAction* actApplyPatch;
  ChangesWindow* changes_ = nullptr;
  FindWindow* find_ = nullptr;
  int shownTab_ = 0;
};

}  // namespace trimlet
