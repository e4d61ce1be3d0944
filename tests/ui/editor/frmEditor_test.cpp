#include "ui/editor/frmEditor.h"

#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "core/settings.h"
#include "support/ui/Modal.h"
#include "ui/editor/EditorTest.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

QStringList entries(const QComboBox* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
  return names;
}

class EditorFrameTest : public EditorTest {
 protected:
  // A file of 64 bytes with one flag byte (0x10, holding 0x0F) and one value.
  void openSmall() {
    image = patternBytes(64);
    image[0x10] = 0x0F;
    ASSERT_TRUE(open(image, ecuText({flagItem("Options", "10"), valueItem("Idle", "20", 1)})));
  }

  // An edit as the user makes it: a click on the top bit box of "Options".
  void editFlag() {
    pick("cmbFlag", "Options");
    QTest::mouseClick(child<QCheckBox>("chkFlag(0)"), Qt::LeftButton);
    ASSERT_FALSE(editor->fields().Saved);
  }

  [[nodiscard]] unsigned char byteOnDisk(size_t at) const { return readBytes(binPath).at(at); }

  // Puts a folder where the BIN file is, so that saving fails; the file itself is kept aside.
  void blockFile() const {
    fs::rename(binPath, binPath + ".kept");
    fs::create_directory(binPath);
  }
  void unblockFile() const {
    fs::remove(binPath);
    fs::rename(binPath + ".kept", binPath);
  }

  [[nodiscard]] QString savedMessage() const {
    return QString::fromStdString(binPath).toUpper() + " Saved.";
  }

  // Presses Esc in the window and answers its questions with `answer`.
  QStringList pressEscape(QMessageBox::StandardButton answer) {
    return answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); }, answer);
  }

  std::vector<unsigned char> image;
};

// ---- opening -------------------------------------------------------------------------------

TEST_F(EditorFrameTest, ListsHoldEachNameOnceInFileOrder) {
  ASSERT_TRUE(open(patternBytes(256), ecuText({
                                          flagItem("F1", "10"),
                                          valueItem("V1", "20", 1),
                                          tableItem("A1", "30", 8, 1),
                                          tableItem("M1", "40", 4, 4),
                                          tableItem("A2", "50", 1, 6),
                                          flagItem("F2", "11"),
                                          valueItem("V2", "21", 2),
                                      })));
  EXPECT_EQ(entries(child<QComboBox>("cmbFlag")), QStringList({"F1", "F2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb0Dim")), QStringList({"V1", "V2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb1Dim")), QStringList({"A1", "A2"}));
  EXPECT_EQ(entries(child<QComboBox>("cmb2Dim")), QStringList({"M1"}));
  const EditorFields& fields = editor->fields();
  EXPECT_EQ(fields.FlagCount, 2);
  EXPECT_EQ(fields.FlagIndex[1], 1);
  EXPECT_EQ(fields.FlagIndex[2], 6);
  EXPECT_EQ(fields.ValueIndex[2], 7);
  EXPECT_EQ(fields.ArrayIndex[2], 5);
  EXPECT_EQ(fields.MapIndex[1], 4);
  EXPECT_EQ(child<QComboBox>("cmbFlag")->currentIndex(), -1);
  EXPECT_TRUE(child<QComboBox>("cmbFlag")->currentText().isEmpty());
}

TEST_F(EditorFrameTest, NoItemsGiveFourEmptyLists) {
  ASSERT_TRUE(open(patternBytes(16), ecuText({})));
  for (const char* list : {"cmbFlag", "cmb0Dim", "cmb1Dim", "cmb2Dim"})
    EXPECT_EQ(child<QComboBox>(list)->count(), 0) << list;
}

TEST_F(EditorFrameTest, TabsInOrderAndNoButtonTakesEnter) {
  openSmall();
  auto* tabs = child<QTabWidget>("SSTab1");
  QStringList captions;
  for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
  EXPECT_EQ(captions, QStringList({"Flags", "Values", "Arrays", "3D Maps", "Hex"}));
  for (const char* name : {"cmdSave", "cmdUpload"})
    EXPECT_FALSE(child<QPushButton>(name)->autoDefault() || child<QPushButton>(name)->isDefault());
}

TEST_F(EditorFrameTest, CaptionShowsTheFileSizeInKilobytes) {
  ASSERT_TRUE(open(patternBytes(32768), ecuText({})));
  EXPECT_EQ(editor->windowTitle(), "Trimlet Version 1.00     File Size: 32K");
  ASSERT_TRUE(open(patternBytes(20000), ecuText({})));
  EXPECT_EQ(editor->windowTitle(), "Trimlet Version 1.00     File Size: 19.53125K");
}

TEST_F(EditorFrameTest, FirstOpeningAddsAnEmptyUploadEntry) {
  openSmall();
  EXPECT_NE(readText(settingsFilePath()).find("Upload Execute="), std::string::npos);
  EXPECT_TRUE(INI_Read("Upload Execute").empty());
}

// ---- saving --------------------------------------------------------------------------------

TEST_F(EditorFrameTest, SaveWritesTheFileAndConfirmsWithTheUpperCasePath) {
  openSmall();
  editFlag();
  const QStringList messages =
      answerMessages([&] { QTest::mouseClick(child<QPushButton>("cmdSave"), Qt::LeftButton); });
  EXPECT_EQ(messages, QStringList({savedMessage()}));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::NoIcon);
  EXPECT_TRUE(editor->fields().Saved);
  EXPECT_EQ(byteOnDisk(0x10), 0x8F);
  image[0x10] = 0x8F;
  EXPECT_EQ(readBytes(binPath), image);

  EXPECT_TRUE(pressEscape(QMessageBox::Yes).isEmpty());  // nothing left to ask about
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorFrameTest, FailedSaveSaysWhyAndKeepsTheEditsUnsaved) {
  openSmall();
  editFlag();
  blockFile();
  const QStringList messages = answerMessages([&] { editor->cmdSave_Click(); });
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("could not be saved")) << messages[0].toStdString();
  EXPECT_FALSE(messages[0].contains("Saved."));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  EXPECT_FALSE(editor->fields().Saved);
  unblockFile();
  EXPECT_EQ(readBytes(binPath), image);

  EXPECT_EQ(answerMessages([&] { editor->cmdSave_Click(); }), QStringList({savedMessage()}));
  EXPECT_EQ(byteOnDisk(0x10), 0x8F);
}

// ---- closing -------------------------------------------------------------------------------

TEST_F(EditorFrameTest, ClosingAfterAnEditAsksAndNoWritesNothing) {
  openSmall();
  editFlag();
  editor->fields().ArrayCols = 5;
  const QStringList messages = pressEscape(QMessageBox::No);
  EXPECT_EQ(messages,
            QStringList({"BIN File has not been changed. Would you like to save it now?"}));
  EXPECT_EQ(lastMessages().at(0).buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(editor->fields().ArrayCols, 0);
  EXPECT_EQ(readBytes(binPath), image);
}

TEST_F(EditorFrameTest, ClosingWithYesSavesAndConfirms) {
  openSmall();
  editFlag();
  const QStringList messages = answerMessages([&] { editor->close(); }, QMessageBox::Yes);
  EXPECT_EQ(messages, QStringList({"BIN File has not been changed. Would you like to save it now?",
                                   savedMessage()}));
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(byteOnDisk(0x10), 0x8F);
}

TEST_F(EditorFrameTest, ClosingStaysOpenWhenTheSaveFails) {
  openSmall();
  editFlag();
  editor->fields().MapRows = 3;
  blockFile();
  QStringList messages = pressEscape(QMessageBox::Yes);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].contains("could not be saved"));
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(editor->fields().Saved);
  EXPECT_EQ(editor->fields().MapRows, 3);  // the window did not close

  unblockFile();
  messages = pressEscape(QMessageBox::Yes);
  EXPECT_EQ(messages.value(1), savedMessage());
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(byteOnDisk(0x10), 0x8F);
}

// ---- uploading -----------------------------------------------------------------------------

class EditorUploadTest : public EditorFrameTest {
 protected:
  void SetUp() override {
    EditorFrameTest::SetUp();
    openSmall();
    // The script records the arguments it was given, so the test sees the command unchanged.
    script = dir.write("upload.sh", "printf '%s|' \"$#\" \"$@\" > \"$(dirname \"$0\")/marker\"\n");
    marker = (dir.path() / "marker").string();
    INI_Write("Upload Execute", "sh " + script + " one \"two three\"");
  }

  QStringList upload() {
    return answerMessages(
        [&] { QTest::mouseClick(child<QPushButton>("cmdUpload"), Qt::LeftButton); });
  }

  [[nodiscard]] bool ran() const {
    return QTest::qWaitFor([&] { return readText(marker) == "2|one|two three|"; }, 10000);
  }

  std::string script;
  std::string marker;
};

TEST_F(EditorUploadTest, SaveBeforeExecuteYesSavesThenStartsTheCommandUnchanged) {
  INI_Write("Save Before Execute (Y/N)", "yes please");
  editFlag();
  EXPECT_EQ(upload(), QStringList({savedMessage()}));
  EXPECT_TRUE(editor->fields().Saved);
  EXPECT_EQ(byteOnDisk(0x10), 0x8F);
  EXPECT_TRUE(ran());
}

TEST_F(EditorUploadTest, SaveBeforeExecuteNoStartsWithoutSaving) {
  INI_Write("Save Before Execute (Y/N)", "N");
  editFlag();
  EXPECT_TRUE(upload().isEmpty());
  EXPECT_FALSE(editor->fields().Saved);
  EXPECT_EQ(readBytes(binPath), image);
  EXPECT_TRUE(ran());
}

TEST_F(EditorUploadTest, MissingSaveRuleBecomesNo) {
  EXPECT_TRUE(upload().isEmpty());
  EXPECT_EQ(INI_Read("Save Before Execute (Y/N)"), "N");
  EXPECT_TRUE(ran());
}

TEST_F(EditorUploadTest, EmptyCommandStartsNothingButStillSaves) {
  INI_Write("Upload Execute", "   ");
  INI_Write("Save Before Execute (Y/N)", "Y");
  editFlag();
  EXPECT_EQ(upload(), QStringList({savedMessage()}));
  QTest::qWait(200);
  EXPECT_FALSE(fs::exists(marker));
}

TEST_F(EditorUploadTest, FailedSaveStartsNoProgram) {
  INI_Write("Save Before Execute (Y/N)", "Y");
  editFlag();
  blockFile();
  const QStringList messages = upload();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("could not be saved"));
  QTest::qWait(200);
  EXPECT_FALSE(fs::exists(marker));
  unblockFile();
}

TEST_F(EditorUploadTest, CommandThatCannotStartIsReported) {
  INI_Write("Upload Execute", "/no/such/uploader --port 1");
  const QStringList messages = upload();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("/no/such/uploader --port 1")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("No such file or directory")) << messages[0].toStdString();
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
}

TEST_F(EditorUploadTest, CommandWithoutAProgramIsReported) {
  INI_Write("Upload Execute", "\"\" --port 1");
  const QStringList messages = upload();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("The upload command could not be started:"));
}

}  // namespace
}  // namespace trimlet::test
