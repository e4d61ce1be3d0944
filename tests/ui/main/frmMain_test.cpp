#include "ui/main/frmMain.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/settings.h"
#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

class MainWindow : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    settings = (dir.path() / "trimlet.ini").string();
    bin = dir.write("engine.bin", patternBytes(16384));
    ecu = dir.write("engine.ecu", ecuText({flagItem("Options", "10")}));
  }

  void start() {
    main = std::make_unique<frmMain>();
    window = main.get();
    main->show();
    QCoreApplication::processEvents();  // a start-up message comes once the window is up
  }
  void typePaths(const std::string& binPath, const std::string& ecuPath) const {
    child<QLineEdit>("txtBIN")->setText(QString::fromStdString(binPath));
    child<QLineEdit>("txtECU")->setText(QString::fromStdString(ecuPath));
  }

  std::string settings, bin, ecu;
  std::unique_ptr<frmMain> main;
};

// Either button checks the paths in this order and writes nothing on a failure; paths that pass
// (an ECU name in any case) are remembered before the window opens.
TEST_F(MainWindow, ChecksThePathsInOrderAndRemembersThemBeforeAWindowOpens) {
  const std::string none = (dir.path() / "none").string();  // with .bin or .ecu: missing
  const std::string pipeBin = (dir.path() / "pipe.bin").string();
  ASSERT_EQ(::mkfifo(pipeBin.c_str(), 0600), 0);
  const std::tuple<std::string, std::string, QString> cases[] = {
      {"", ecu, "A BIN File, and An ECU File are required"},
      {none + ".bin", none + ".ecu", "BIN File Not Found"},
      {bin, none + ".ecu", "ECU File Not Found"},
      {bin, dir.write("engine.txt", "ECU FORMAT"), "ECU file is not correct."},
      {dir.path().string(), ecu, QString::fromLocal8Bit(std::strerror(EISDIR))},
      {pipeBin, ecu, QString::fromStdString(pipeBin) + " is not a regular file."},
      {bin, dir.write("Mixed.Ecu", ecuText({})), ""},
  };
  start();
  for (const auto& [binPath, ecuPath, message] : cases) {
    SCOPED_TRACE(binPath + " | " + ecuPath);
    typePaths(binPath, ecuPath);
    for (const auto& [button, name] :
         {std::pair{"cmdECU_Edit", "frmEditor"}, {"cmdView", "frmView"}}) {
      fs::remove(settings);
      std::string stored = "nothing";
      QStringList said;
      const int opened = whileModal(
          name,
          [&](QDialog* opening) {
            stored = INI_Read("BIN Location") + "|" + INI_Read("ECU Location");
            opening->reject();
          },
          [&] { said = answerMessages([&] { click(button); }); });
      EXPECT_EQ(said, message.isEmpty() ? QStringList() : QStringList{message}) << name;
      EXPECT_TRUE(said.isEmpty() || lastMessages().at(0).icon == QMessageBox::NoIcon);
      EXPECT_EQ(opened, message.isEmpty() ? 1 : 0) << name;
      EXPECT_EQ(stored, message.isEmpty() ? binPath + "|" + ecuPath : "nothing");
      EXPECT_EQ(fs::exists(settings), message.isEmpty());
    }
    EXPECT_EQ(ECU_Path, message.isEmpty() ? ecuPath : "");
  }
}

// The dialog opens in the folder of the box's path, else of the other box's, else at home; a
// choice fills the box and Cancel keeps it.
TEST_F(MainWindow, FileDialogStartsInTheBoxFolderAndCancelKeepsTheBox) {
  const std::string other = dir.write("other.bin", patternBytes(32));
  const std::string here = fs::canonical(dir.path()).string();
  const std::string home = QDir::homePath().toStdString();
  start();
  // The BIN box, the ECU box, the file chosen (none: Cancel), the folder the dialog starts in.
  const std::tuple<std::string, std::string, std::string, std::string> rows[] = {
      {bin, "", other, here},
      {"engine.bin", ecu, "", here},
      {"/no/such/folder/x.bin", "", "", home},
  };
  for (const auto& [typed, otherBox, chosen, folder] : rows) {
    typePaths(typed, otherBox);
    std::string opened;
    whileModal(
        "cdiBIN",
        [&](QDialog* dialog) {
          opened = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath().toStdString();
          if (chosen.empty()) return dialog->reject();
          // Typed into the name box as a user would: selectFile leaves a focused box alone.
          dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(chosen));
          dialog->QDialog::accept();  // QFileDialog::accept would check the choice again
        },
        [&] { click("cmdBIN"); });
    EXPECT_EQ(opened, folder) << typed;
    EXPECT_EQ(text("txtBIN").toStdString(), chosen.empty() ? typed : chosen);
  }
}

// Files dropped fill the boxes; the pairs opened come back, newest first, in "Recent", each
// stored whole or not at all, a pair whose files are gone greyed.
TEST_F(MainWindow, DroppedFilesFillTheBoxesAndOpenedPairsAreRecent) {
  const std::string bin2 = dir.write("two.bin", patternBytes(16384)),
                    ecu2 = dir.write("two.ecu", readText(ecu));
  fs::create_directories(dir.path() / std::string(200, 'd'));
  const std::string longEcu =
      dir.write(std::string(200, 'd') + "/" + std::string(60, 'e') + ".ecu", readText(ecu));
  const auto q = [](const std::string& path) { return QString::fromStdString(path); };
  const auto url = [&](const std::string& path) { return QUrl::fromLocalFile(q(path)); };
  const auto pair = [&](const std::string& b, const std::string& e) { return q(b + "  +  " + e); };
  const auto drop = [&](const char* target, const QList<QUrl>& urls) {
    return [=, this] {
      QMimeData data;
      data.setUrls(urls);
      QWidget* on = *target != 0 ? child(target) : window;
      QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
      QDropEvent dropped({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
      const QStringList said = answerMessages([&] {
        if (QCoreApplication::sendEvent(on, &enter), enter.isAccepted())
          QCoreApplication::sendEvent(on, &dropped);
      });
      return QStringList({text("txtBIN"), text("txtECU")}) + said;
    };
  };
  // The Recent entries, "-" before a grey one; picks the entry `pick` (from 1) when told.
  const auto recent = [&](int pick = 0) {
    emit child<QLineEdit>("txtBIN")->customContextMenuRequested({5, 5});
    QMenu* list = child<QLineEdit>("txtBIN")->findChild<QMenu*>("mnuRecent");
    QStringList shown;
    for (QAction* entry : list->actions()) shown << (entry->isEnabled() ? "" : "-") + entry->text();
    if (pick > 0) list->actions().at(pick - 1)->trigger();
    delete list->parentWidget();
    return pick > 0 ? QStringList({text("txtBIN"), text("txtECU")}) : shown;
  };
  const auto view = [&](const std::string& b, const std::string& e) {
    return [=, this] {
      typePaths(b, e);
      whileModal(
          "frmView", [](QDialog* viewer) { viewer->reject(); }, [&] { click("cmdView"); });
      return recent();
    };
  };
  const std::pair<std::function<QStringList()>, QStringList> rows[] = {
      {drop("txtBIN", {url(ecu), url(bin)}), {q(bin), q(ecu)}},
      {drop("", {url(dir.path())}),
       {"/a.bin", "/a.ecu", q(dir.path()) + " is a folder: drop a BIN file or an ECU file."}},
      {drop("", {QUrl("https://example.com/a.bin")}),
       {"/a.bin", "/a.ecu",
        "https://example.com/a.bin is not a file on this computer, so Trimlet cannot open it: copy "
        "it here first."}},
      {view(bin, ecu), {pair(bin, ecu)}},
      {view(bin2, ecu2), {pair(bin2, ecu2), pair(bin, ecu)}},
      {view(bin, longEcu), {pair(bin2, ecu2), pair(bin, ecu)}},
      {[&] { return fs::remove(bin2), recent(); }, {"-" + pair(bin2, ecu2), pair(bin, ecu)}},
      {[&] { return recent(2); }, {q(bin), q(ecu)}},
  };
  start();
  for (const auto& [act, expected] : rows) {
    typePaths("/a.bin", "/a.ecu");
    EXPECT_EQ(act(), expected);
  }
  EXPECT_EQ(readText(settings).find("Recent BIN 3"), std::string::npos);  // nothing half stored
}

// The boxes start with the remembered paths; one too long to use whole shows in no box, a
// message says why, and closing rewrites nothing the user did not change.
TEST_F(MainWindow, ValuesItCannotUseWholeAreNeitherShownNorRewritten) {
  const std::string kept = "ECU Location = \"/my data/a.ecu\"\r\n";
  const std::string content =
      "[trimlet]\r\nBIN Location=/data/" + std::string(335, 'p') + ".bin\r\n" + kept;
  dir.write("trimlet.ini", content);
  EXPECT_EQ(answerMessages([&] { start(); }),
            QStringList("The \"BIN Location\" in the settings file is longer than 254 "
                        "characters, so its box starts empty."));
  EXPECT_EQ(QStringList({text("txtBIN"), text("txtECU")}), QStringList({"", "/my data/a.ecu"}));
  main->close();
  EXPECT_EQ(readText(settings), content);

  // A path the user types replaces the one too long; the other line stays as written.
  (void)answerMessages([&] { start(); });
  child<QLineEdit>("txtBIN")->setText("/typed.bin");
  main->close();
  EXPECT_EQ(readText(settings), "[trimlet]\r\nBIN Location=/typed.bin\r\n" + kept);
}

}  // namespace
}  // namespace trimlet::test
