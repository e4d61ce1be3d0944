// Keeps a view that shows part of the image in step with it.
#pragma once

#include <QObject>
#include <functional>

#include "core/image.h"

class QWidget;

namespace trimlet {

class ImageWatch;

// After an announced change that touches what the view shows, the view is stale: `refresh` runs
// at the next turn of the event loop, once however many changes came in this one, or when the
// view is next shown if it is hidden now. A view that read the image itself says so with
// caughtUp(), and a refresh still due is dropped.
class ViewFollower : public QObject {
  Q_OBJECT

 public:
  ViewFollower(QWidget* view, const ImageWatch& watch,
               std::function<bool(const ImageChange&)> touches, std::function<void()> refresh);

  [[nodiscard]] bool stale() const { return stale_; }
  void caughtUp() { stale_ = false; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void changed(const ImageChange& change);
  void schedule();

  QWidget* view_;
  std::function<bool(const ImageChange&)> touches_;
  std::function<void()> refresh_;
  bool stale_ = false;
  bool queued_ = false;
};

}  // namespace trimlet
