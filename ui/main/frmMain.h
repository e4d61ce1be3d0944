// The main window: names the two files, checks them and opens the editor or the viewer.
#pragma once

#include <QWidget>
#include <map>
#include <optional>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trimlet {

class frmMain : public QWidget {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);

  void Form_Load();
  void cmdBIN_Click();
  void cmdECU_Click();
  void cmdECU_Edit_Click();
  void cmdView_Click();
  // Opens a window with the check of the file txtECU names (against txtBIN's, if any).
  void checkEcuFile();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Target { Editor, Viewer };

  void Form_Unload();
  // Shows a remembered location in its box; adds to `notes` why it cannot be shown.
  void showLocation(QLineEdit* box, const char* key, QStringList& notes);
  // Stores the box's text under its key and remembers it as stored.
  void storeLocation(QLineEdit* box, const char* key);
  void chooseFile(QLineEdit* box, QFileDialog* dialog, const QString& pattern);
  // The checks before either window opens; true when both files may be opened.
  [[nodiscard]] bool checkFiles();
  void open(Target target);
  // txtECU's own edit menu, with "Check ECU file…" added.
  void showEcuMenu(const QPoint& at);

  QLineEdit* txtBIN;
  QLineEdit* txtECU;
  QPushButton* cmdBIN;
  QPushButton* cmdECU;
  QPushButton* cmdECU_Edit;
  QPushButton* cmdView;
  QLabel* picBadge;
  QFileDialog* cdiBIN;
  QFileDialog* cdiECU;
  // What the settings file holds under each box's key as far as this window knows (what it
  // showed or stored); nothing when the key is missing. Closing rewrites only what differs.
  std::map<QLineEdit*, std::optional<QString>> stored_;
};

}  // namespace trimlet
