#include "ui/common/Messages.h"

#include <QMessageBox>

namespace trimlet {

void showMessage(QWidget* parent, const QString& text, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  kProgramTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

bool askYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace trimlet
