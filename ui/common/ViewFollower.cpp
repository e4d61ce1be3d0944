#include "ui/common/ViewFollower.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "ui/common/ImageWatch.h"

namespace trimlet {

ViewFollower::ViewFollower(QWidget* view, const ImageWatch& watch,
                           std::function<bool(const ImageChange&)> touches,
                           std::function<void()> refresh)
    : QObject(view), view_(view), touches_(std::move(touches)), refresh_(std::move(refresh)) {
  connect(&watch, &ImageWatch::imageChanged, this, &ViewFollower::changed);
  view->installEventFilter(this);
}

void ViewFollower::changed(const ImageChange& change) {
  if (stale_ || !touches_(change)) return;
  stale_ = true;
  schedule();
}

void ViewFollower::schedule() {
  if (queued_ || !view_->isVisible()) return;
  queued_ = true;
  // Queued, so that the handler that made the change finishes first, and a view it redrew
  // itself is not drawn twice.
  QTimer::singleShot(0, this, [this] {
    queued_ = false;
    if (stale_ && view_->isVisible()) refresh_();
  });
}

bool ViewFollower::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::Show && stale_) schedule();
  return QObject::eventFilter(watched, event);
}

}  // namespace trimlet
