#include "ui/common/StretchField.h"

#include <utility>

#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Widgets.h"

namespace trimlet {

StretchField::StretchField(const QString& name, const QString& caption, std::string initial,
                           QWidget* parent)
    : label_(makeLabel("lbl" + name, caption, parent)),
      box_(makeTextBox("txt" + name, QString::fromStdString(initial), parent)),
      spin_(makeSpin("vsc" + name, Qt::Vertical, parent)),
      last_(std::move(initial)) {}

std::string StretchField::text() const { return box_->text().toStdString(); }

void StretchField::step(Rule rule) {
  const int v = spin_->value();
  box_->setText(QString::fromStdString(rule(text(), last_, v)));
  spin_->setValue(0);
}

void StretchField::settle(const std::string& text) {
  last_ = text;
  if (this->text() != text) box_->setText(QString::fromStdString(text));
}

}  // namespace trimlet
