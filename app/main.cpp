// Trimlet: an editor for the calibration data of engine computers.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyleFactory>
#include <cstdlib>

#include "core/settings.h"
#include "core/settings_location.h"
#include "ui/main/frmMain.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  // Lets the desktop match the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(TRIMLET_DESKTOP_ID);

  // The settings file lies beside the executable, named after it; an installed program cannot
  // write there and keeps it in the user's configuration folder. Either way its one section is
  // named after the executable.
  const QFileInfo executable(QCoreApplication::applicationFilePath());
#ifdef TRIMLET_USER_SETTINGS
  const std::string path =
      trimlet::userSettingsFile(std::getenv("XDG_CONFIG_HOME"), QDir::homePath().toStdString());
  trimlet::makeFoldersFor(path);
#else
  const std::string path =
      (executable.absolutePath() + "/" + executable.completeBaseName() + ".ini").toStdString();
#endif
  trimlet::setSettingsFile(path, executable.completeBaseName().toStdString());

  trimlet::frmMain window;
  window.show();
  return QApplication::exec();
}
