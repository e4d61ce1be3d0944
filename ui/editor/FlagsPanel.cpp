#include "ui/editor/FlagsPanel.h"

#include <QVBoxLayout>

#include "ui/common/DropDown.h"

namespace trimlet {

FlagsPanel::FlagsPanel(EditorFields& fields, QWidget* parent)
    : QWidget(parent), fields_(fields), cmbFlag(new DropDown(this)) {
  cmbFlag->setObjectName("cmbFlag");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cmbFlag);
  layout->addStretch();
}

void FlagsPanel::uncheckAll() {}

void FlagsPanel::clearLabels() {}

}  // namespace trimlet
