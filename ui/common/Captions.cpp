#include "ui/common/Captions.h"

#include "core/text.h"

namespace trimlet {

QString versionText() {
  return QString::number(TRIMLET_VERSION_MAJOR) + "." + QString::number(TRIMLET_VERSION_MINOR) +
         QString::number(TRIMLET_VERSION_PATCH);
}

QString fileCaption(const QString& program, double bytes) {
  return program + " Version " + versionText() +
         "     File Size: " + QString::fromStdString(realText(bytes / 1024)) + "K";
}

}  // namespace trimlet
