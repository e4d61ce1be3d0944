#include "ui/editor/tables/TablePanel.h"

#include <QVBoxLayout>

#include "ui/common/DropDown.h"

namespace trimlet {

TablePanel::TablePanel(TableKind kind, EditorFields& fields, QWidget* parent)
    : QWidget(parent), kind_(kind), fields_(fields), list_(new DropDown(this)) {
  list_->setObjectName(kind_ == TableKind::Arrays ? "cmb1Dim" : "cmb2Dim");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addStretch();
}

void TablePanel::clearGrid() {}
void TablePanel::clearLabels() {}
void TablePanel::resetScrollBars() {}
void TablePanel::setHighlight(bool /*on*/) {}
void TablePanel::Draw_Map() {}

}  // namespace trimlet
