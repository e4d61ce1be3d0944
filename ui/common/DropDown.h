// An item list: a drop-down with an edit field that never takes typed text as an entry.
#pragma once

#include <QComboBox>

namespace trimlet {

// Typing into the edit field leaves the list with no selected entry (index -1) until an
// entry is picked; picking any entry, also the one shown, raises `activated`. The pop-up shows
// up to 30 entries, as wide as the longest within the screen. Undo and redo keys the edit field
// has no typing for go to the window, as in a text box.
class DropDown : public QComboBox {
  Q_OBJECT

 public:
  explicit DropDown(QWidget* parent = nullptr);

  void showPopup() override;

 protected:
  bool event(QEvent* event) override;
};

}  // namespace trimlet
