#include "ui/common/Widgets.h"

#include <QLabel>
#include <QPushButton>

#include "ui/common/Canvas.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"

namespace trimlet {

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

TextBox* makeTextBox(const QString& name, const QString& text, QWidget* parent) {
  auto* box = new TextBox(parent);
  box->setObjectName(name);
  box->setText(text);
  return box;
}

SpinControl* makeSpin(const QString& name, Qt::Orientation orientation, QWidget* parent,
                      bool arrowsOnly) {
  auto* spin = new SpinControl(orientation, arrowsOnly, parent);
  spin->setObjectName(name);
  return spin;
}

Canvas* makePicture(const QString& name, double left, double top, double width, double height,
                    QWidget* parent) {
  auto* picture = new Canvas(parent);
  picture->setObjectName(name);
  picture->setScale(left, top, width, height);
  return picture;
}

}  // namespace trimlet
