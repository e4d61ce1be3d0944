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

#include "core/file_read.h"
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

TEST_F(MainWindow, ChecksThePathsInOrderAndWritesNothingOnFailure) {
  const std::string missingBin = (dir.path() / "none.bin").string();
  const std::string missingEcu = (dir.path() / "none.ecu").string();
  const std::string notEcu = dir.write("engine.txt", "ECU FORMAT");
  const std::string folderEcu = (dir.path() / "folder.ecu").string();
  fs::create_directory(folderEcu);
  const std::string pipeBin = (dir.path() / "pipe.bin").string();
  ASSERT_EQ(::mkfifo(pipeBin.c_str(), 0600), 0);
  const QString isFolder = QString::fromLocal8Bit(std::strerror(EISDIR));
  const QString required = "A BIN File, and An ECU File are required";
  const std::tuple<std::string, std::string, QString> cases[] = {
      {"", ecu, required},
      {bin, "", required},
      {missingBin, missingEcu, "BIN File Not Found"},
      {bin, missingEcu, "ECU File Not Found"},
      {bin, notEcu, "ECU file is not correct."},
      {bin, dir.write("engine.ec", "x"), "ECU file is not correct."},
      {dir.path().string(), ecu, isFolder},
      {bin, folderEcu, isFolder},
      {pipeBin, ecu, QString::fromStdString(pipeBin) + " is not a regular file."},
  };
  start();
  for (const auto& [binPath, ecuPath, message] : cases) {
    SCOPED_TRACE(binPath + " | " + ecuPath);
    typePaths(binPath, ecuPath);
    for (const char* name : {"cmdECU_Edit", "cmdView"}) {
      EXPECT_EQ(answerMessages([&] { click(name); }), QStringList{message}) << name;
      EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::NoIcon);
    }
    EXPECT_EQ(child<QLineEdit>("txtBIN")->text().toStdString(), binPath);
    EXPECT_FALSE(fs::exists(settings));
    EXPECT_TRUE(BIN_Path.empty());
  }
}

TEST_F(MainWindow, RemembersThePathsBeforeEitherWindowOpens) {
  const std::string mixedCase = dir.write("Mixed.Ecu", ecuText({}));
  start();
  for (const auto& [button, name] :
       {std::pair{"cmdECU_Edit", "frmEditor"}, {"cmdView", "frmView"}}) {
    fs::remove(settings);
    typePaths(bin, mixedCase);
    std::string stored;
    const int opened = whileModal(
        name,
        [&](QDialog* opening) {
          stored = INI_Read("BIN Location") + "|" + INI_Read("ECU Location");
          opening->reject();
        },
        [&] { EXPECT_TRUE(answerMessages([&] { click(button); }).isEmpty()); });
    EXPECT_EQ(opened, 1) << name;
    EXPECT_EQ(stored, bin + "|" + mixedCase);
    EXPECT_EQ(ECU_Path, mixedCase);
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
      {"", "", "", home},
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
      {drop("txtECU", {url(bin2)}), {"/a.bin", q(bin2)}},
      {drop("", {url(ecu2)}), {"/a.bin", q(ecu2)}},
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

// The boxes start with the remembered paths; on a settings file it cannot use whole, no box
// shows a cut path, one message says why, and closing rewrites nothing the user did not change.
TEST_F(MainWindow, ValuesItCannotUseWholeAreNeitherShownNorRewritten) {
  const std::string kept = "ECU Location = \"/my data/a.ecu\"\r\n";
  // The settings file, the boxes shown, the message.
  const std::tuple<std::string, QStringList, std::string> cases[] = {
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
  for (const auto& [content, boxes, message] : cases) {
    SCOPED_TRACE(message);
    dir.write("trimlet.ini", content);
    EXPECT_EQ(answerMessages([&] { start(); }), QStringList(QString::fromStdString(message)));
    EXPECT_EQ(QStringList({text("txtBIN"), text("txtECU")}), boxes);
    main->close();
    EXPECT_EQ(readText(settings), content);
  }

  // A path the user types replaces the one too long; the other line stays as written.
  dir.write("trimlet.ini", std::get<0>(cases[0]));
  (void)answerMessages([&] { start(); });
  EXPECT_EQ(main->windowTitle(), "Trimlet Version 1.00");
  child<QLineEdit>("txtBIN")->setText("/typed.bin");
  main->close();
  EXPECT_EQ(readText(settings), "[trimlet]\r\nBIN Location=/typed.bin\r\n" + kept);
}

}  // namespace
}  // namespace trimlet::test
