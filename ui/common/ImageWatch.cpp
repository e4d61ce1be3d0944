#include "ui/common/ImageWatch.h"

namespace trimlet {

ImageWatch::ImageWatch(QObject* parent)
    : QObject(parent),
      subscription_([this](const ImageChange& change) { emit imageChanged(change); }) {}

}  // namespace trimlet
