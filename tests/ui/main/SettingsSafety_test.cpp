// The main window on a settings file it cannot use whole: no box shows a cut path, one message
// says why, and closing rewrites nothing the user did not change.
#include <QCoreApplication>

#include "core/file_read.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/main/frmMain.h"

namespace trimlet::test {
namespace {

using MainWindowSettings = EditorTest;

TEST_F(MainWindowSettings, ValuesItCannotUseWholeAreNeitherShownNorRewritten) {
  const std::string settings = (dir.path() / "trimlet.ini").string();
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
  std::unique_ptr<frmMain> main;
  const auto start = [&] {
    main = std::make_unique<frmMain>();
    window = main.get();
    main->show();
    QCoreApplication::processEvents();  // the start-up message comes once the window is up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    dir.write("trimlet.ini", c.content);
    EXPECT_EQ(answerMessages(start), QStringList(QString::fromStdString(c.message)));
    EXPECT_EQ(QStringList({text("txtBIN"), text("txtECU")}), c.boxes);
    main->close();
    EXPECT_EQ(readText(settings), c.content);
  }

  // A path the user types replaces the one too long; the other line stays as written.
  dir.write("trimlet.ini", cases[0].content);
  (void)answerMessages(start);
  child<QLineEdit>("txtBIN")->setText("/typed.bin");
  main->close();
  EXPECT_EQ(readText(settings), "[trimlet]\r\nBIN Location=/typed.bin\r\n" + kept);
}

}  // namespace
}  // namespace trimlet::test
