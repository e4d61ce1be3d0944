#include "ui/common/MousePointer.h"

#include <QApplication>
#include <QCursor>

namespace trimlet {

void setBusyPointer() {
  if (QApplication::overrideCursor() == nullptr) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void setDefaultPointer() {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
}

}  // namespace trimlet
