#include "ui/editor/ValuesPanel.h"

#include <QVBoxLayout>

#include "ui/common/DropDown.h"

namespace trimlet {

ValuesPanel::ValuesPanel(EditorFields& fields, QWidget* parent)
    : QWidget(parent), fields_(fields), cmb0Dim(new DropDown(this)) {
  cmb0Dim->setObjectName("cmb0Dim");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cmb0Dim);
  layout->addStretch();
}

void ValuesPanel::clearBoxes() {}

}  // namespace trimlet
