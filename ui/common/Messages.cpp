#include "ui/common/Messages.h"

#include <QMessageBox>

namespace trimlet {

void showMessage(QWidget* parent, const QString& text, MessageIcon icon, const QString& details) {
  QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  kProgramTitle, text, QMessageBox::Ok, parent);
  // Messages name paths and commands, which may hold anything; they are never markup.
  box.setTextFormat(Qt::PlainText);
  if (!details.isEmpty()) box.setDetailedText(details);
  box.exec();
}

void showNotices(QWidget* parent, const std::vector<Notice>& notices) {
  for (const Notice& notice : notices)
    showMessage(parent, QString::fromStdString(notice.text),
                notice.critical ? MessageIcon::Critical : MessageIcon::None,
                QString::fromStdString(notice.details));
}

bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer answer) {
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(answer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace trimlet
