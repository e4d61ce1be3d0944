// The main window on a settings file it cannot use whole: no box shows a cut path, one message
// says why, and closing rewrites nothing the user did not change.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <memory>

#include "core/file_read.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/main/frmMain.h"

namespace trimlet::test {
namespace {

TEST(MainWindowSettings, ValuesItCannotUseWholeAreNeitherShownNorRewritten) {
  TempDir dir;
  const std::string settings = (dir.path() / "trimlet.ini").string();
  setSettingsFile(settings, "trimlet");
  const std::string kept = "ECU Location = \"/my data/a.ecu\"\r\n";
  struct Case {
    std::string content;
    QStringList boxes;
    std::string message;
  };
  const Case cases[] = {
      {"[trimlet]\r\nBIN Location=/data/" + std::string(335, 'p') + ".bin\r\n" + kept,
       {"", "/my data/a.ecu"},
       "The \"BIN Location\" in the settings file is longer than 254 characters, so its box "
       "starts empty."},
      {"[trimlet]\nBIN Location=/a.bin\n" + std::string(kMaxTextFileBytes, '\n'),
       {"", ""},
       "The settings file " + settings +
           " is too large: it holds 4,194,334 bytes, and Trimlet holds at most 4,194,304 bytes. "
           "The file boxes start empty, and Trimlet leaves the file as it is."},
  };
  std::unique_ptr<frmMain> window;
  const auto start = [&] {
    window = std::make_unique<frmMain>();
    window->show();
    QCoreApplication::processEvents();  // the start-up message comes once the window is up
  };
  const auto boxes = [&] {
    return QStringList{window->findChild<QLineEdit*>("txtBIN")->text(),
                       window->findChild<QLineEdit*>("txtECU")->text()};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    dir.write("trimlet.ini", c.content);
    EXPECT_EQ(answerMessages(start), QStringList(QString::fromStdString(c.message)));
    EXPECT_EQ(boxes(), c.boxes);
    window->close();
    EXPECT_EQ(readText(settings), c.content);
  }

  // A path the user types replaces the one too long; the other line stays as written.
  dir.write("trimlet.ini", cases[0].content);
  (void)answerMessages(start);
  window->findChild<QLineEdit*>("txtBIN")->setText("/typed.bin");
  window->close();
  EXPECT_EQ(readText(settings), "[trimlet]\r\nBIN Location=/typed.bin\r\n" + kept);
}

}  // namespace
}  // namespace trimlet::test
