#include "ui/editor/frmEditor.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "core/settings.h"
#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

constexpr char kAsk[] = "BIN File has not been changed. Would you like to save it now?";

QStringList entries(const QComboBox* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
  return names;
}

class EditorFrame : public EditorTest {
 protected:
  // 64 bytes with one flag byte at 0x10 holding 0x0F, edited as the user does: its top bit set.
  void openAndEdit() {
    image = patternBytes(64);
    image[0x10] = 0x0F;
    ASSERT_TRUE(open(image, {flagItem("Options", "10")}));
    pick("cmbFlag", "Options");
    click("chkFlag(0)");
    ASSERT_FALSE(saved());
    edited = image;
    edited[0x10] = 0x8F;
  }

  [[nodiscard]] QString savedMessage() const {
    return QString::fromStdString(binPath).toUpper() + " Saved.";
  }

  // A folder where the BIN file is makes saving fail; the file itself is kept aside.
  void blockFile() const {
    fs::rename(binPath, binPath + ".kept");
    fs::create_directory(binPath);
  }
  void unblockFile() const {
    fs::remove(binPath);
    fs::rename(binPath + ".kept", binPath);
  }

  QStringList closeAnswering(QMessageBox::StandardButton answer) {
    return answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); }, answer);
  }

  std::vector<unsigned char> image, edited;
};

TEST_F(EditorFrame, OpensWithEachNameInItsListInFileOrderAndTheFileSizeInTheCaption) {
  ASSERT_TRUE(open(patternBytes(20000),
                   {flagItem("F1", "10"), valueItem("V1", "20", 1), tableItem("A1", "30", 8, 1),
                    tableItem("M1", "40", 4, 4), tableItem("A2", "50", 1, 6), flagItem("F2", "11"),
                    valueItem("V2", "21", 2)}));
  EXPECT_EQ(entries(child<QComboBox>("cmbFlag")), QStringList({"F1", "F2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb0Dim")), QStringList({"V1", "V2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb1Dim")), QStringList({"A1", "A2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb2Dim")), QStringList({"M1"}));
  const EditorFields& f = editor->fields();
  EXPECT_EQ(std::vector<int>({f.FlagIndex[2], f.ValueIndex[2], f.ArrayIndex[2], f.MapIndex[1]}),
            std::vector<int>({6, 7, 5, 4}));
  EXPECT_EQ(child<QComboBox>("cmbFlag")->currentIndex(), -1);
  EXPECT_EQ(editor->windowTitle(), "Trimlet Version 1.00     File Size: 19.53125K");
  EXPECT_NE(readText(settingsFilePath()).find("Upload Execute="), std::string::npos);
}

TEST_F(EditorFrame, SaveWritesTheFileConfirmsAndLeavesNothingToAskOnClosing) {
  openAndEdit();
  click("chkFlag(0)");  // Enter in the window presses no button by itself
  click("chkFlag(0)");
  QTest::keyClick(editor.get(), Qt::Key_Return);
  EXPECT_EQ(readBytes(binPath), image);
  EXPECT_EQ(answerMessages([&] { click("cmdSave"); }), QStringList({savedMessage()}));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::NoIcon);
  EXPECT_TRUE(saved());
  EXPECT_EQ(readBytes(binPath), edited);
  EXPECT_TRUE(closeAnswering(QMessageBox::Yes).isEmpty());
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorFrame, AFailedSaveSaysWhyAndKeepsTheEditsUnsaved) {
  openAndEdit();
  blockFile();
  const QStringList failed = answerMessages([&] { click("cmdSave"); });
  ASSERT_EQ(failed.size(), 1);
  EXPECT_TRUE(failed[0].contains("could not be saved")) << failed[0].toStdString();
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  EXPECT_FALSE(saved());
  unblockFile();
  EXPECT_EQ(readBytes(binPath), image);
  EXPECT_EQ(answerMessages([&] { click("cmdSave"); }), QStringList({savedMessage()}));
  EXPECT_EQ(readBytes(binPath), edited);
}

TEST_F(EditorFrame, ClosingAfterAnEditAsksAndSavesOnlyOnYes) {
  openAndEdit();
  editor->fields().MapRows = 3;
  blockFile();
  EXPECT_EQ(closeAnswering(QMessageBox::Yes).value(0), kAsk);
  EXPECT_TRUE(editor->isVisible());  // the save failed: the edits are still there
  EXPECT_EQ(editor->fields().MapRows, 3);
  unblockFile();
  EXPECT_EQ(closeAnswering(QMessageBox::Yes), QStringList({kAsk, savedMessage()}));
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(editor->fields().MapRows, 0);
  EXPECT_EQ(readBytes(binPath), edited);

  openAndEdit();
  EXPECT_EQ(closeAnswering(QMessageBox::No), QStringList({kAsk}));
  EXPECT_EQ(lastMessages().at(0).buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(readBytes(binPath), image);
}

// The save rule and the command, and what "Upload Changes" does with them after an edit: a
// command that starts is seen by the file it writes; a command that does not start would say
// so at once, so no message proves that nothing was started.
TEST_F(EditorFrame, UploadSavesByItsRuleAndStartsTheCommandAsWritten) {
  const std::string script =
      dir.write("upload.sh", "printf '%s|' \"$#\" \"$@\" > \"$(dirname \"$0\")/marker\"\n");
  const std::string marker = (dir.path() / "marker").string();
  const std::string command = "sh " + script + " one \"two three\"";
  struct Case {
    const char* rule;  // nullptr: none stored
    std::string command;
    bool blocked;  // the save fails
    bool saves, starts;
    const char* storedRule;
  };
  const Case cases[] = {
      {"yes please", command, false, true, true, "yes please"},
      {"N", command, false, false, true, "N"},
      {nullptr, command, false, false, true, "N"},
      {"Y", "   ", false, true, false, "Y"},
      {"y", "/no/such/uploader", true, false, false, "y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    openAndEdit();
    fs::remove(marker);
    INI_Write("Save Before Execute (Y/N)", c.rule ? c.rule : "");
    INI_Write("Upload Execute", c.command);
    if (c.blocked) blockFile();
    const QStringList shown = answerMessages([&] { click("cmdUpload"); });
    if (c.blocked) unblockFile();
    EXPECT_EQ(shown.size(), c.saves || c.blocked ? 1 : 0) << shown.join("|").toStdString();
    if (c.saves) {
      EXPECT_EQ(shown.value(0), savedMessage());
    }
    EXPECT_EQ(saved(), c.saves);
    EXPECT_EQ(readBytes(binPath), c.saves ? edited : image);
    EXPECT_EQ(INI_Read("Save Before Execute (Y/N)"), c.storedRule);
    if (c.starts) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return readText(marker) == "2|one|two three|"; }, 10000));
    }
  }
}

TEST_F(EditorFrame, AnUploadCommandThatCannotStartIsReported) {
  openAndEdit();
  for (const std::string command : {"/no/such/uploader --port 1", "\"\" --port 1"}) {
    INI_Write("Upload Execute", command);
    const QStringList shown = answerMessages([&] { click("cmdUpload"); });
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("The upload command could not be started:\n" +
                                    QString::fromStdString(command)));
    EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  }
}

}  // namespace
}  // namespace trimlet::test
