// An item list: a drop-down with an edit field that never takes typed text as an entry.
#pragma once

#include <QComboBox>

namespace trimlet {

// Typing into the edit field leaves the list with no selected entry (index -1) until an
// entry is picked; picking any entry, also the one shown, raises `activated`.
class DropDown : public QComboBox {
  Q_OBJECT

 public:
  explicit DropDown(QWidget* parent = nullptr);
};

}  // namespace trimlet
