// The check of an ECU file as a window: a table of its items and problems by line, and the
// file itself beside it, read-only, at the line of the row chosen.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace trimlet {

struct CheckedFiles;

class CheckWindow : public QWidget {
  Q_OBJECT

 public:
  // Checks the ECU file, against the BIN file when `binPath` is not empty.
  CheckWindow(const QString& ecuPath, const QString& binPath, QWidget* parent = nullptr);

  // Reads and checks the files again (after the user has mended the ECU file).
  void checkAgain();
  // Scrolls the file to `line` (from 1) and marks it.
  void showLine(int line);

 private:
  void fill(const CheckedFiles& check);
  void tblReport_DoubleClick(int row);

  QString ecuPath_;
  QString binPath_;
  QLabel* lblSummary;
  QTableWidget* tblReport;
  QPlainTextEdit* txtFile;
  QPushButton* cmdCheckAgain;
};

}  // namespace trimlet
