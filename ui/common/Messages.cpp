#include "ui/common/Messages.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "core/settings.h"

namespace trimlet {

void showMessage(QWidget* parent, const QString& text, MessageIcon icon, const QString& details) {
  QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  kProgramTitle, text, QMessageBox::Ok, parent);
  // Messages name paths and commands, which may hold anything; they are never markup.
  box.setTextFormat(Qt::PlainText);
  if (!details.isEmpty()) box.setDetailedText(details);
  box.exec();
}

void tellSettingsWriteProblem(QWidget* parent) {
  const std::string problem = untoldSettingsWriteProblem();
  if (!problem.empty()) showMessage(parent, QString::fromStdString(problem));
}

void showNotices(QWidget* parent, const std::vector<Notice>& notices) {
  for (const Notice& notice : notices)
    showMessage(parent, QString::fromStdString(notice.text),
                notice.critical ? MessageIcon::Critical : MessageIcon::None,
                QString::fromStdString(notice.details));
}

namespace {

// Keeps Esc and the close button from answering a question.
class NoEscape : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool escape = event->type() == QEvent::KeyPress &&
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (escape || event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

Answer ask(QWidget* parent, const QString& text, DefaultAnswer answer, Escape escape) {
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(answer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes);
  NoEscape noEscape;
  if (escape == Escape::Ignored) box.installEventFilter(&noEscape);
  if (escape == Escape::PutsOff) {
    // A button no one sees, which Esc and the close button press.
    QPushButton* later = box.addButton(QMessageBox::Cancel);
    later->hide();
    box.setEscapeButton(later);
  }
  const int pressed = box.exec();
  return pressed == QMessageBox::Yes  ? Answer::Yes
         : pressed == QMessageBox::No ? Answer::No
                                      : Answer::PutOff;
}

bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer answer) {
  return ask(parent, text, answer, Escape::AnswersNo) == Answer::Yes;
}

ApplyChoice askApply(QWidget* parent, const QString& report, bool whole, bool part) {
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, report, QMessageBox::Cancel, parent);
  box.setObjectName("msgApplyPatch");
  box.setTextFormat(Qt::PlainText);
  if (whole) box.setDefaultButton(box.addButton(QMessageBox::Apply));
  if (part) box.addButton(QMessageBox::YesToAll)->setText("Apply the rest");
  box.setEscapeButton(QMessageBox::Cancel);
  const int pressed = box.exec();
  return pressed == QMessageBox::Apply      ? ApplyChoice::Apply
         : pressed == QMessageBox::YesToAll ? ApplyChoice::ApplyRest
                                            : ApplyChoice::Cancel;
}

}  // namespace trimlet
