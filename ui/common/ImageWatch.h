// The image's announcements brought to the windows as signals, with the reference's changes.
#pragma once

#include <QObject>

#include "core/image.h"

namespace trimlet {

// One subscription to the image for a whole window: each announced change becomes a signal its
// views connect to. A new reference (the image to compare with) is announced here by the window
// that sets it, since it changes every mark but no byte.
class ImageWatch : public QObject {
  Q_OBJECT

 public:
  explicit ImageWatch(QObject* parent = nullptr);

  void announceReference() { emit referenceChanged(); }

 signals:
  void imageChanged(const trimlet::ImageChange& change);
  void referenceChanged();

 private:
  ImageSubscription subscription_;
};

}  // namespace trimlet
