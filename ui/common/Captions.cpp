#include "ui/common/Captions.h"

#include "core/state.h"
#include "core/text.h"
#include "core/version.h"

namespace trimlet {

QString versionText() { return QString::fromStdString(programVersion()); }

QString fileCaption(const QString& program, double bytes) {
  return program + " Version " + versionText() +
         "     File Size: " + QString::fromStdString(realText(bytes / 1024)) + "K";
}

QString itemCaption(std::string_view text) {
  const std::string_view shown = shownCaption(text);
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString itemClassName(const ECU_Item& item) {
  if (isFlagByte(item)) return "Flag byte";
  if (isSingleValue(item)) return "Value";
  return isArray(item) ? "Array" : "Map";
}

}  // namespace trimlet
