// The Checksums window: each checksum block of the ECU file, its value in the image and whether
// it is right, and a button that makes every one right.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace trimlet {

class Document;
class ImageWatch;
class ViewFollower;

// One row per block in file order: name, ranges, stored, computed, OK or BAD, computed afresh
// after every change `watch` announces while it is shown. "Correct now" corrects the blocks
// through the image's one write path, as one action the editor can undo.
class ChecksumsWindow : public QDialog {
  Q_OBJECT

 public:
  ChecksumsWindow(const Document& document, const ImageWatch& watch, QWidget* parent);

  void refresh();

 signals:
  // "Correct now" changed the image.
  void corrected();

 private:
  void correctNow();

  const Document& document_;
  ViewFollower* follower_;
  QLabel* note_;
  QTableWidget* table_;
  QPushButton* correct_;
};

}  // namespace trimlet
