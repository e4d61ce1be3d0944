// One QApplication for all UI tests, offscreen, with the program's own style.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>
#include <filesystem>

#include "support/TempDir.h"

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt keeps runtime files there; a folder of the test's own leaves nothing behind.
  const trimlet::test::TempDir runtime;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", runtime.path().string().c_str());
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
