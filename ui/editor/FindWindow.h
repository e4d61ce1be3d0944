// The find window: any item of the four lists found by part of its name or by an address.
#pragma once

#include <QDialog>

class QLineEdit;
class QTreeWidget;

namespace trimlet {

class Document;
class ImageWatch;

// One search box and the items that match it as the user types (the rule of itemMatches), in the
// ECU file's order, each with its class, address and the mark of a change from the reference;
// the marks follow `watch` while the window is shown. Enter or a double-click asks for the item.
class FindWindow : public QDialog {
  Q_OBJECT

 public:
  FindWindow(const Document& document, const ImageWatch& watch, QWidget* parent);

  // Shows the window in front, its text chosen, so that typing starts a new search.
  void start();

 signals:
  // The user asked to see an item (its number in the item table) in its tab.
  void showItem(int item);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Up and down in the box move through the items found.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void search();
  void showChosen();

  const Document& document_;
  QLineEdit* text_;
  QTreeWidget* found_;
};

}  // namespace trimlet
