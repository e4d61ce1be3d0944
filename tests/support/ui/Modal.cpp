#include "support/ui/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

namespace trimlet::test {

namespace {
std::vector<SeenMessage> g_seen;
}

QStringList answerMessages(const std::function<void()>& action,
                           QMessageBox::StandardButton answer) {
  g_seen.clear();
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    g_seen.push_back({box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                      box->textFormat(), box->detailedText()});
    QAbstractButton* button = box->button(answer);
    if (button == nullptr) button = box->buttons().value(0);
    button->click();
  });
  timer.start();
  action();
  timer.stop();
  QStringList texts;
  for (const SeenMessage& seen : g_seen) texts << seen.text;
  return texts;
}

const std::vector<SeenMessage>& lastMessages() { return g_seen; }

}  // namespace trimlet::test
