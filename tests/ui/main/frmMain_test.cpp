#include "ui/main/frmMain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/settings.h"
#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    settings = (dir.path() / "trimlet.ini").string();
    setSettingsFile(settings, "trimlet");
    bin = dir.write("engine.bin", patternBytes(16384));
    ecu = dir.write("engine.ecu", ecuText({flagItem("Options", "10")}));
  }

  void start() {
    window = std::make_unique<frmMain>();
    window->show();
  }
  QLineEdit* box(const char* name) const { return window->findChild<QLineEdit*>(name); }
  void press(const char* name) const { window->findChild<QPushButton*>(name)->click(); }
  void typePaths(const std::string& binPath, const std::string& ecuPath) const {
    box("txtBIN")->setText(QString::fromStdString(binPath));
    box("txtECU")->setText(QString::fromStdString(ecuPath));
  }

  TempDir dir;
  std::string settings, bin, ecu;
  std::unique_ptr<frmMain> window;
};

TEST_F(MainWindow, StartsWithTheRememberedPathsAndClosingRemembersTheBoxes) {
  dir.write("trimlet.ini", "[trimlet]\nBIN Location=" + bin + "\nECU Location=" + ecu + "\n");
  start();
  EXPECT_EQ(window->windowTitle(), "Trimlet Version 1.00");
  EXPECT_EQ(box("txtBIN")->text().toStdString(), bin);
  EXPECT_EQ(box("txtECU")->text().toStdString(), ecu);
  typePaths("/typed/a.bin", "/typed/b.ecu");
  window->close();
  EXPECT_EQ(INI_Read("BIN Location"), "/typed/a.bin");
  EXPECT_EQ(INI_Read("ECU Location"), "/typed/b.ecu");
}

TEST_F(MainWindow, ChecksThePathsInOrderAndWritesNothingOnFailure) {
  const std::string missingBin = (dir.path() / "none.bin").string();
  const std::string missingEcu = (dir.path() / "none.ecu").string();
  const std::string text = dir.write("engine.txt", "ECU FORMAT");
  const std::string folderEcu = (dir.path() / "folder.ecu").string();
  fs::create_directory(folderEcu);
  const std::string pipeBin = (dir.path() / "pipe.bin").string();
  ASSERT_EQ(::mkfifo(pipeBin.c_str(), 0600), 0);
  const QString isFolder = QString::fromLocal8Bit(std::strerror(EISDIR));
  const std::tuple<std::string, std::string, QString> cases[] = {
      {"", ecu, "A BIN File, and An ECU File are required"},
      {bin, "", "A BIN File, and An ECU File are required"},
      {missingBin, missingEcu, "BIN File Not Found"},
      {missingBin, text, "BIN File Not Found"},
      {bin, missingEcu, "ECU File Not Found"},
      {bin, text, "ECU file is not correct."},
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
      EXPECT_EQ(answerMessages([&] { press(name); }), QStringList{message}) << name;
      EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::NoIcon);
    }
    EXPECT_EQ(box("txtBIN")->text().toStdString(), binPath);
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
    std::string storedBin, storedEcu;
    const int opened = whileModal(
        name,
        [&](QDialog* window) {
          storedBin = INI_Read("BIN Location");
          storedEcu = INI_Read("ECU Location");
          window->reject();
        },
        [&] { EXPECT_TRUE(answerMessages([&] { press(button); }).isEmpty()); });
    EXPECT_EQ(opened, 1) << name;
    EXPECT_EQ(storedBin, bin);
    EXPECT_EQ(storedEcu, mixedCase);
    EXPECT_EQ(ECU_Path, mixedCase);
  }
}

// The dialog opens in the box's folder (the current one for a bare name); a choice fills the
// box and Cancel keeps it.
TEST_F(MainWindow, FileDialogStartsInTheBoxFolderAndCancelKeepsTheBox) {
  const std::string other = dir.write("other.bin", patternBytes(32));
  start();
  for (const auto& [typed, chosen, folder] :
       {std::tuple{bin, other, fs::canonical(dir.path()).string()},
        {std::string("engine.bin"), std::string(), QDir::currentPath().toStdString()}}) {
    typePaths(typed, ecu);
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
        [&] { press("cmdBIN"); });
    EXPECT_EQ(opened, folder);
    EXPECT_EQ(box("txtBIN")->text().toStdString(), chosen.empty() ? typed : chosen);
  }
}

}  // namespace
}  // namespace trimlet::test
