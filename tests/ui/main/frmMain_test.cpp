#include "ui/main/frmMain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"
#include "support/ui/Modal.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using test::answerMessages;
using test::lastMessages;
using test::TempDir;

constexpr char kEcu[] =
    "ECU FORMAT 1\n{\nTitle=Test\nVersion=1\nA=\nB=\nC=\nD=\nItems=2\n}\n"
    "{\nAddress=1F00, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=0\n"
    "Name=Option flags, Ylabel=Bit, Yaxis=Fan1 Fan2, Xlabel=On, Xaxis=Word\n}\n"
    "{\nAddress=2000, Cols=8, Rows=1, Bytes=1, Kind=0, Offset=-40, Operation=0, Factor=0.75\n"
    "Name=Deg C, Ylabel=Temp, Yaxis=, Xlabel=Counts, Xaxis=\n}\n";

// Runs `action`; the first time a modal window named `name` is up, hands it to `handle`, which
// must close it. A window still up afterwards is rejected so that a failing test cannot hang.
int whileModal(const QString& name, const std::function<void(QWidget*)>& handle,
               const std::function<void()>& action) {
  int seen = 0;
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || window->objectName() != name || !window->isVisible()) return;
    if (seen++ == 0) {
      handle(window);
    } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
      dialog->reject();
    }
  });
  timer.start();
  action();
  timer.stop();
  return seen;
}

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    settings = (dir.path() / "trimlet.ini").string();
    setSettingsFile(settings, "trimlet");
    bin = dir.write("engine.bin", test::patternBytes(16384));
    ecu = dir.write("engine.ecu", kEcu);
  }

  // The window as the program starts it, shown offscreen.
  frmMain& start() {
    window = std::make_unique<frmMain>();
    window->show();
    return *window;
  }

  QLineEdit* box(const char* name) const { return window->findChild<QLineEdit*>(name); }
  QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }

  void typePaths(const std::string& binPath, const std::string& ecuPath) {
    box("txtBIN")->setText(QString::fromStdString(binPath));
    box("txtECU")->setText(QString::fromStdString(ecuPath));
  }

  TempDir dir;
  std::string settings, bin, ecu;
  std::unique_ptr<frmMain> window;
};

TEST_F(MainWindow, StartsWithCaptionAndTheRememberedPaths) {
  dir.write("trimlet.ini", "[trimlet]\nBIN Location=" + bin + "\nECU Location=" + ecu + "\n");
  start();
  EXPECT_EQ(window->windowTitle(), "Trimlet Version 1.00");
  EXPECT_EQ(window->objectName(), "frmMain");
  EXPECT_EQ(box("txtBIN")->text().toStdString(), bin);
  EXPECT_EQ(box("txtECU")->text().toStdString(), ecu);
  EXPECT_EQ(button("cmdBIN")->text(), "Select BIN File");
  EXPECT_EQ(button("cmdECU")->text(), "Select ECU File");
  EXPECT_EQ(button("cmdECU_Edit")->text(), "&Edit File");
  EXPECT_EQ(button("cmdView")->text(), "&View");
  EXPECT_FALSE(window->findChild<QLabel*>("picBadge")->pixmap().isNull());
}

TEST_F(MainWindow, WithoutSettingsStartsEmptyAndClosingWritesThePaths) {
  start();
  EXPECT_TRUE(box("txtBIN")->text().isEmpty());
  EXPECT_TRUE(box("txtECU")->text().isEmpty());
  EXPECT_EQ(answerMessages([&] { button("cmdECU_Edit")->click(); }),
            QStringList{"A BIN File, and An ECU File are required"});
  EXPECT_FALSE(fs::exists(settings));

  typePaths("/typed/a.bin", "/typed/b.ecu");
  window->close();
  EXPECT_EQ(INI_Read("BIN Location"), "/typed/a.bin");
  EXPECT_EQ(INI_Read("ECU Location"), "/typed/b.ecu");
}

TEST_F(MainWindow, ChecksThePathsInOrderAndWritesNothingOnFailure) {
  const std::string missingBin = (dir.path() / "none.bin").string();
  const std::string missingEcu = (dir.path() / "none.ecu").string();
  const std::string text = dir.write("engine.txt", kEcu);
  const std::string shortExt = dir.write("engine.ec", kEcu);
  const std::string folderEcu = (dir.path() / "folder.ecu").string();
  fs::create_directory(folderEcu);
  const QString isFolder = QString::fromLocal8Bit(std::strerror(EISDIR));
  const std::string pipeBin = (dir.path() / "pipe.bin").string();
  ASSERT_EQ(::mkfifo(pipeBin.c_str(), 0600), 0);
  struct Case {
    std::string binPath, ecuPath;
    QString message;
  };
  const Case cases[] = {
      {"", "", "A BIN File, and An ECU File are required"},
      {bin, "", "A BIN File, and An ECU File are required"},
      {"", ecu, "A BIN File, and An ECU File are required"},
      {missingBin, missingEcu, "BIN File Not Found"},
      {missingBin, text, "BIN File Not Found"},
      {bin, missingEcu, "ECU File Not Found"},
      {bin, (dir.path() / "none.txt").string(), "ECU File Not Found"},
      {bin, text, "ECU file is not correct."},
      {bin, shortExt, "ECU file is not correct."},
      {dir.path().string(), ecu, isFolder},
      {bin, folderEcu, isFolder},
      {pipeBin, ecu, QString::fromStdString(pipeBin) + " is not a regular file."},
  };
  start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.binPath + " | " + c.ecuPath);
    typePaths(c.binPath, c.ecuPath);
    for (const char* name : {"cmdECU_Edit", "cmdView"}) {
      EXPECT_EQ(answerMessages([&] { button(name)->click(); }), QStringList{c.message}) << name;
      ASSERT_EQ(lastMessages().size(), 1u);
      EXPECT_EQ(lastMessages()[0].title, "Trimlet");
      EXPECT_EQ(lastMessages()[0].icon, QMessageBox::NoIcon);
      EXPECT_EQ(lastMessages()[0].buttons, QMessageBox::Ok);
    }
    EXPECT_EQ(box("txtBIN")->text().toStdString(), c.binPath);
    EXPECT_EQ(box("txtECU")->text().toStdString(), c.ecuPath);
    EXPECT_FALSE(fs::exists(settings));
    EXPECT_TRUE(BIN_Path.empty());
  }
}

TEST_F(MainWindow, WritesTheSettingsBeforeTheWindowOpens) {
  const std::string mixedCase = dir.write("Mixed.Ecu", kEcu);
  struct Case {
    const char* button;
    const char* window;
  };
  start();
  for (const Case& c : {Case{"cmdECU_Edit", "frmEditor"}, Case{"cmdView", "frmView"}}) {
    SCOPED_TRACE(c.button);
    fs::remove(settings);
    typePaths(bin, mixedCase);
    std::string storedBin, storedEcu;
    const int opened = whileModal(
        c.window,
        [&](QWidget* opened) {
          storedBin = INI_Read("BIN Location");
          storedEcu = INI_Read("ECU Location");
          qobject_cast<QDialog*>(opened)->reject();
        },
        [&] {
          const QStringList messages = answerMessages([&] { button(c.button)->click(); });
          EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
        });
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(storedBin, bin);
    EXPECT_EQ(storedEcu, mixedCase);
    EXPECT_EQ(BIN_Path, bin);
    EXPECT_EQ(ECU_Path, mixedCase);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

TEST_F(MainWindow, FileDialogStartsInTheBoxFolderAndCancelKeepsTheBox) {
  const std::string other = dir.write("other.bin", test::patternBytes(32));
  start();
  typePaths(bin, ecu);
  QString folder, title;
  whileModal(
      "cdiBIN",
      [&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        folder = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        // Typed into the name box as a user would: selectFile leaves a focused box alone.
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(other));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the choice
      },
      [&] { button("cmdBIN")->click(); });
  EXPECT_EQ(folder.toStdString(), fs::canonical(dir.path()).string());
  EXPECT_EQ(title, "Select BIN File");
  EXPECT_EQ(box("txtBIN")->text().toStdString(), other);

  whileModal(
      "cdiECU",
      [&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        title = dialog->windowTitle();
        dialog->reject();
      },
      [&] { button("cmdECU")->click(); });
  EXPECT_EQ(title, "Select ECU File");
  EXPECT_EQ(box("txtECU")->text().toStdString(), ecu);

  // Without a folder in the box the dialog opens where the platform puts it: the current one.
  typePaths("engine.bin", ecu);
  whileModal(
      "cdiBIN",
      [&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        folder = dialog->directory().absolutePath();
        dialog->reject();
      },
      [&] { button("cmdBIN")->click(); });
  EXPECT_EQ(folder, QDir::currentPath());
  EXPECT_EQ(box("txtBIN")->text(), "engine.bin");
}

}  // namespace
}  // namespace trimlet
