// The one application each benchmark program needs, offscreen unless a platform is named, in
// the program's own style. It is never destroyed: as a static it would go after Qt's own
// statics and crash the program once the figures are out.
#pragma once

#include <QApplication>
#include <QStyleFactory>

namespace trimlet::bench {

inline void ensureApplication() {
  static int argc = 1;
  static char name[] = "trimlet-bench";
  static char* argv[] = {name, nullptr};
  [[maybe_unused]] static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* created = new QApplication(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    return created;
  }();
}

}  // namespace trimlet::bench
