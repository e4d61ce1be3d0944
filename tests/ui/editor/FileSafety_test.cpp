// The editor with files other programs change, commands too long to read and captions of any
// length: it asks before overwriting, starts nothing it cannot read whole and shows captions
// clipped.
#include <filesystem>
#include <functional>

#include "core/settings.h"
#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

class EditorSafety : public EditorTest {
 protected:
  // A small image with one flag byte, its top bit clicked: unsaved.
  void openAndEdit() {
    image = patternBytes(64);
    ASSERT_TRUE(open(image, {flagItem("Options", "10")}));
    pick("cmbFlag", "Options");
    click("chkFlag(0)");
    image[0x10] ^= 0x80;
  }

  std::vector<unsigned char> image;
};

// Save Changes, Upload Changes saving first, and closing with Yes all ask the same question,
// No being what Enter presses; Yes writes the image over the file, No writes nothing.
TEST_F(EditorSafety, EverySaveAsksBeforeWritingOverAFileChangedSinceTheLoad) {
  INI_Write("Save Before Execute (Y/N)", "Y");
  const std::pair<std::function<void()>, bool> ways[] = {
      // the action; whether it closes
      {[&] { click("cmdSave"); }, false},
      {[&] { click("cmdUpload"); }, false},
      {[&] { QTest::keyClick(editor.get(), Qt::Key_Escape); }, true}};
  const std::vector<unsigned char> theirs(128, 'T');
  for (const auto& [act, closes] : ways) {
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
      SCOPED_TRACE(testing::Message() << closes << answer);
      openAndEdit();
      fs::rename(dir.write("new.bin", theirs), binPath);
      const QStringList seen =
          answerMessages(act, closes ? std::vector{QMessageBox::Yes, answer} : std::vector{answer});
      const bool yes = answer == QMessageBox::Yes;
      ASSERT_EQ(seen.size(), (closes ? 2 : 1) + (yes ? 1 : 0));
      EXPECT_TRUE(seen[closes ? 1 : 0].startsWith(QString::fromStdString(
          "The BIN file " + binPath +
          " has changed since Trimlet loaded it: it was replaced by another file.\n\nSave your "
          "image over it?")));
      EXPECT_EQ(lastMessages().at(closes ? 1 : 0).defaultButton, QMessageBox::No);
      EXPECT_EQ(seen.last().endsWith(" Saved."), yes);
      EXPECT_EQ(readBytes(binPath), yes ? image : theirs);
      EXPECT_EQ(editor->fields().Saved, yes);
      EXPECT_EQ(editor->isVisible(), !(closes && yes));
    }
  }
}

TEST_F(EditorSafety, UploadCommandTooLongToReadWholeStartsNothing) {
  openAndEdit();
  // Were it cut and started anyway, the missing program would be reported too.
  INI_Write("Upload Execute", "/no/such/uploader " + std::string(300, 'x'));
  EXPECT_EQ(answerMessages([&] { click("cmdUpload"); }),
            QStringList("The upload command in the settings file is longer than 254 characters, "
                        "so Trimlet cannot read it whole and does not start it."));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
}

// Labels and lists show the first 200 characters (not bytes); the item table keeps all.
TEST_F(EditorSafety, LongCaptionsAndNamesAreShownClipped) {
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "\u00E9";
  ECU_Item flag = flagItem(longText, "10"), value = valueItem("Idle", "20", 1),
           map = tableItem(longText, "30", 4, 4);
  flag.Xaxis = flag.Xlabel = flag.Ylabel = value.Xlabel = map.Xlabel = map.Ylabel = longText;
  ASSERT_TRUE(open(patternBytes(64), {flag, value, map}));
  const QString shown(200, QChar(0xE9));
  pick("cmbFlag", shown);
  pick("cmb0Dim", "Idle");
  pick("cmb2Dim", shown);
  click("cmdShowIn_2");  // the name as the Z title
  for (const char* label : {"lblFlag_Xaxis", "lblFlag_Xlabel", "lblFlag_Ylabel", "lblValue_Xlabel",
                            "lblMap_Xlabel", "lblMap_Ylabel", "lblMap_Zlabel"})
    EXPECT_EQ(text(label), shown) << label;
  EXPECT_EQ(ECU_Items[3].Name, longText);
}

}  // namespace
}  // namespace trimlet::test
