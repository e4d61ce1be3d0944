// Answering the modal message boxes and dialogs a test's action opens.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

namespace trimlet::test {

// Records every message box shown while `action` runs and answers each with `answer`
// (the box's only button when it has no such button). Returns the texts in order.
QStringList answerMessages(const std::function<void()>& action,
                           QMessageBox::StandardButton answer = QMessageBox::Ok);

// Details of the message boxes seen by answerMessages, for icon and button checks.
struct SeenMessage {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  Qt::TextFormat format = Qt::AutoText;
  QString details;
};
[[nodiscard]] const std::vector<SeenMessage>& lastMessages();

}  // namespace trimlet::test
