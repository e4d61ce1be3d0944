// The Changes window: every item whose bytes differ from the reference image, and what differs.
#pragma once

#include <QDialog>

class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace trimlet {

class ChangesModel;
class Document;
class ImageWatch;

// Names the reference it compares with, then lists each differing item in the ECU file's order
// with its class and address, and under it every changed bit, value or cell (named as the tabs
// show them) with the reference's and the image's raw and calculated values; bytes of no item
// come last. It follows every change `watch` announces while it is shown. Reverting goes through
// the image's one write path, as one action the editor can undo.
class ChangesWindow : public QDialog {
  Q_OBJECT

 public:
  ChangesWindow(const Document& document, const ImageWatch& watch, QWidget* parent);

  // Lists the differences as they are now, worked out afresh.
  void refresh();

 signals:
  // The user asked to see an item (its number in the item table) in its tab.
  void showItem(int item);
  // A revert changed the image.
  void reverted();
  // The user asked to write the changes to a patch file.
  void exportChanges();

 private:
  void revertChosen();
  void revertAll();
  // The buttons usable or not, and the list or the word that nothing differs.
  void showState();
  // Opens a group unless the rows shown open would pass a few thousand.
  void openWithinBudget(const QModelIndex& group);
  // The item of the chosen row; 0 for none or the bytes of no item.
  [[nodiscard]] int chosenItem() const;

  const Document& document_;
  ChangesModel* model_;
  QLabel* reference_;
  QLabel* empty_;
  QTreeView* tree_;
  QPushButton* revert_;
  QPushButton* revertAll_;
};

}  // namespace trimlet
