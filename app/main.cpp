// Trimlet: an editor for the calibration data of engine computers.
#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

#include "core/settings.h"
#include "ui/main/frmMain.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));

  // The settings file lives beside the executable and is named after it.
  const QFileInfo executable(QCoreApplication::applicationFilePath());
  trimlet::setSettingsFile(
      (executable.absolutePath() + "/" + executable.completeBaseName() + ".ini").toStdString(),
      executable.completeBaseName().toStdString());

  trimlet::frmMain window;
  window.show();
  return QApplication::exec();
}
