// The main window: names the two files, checks them and opens the editor or the viewer.
#pragma once

#include <QWidget>
#include <map>
#include <optional>

class QFileDialog;
class QUrl;
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
  // Files dropped onto `box`, or onto the rest of the window when it is null.
  void dropFiles(const QList<QUrl>& urls, QLineEdit* box);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // The path boxes' drops of files (Qt's own would add the address to the text).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Target { Editor, Viewer };

  void Form_Unload();
  // Shows a remembered location in its box; adds to `notes` why it cannot be shown.
  void showLocation(QLineEdit* box, const char* key, QStringList& notes);
  // Stores the box's text under its key and remembers it as stored.
  void storeLocation(QLineEdit* box, const char* key);
  void chooseFile(QLineEdit* box, QLineEdit* other, QFileDialog* dialog, const QString& pattern);
  // The checks before either window opens; true when both files may be opened.
  [[nodiscard]] bool checkFiles();
  void open(Target target);
  // A path box's own edit menu, with "Recent" (and for txtECU "Check ECU file…") added.
  void showPathMenu(QLineEdit* box, const QPoint& at);

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
