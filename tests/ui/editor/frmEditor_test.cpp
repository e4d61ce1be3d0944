#include "ui/editor/frmEditor.h"

#include <QTableWidget>
#include <QTreeWidget>
#include <filesystem>

#include "core/recovery.h"
#include "core/settings.h"
#include "support/ui/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

constexpr char kAsk[] = "BIN File has not been changed. Would you like to save it now?";

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
  QStringList names;
  for (const char* list : {"cmbFlag", "cmb0Dim", "cmb1Dim", "cmb2Dim"})
    for (int i = 0; i < child<QComboBox>(list)->count(); ++i)
      names << child<QComboBox>(list)->itemText(i);
  EXPECT_EQ(names, QStringList({"F1", "F2", "V1", "V2", "A1", "A2", "M1"}));
  EXPECT_EQ(child<QComboBox>("cmbFlag")->currentIndex(), -1);
  EXPECT_EQ(editor->windowTitle(), "Trimlet Version 1.00     File Size: 19.53125K");
}

// A save confirms only what reached the disk; closing asks about edits not saved, and a save
// that fails there keeps the window open. A file another program changed since the load is
// written over only after a Yes, No being what Enter presses. (Which changes are seen: the
// core's test.)
TEST_F(EditorFrame, SavesConfirmOnlyWhatReachedTheDiskAndClosingAsksAboutTheRest) {
  openAndEdit();
  blockFile();
  const QStringList failed = answerMessages([&] { click("cmdSave"); });
  EXPECT_TRUE(failed.value(0).contains("could not be saved") &&
              failed.value(0).contains("\"Save a copy as…\""))
      << failed.join("|").toStdString();
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  EXPECT_EQ(closeAnswering(QMessageBox::Yes).value(0), kAsk);
  EXPECT_TRUE(editor->isVisible());
  unblockFile();
  EXPECT_EQ(readBytes(binPath), image);
  EXPECT_EQ(answerMessages([&] { click("cmdSave"); }), QStringList({savedMessage()}));
  EXPECT_EQ(readBytes(binPath), edited);
  EXPECT_EQ(readBytes((dir.path() / "image.orig.bin").string()), image);  // kept as loaded
  EXPECT_TRUE(closeAnswering(QMessageBox::Yes).isEmpty());
  EXPECT_FALSE(editor->isVisible());

  fs::remove(dir.path() / "image.orig.bin");
  INI_Write("Keep Original (Y/N)", "no");
  openAndEdit();
  // Esc leaves the question up: only a click answers it.
  EXPECT_EQ(answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); },
                           {QMessageBox::NoButton, QMessageBox::No}),
            QStringList({kAsk, kAsk}));
  EXPECT_EQ(readBytes(binPath), image);
  openAndEdit();
  const std::vector<unsigned char> theirs(128, 'T');
  fs::rename(dir.write("new.bin", theirs), binPath);
  const QString changed = QString::fromStdString(
      "The BIN file " + binPath +
      " has changed since Trimlet loaded it: it was replaced by another file.\n\nSave your image "
      "over it?");
  EXPECT_TRUE(
      answerMessages([&] { click("cmdSave"); }, QMessageBox::No).value(0).startsWith(changed));
  EXPECT_EQ(lastMessages().at(0).defaultButton, QMessageBox::No);
  EXPECT_EQ(readBytes(binPath), theirs);
  EXPECT_FALSE(saved());
  const QStringList closing = closeAnswering(QMessageBox::Yes);
  EXPECT_TRUE(closing.size() == 3 && closing[1].startsWith(changed) && closing[2] == savedMessage())
      << closing.join("|").toStdString();
  EXPECT_EQ(readBytes(binPath), edited);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_FALSE(fs::exists(dir.path() / "image.orig.bin"));
}

// The save rule and the command, and what "Upload Changes" does with them after an edit: a
// command that starts is seen by the file it writes; one that cannot start says so at once, so
// no such message proves that nothing was started.
TEST_F(EditorFrame, UploadSavesByItsRuleAndStartsTheCommandAsWritten) {
  const std::string script =
      dir.write("upload.sh", "printf '%s|' \"$#\" \"$@\" > \"$(dirname \"$0\")/marker\"\n");
  const std::string marker = (dir.path() / "marker").string();
  const std::string upload = "sh " + script + " one \"two three\"";
  // The rule stored (nullptr: none), the command, whether the save fails, whether it saves and
  // starts, the rule stored after, and the start of the one message shown when not the
  // confirmation.
  using Case = std::tuple<const char*, std::string, bool, bool, bool, const char*, const char*>;
  const char* kCannotStart = "The upload command could not be started:";
  // clang-format off
  const Case cases[] = {
      {"yes please", upload, false, true, true, "yes please", nullptr},
      {nullptr, upload, false, false, true, "N", nullptr},
      {"y", "/no/such/uploader", true, false, false, "y", "The BIN file"},
      {"N", "/no/such/uploader --port 1", false, false, false, "N", kCannotStart},
      // Were it cut and started anyway, the missing program would be reported too.
      {"N", "/no/such/uploader " + std::string(300, 'x'), false, false, false, "N",
       "The upload command in the settings file is longer than 254 characters, so Trimlet cannot "
       "read it whole and does not start it."},
  };
  // clang-format on
  for (const auto& [rule, command, blocked, saves, starts, storedRule, failure] : cases) {
    SCOPED_TRACE(command);
    openAndEdit();
    fs::remove(marker);
    INI_Write("Save Before Execute (Y/N)", rule ? rule : "");
    INI_Write("Upload Execute", command);
    if (blocked) blockFile();
    const QStringList shown = answerMessages([&] { click("cmdUpload"); });
    if (blocked) unblockFile();
    EXPECT_EQ(shown.size(), saves || failure ? 1 : 0) << shown.join("|").toStdString();
    EXPECT_TRUE(shown.value(0, "").startsWith(failure ? failure
                                              : saves ? savedMessage()
                                                      : ""))
        << shown.join("|").toStdString();
    EXPECT_EQ(saved(), saves);
    EXPECT_EQ(readBytes(binPath), saves ? edited : image);
    EXPECT_EQ(INI_Read("Save Before Execute (Y/N)"), storedRule);
    if (starts) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return readText(marker) == "2|one|two three|"; }, 10000));
    }
  }
}

// Every view that writes shows the image's bytes whenever it is shown: an edit on another tab
// of the same bytes shows there, and the next step starts from it instead of writing over it.
// (The grids: the tables' test.)
TEST_F(EditorFrame, ViewsThatWriteShowWhatOtherTabsWrote) {
  // A flag byte and a one-byte value share 0x10.
  ASSERT_TRUE(open(patternBytes(64), {flagItem("Options", "10"), valueItem("Shared", "10", 1)}));
  pick("cmb0Dim", "Shared");
  pick("cmbFlag", "Options");
  click("chkFlag(0)");
  showTab("cmb0Dim");
  EXPECT_EQ(text("txtValue_Raw"), "90");
  clickArrow("scrValue", true);
  EXPECT_EQ(stored(0x10), "91");  // the step began at the flag edit, not at 10
  showTab("cmbFlag");
  EXPECT_TRUE(child<QCheckBox>("chkFlag(7)")->isChecked());

  // A typed number not yet left is the user's: a change behind it does not replace it.
  pick("cmb0Dim", "Shared");
  type("txtValue_Raw", "12", false);
  action("actUndo")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(text("txtValue_Raw"), "12");
  // Enter in a box presses no button: nothing is saved, no message shown.
  EXPECT_TRUE(
      answerMessages([&] { QTest::keyClick(child("txtValue_Raw"), Qt::Key_Return); }).isEmpty());

  // The window's reset leaves nothing of the item shown before.
  pick("cmbFlag", "Options");
  editor->ClearVars();
  EXPECT_EQ(text("lblFlag_Xlabel") + text("lblFlag_Yaxis(0)") + text("lblFlag_Xaxis"), "");
}

// Edits not saved when the editor died come back once when the file is opened again: Esc puts
// the question off, No lets them go, Yes brings them back as one step; a save leaves nothing.
TEST_F(EditorFrame, EditsLostInACrashAreOfferedBackOnce) {
  const auto reopen = [&](std::vector<QMessageBox::StandardButton> answers) {
    QTest::qWait(2 * RecoveryWriter::kFlushInterval.count());
    editor.reset();  // the process ends: no question, no save
    EXPECT_TRUE(open(image, {flagItem("Options", "10")}, answers));
    return messages;
  };
  openAndEdit();
  const QString offer =
      "Trimlet closed without saving 1 change to " + QString::fromStdString(binPath) + " (last at ";
  for (const auto answer : {QMessageBox::NoButton, QMessageBox::No}) {
    EXPECT_TRUE(reopen({answer}).value(0).startsWith(offer)) << messages.join("|").toStdString();
    EXPECT_EQ(stored(0x10), "0F");
  }
  EXPECT_TRUE(reopen({}).isEmpty());
  pick("cmbFlag", "Options");
  click("chkFlag(0)");
  EXPECT_EQ(reopen({QMessageBox::Yes}).size(), 1);
  EXPECT_EQ(stored(0x10), "8F");
  EXPECT_FALSE(saved());
  EXPECT_EQ(action("actUndo")->text(), "Undo: 1 change brought back");
  EXPECT_EQ(answerMessages([&] { click("cmdSave"); }), QStringList({savedMessage()}));
  EXPECT_TRUE(reopen({}).isEmpty());
}

// A change of a flag and one in a map, marked against the image as opened, then undone with the
// shortcut: the mark goes, the byte comes back, and the undo names what it undoes.
TEST_F(EditorFrame, EveryChangeIsMarkedAndUndoneByTheShortcut) {
  auto bin = patternBytes(64);
  bin[0x10] = 0x0F;
  ASSERT_TRUE(open(bin, {flagItem("Options", "10"), tableItem("Map", "38", 2, 2)}));
  const auto marked = [&](const char* name) { return !child<QLabel>(name)->pixmap().isNull(); };
  auto* grid = child<TableGrid>("grdMap");
  const auto changed = [&](int row) {
    return grid->model()->index(row, 1).data(TableModel::ChangedRole).toBool();
  };
  pick("cmbFlag", "Options");
  click("chkFlag(0)");
  EXPECT_FALSE(child<QComboBox>("cmbFlag")->itemIcon(0).isNull());
  EXPECT_TRUE(marked("lblFlag_Mark(0)") && !marked("lblFlag_Mark(4)"));  // bit 3: on in both
  EXPECT_EQ(child<QLabel>("lblFlag_Mark(0)")->toolTip(), "Reference: off");
  pick("cmb2Dim", "Map");
  select("grdMap", 1, 2, 1, 2);
  press("grdMap", Qt::Key_Plus);
  EXPECT_EQ(action("actUndo")->text(), "Undo: +1 on 1 cell of Map");
  EXPECT_TRUE(changed(0) && !changed(1));

  QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);  // the key's own effect, then undo
  EXPECT_EQ(stored(0x3B) + cell("grdMap", 1, 2).toStdString(), "3B59");
  EXPECT_FALSE(changed(0) || saved());
  QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
  showTab("cmbFlag");  // a tab shows what changed behind it when it is shown
  EXPECT_EQ(stored(0x10), "0F");
  EXPECT_FALSE(child<QCheckBox>("chkFlag(0)")->isChecked() || marked("lblFlag_Mark(0)"));
  EXPECT_TRUE(child<QComboBox>("cmbFlag")->itemIcon(0).isNull());
  EXPECT_FALSE(action("actUndo")->isEnabled());
  EXPECT_TRUE(saved());  // back at the file as loaded: closing has nothing to ask
}

// Ctrl+F, even from a grid, finds items by name or address; Enter shows the one found. (Which
// items match: the search's own test.)
TEST_F(EditorFrame, FindShowsTheItemFound) {
  ASSERT_TRUE(open(patternBytes(64), {flagItem("Fan switch", "10"), valueItem("Idle fan", "20", 1),
                                      tableItem("Fan map", "38", 2, 2)}));
  QTest::keyClick(child("grdMap"), Qt::Key_F, Qt::ControlModifier);
  QTest::keyClicks(child("txtFind"), "FAN");
  EXPECT_EQ(child<QTreeWidget>("lstFound")->topLevelItemCount(), 3);
  child<QLineEdit>("txtFind")->setText("3a");  // an address inside the map
  QTest::keyClick(child("txtFind"), Qt::Key_Return);
  EXPECT_EQ(child<QComboBox>("cmb2Dim")->currentText(), "Fan map");
  EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 3);
}

// A BAD block is said at the open; the Checksums window follows the image and corrects as one
// step; every save corrects first unless told N; an upload of a BAD file waits for a Yes; a
// copy is corrected too. Ctrl+S writes the number typed in the raw box, then saves.
TEST_F(EditorFrame, ChecksumsAreShownCorrectedInEverySaveAndAskedAboutBeforeAnUpload) {
  const std::string items = ecuText({valueItem("Idle", "20", 1), tableItem("Map", "30", 2, 2)});
  ASSERT_TRUE(open(patternBytes(64), items + "Checksums\n{\nName=Sum\nAlgorithm=sum\n"
                                             "Range=0-3F\nStore=3C\nSize=4\nOrder=big\n}\n"));
  const QString of = "The checksum \"Sum\" of " + QString::fromStdString(binPath) + " is BAD ";
  EXPECT_EQ(messages, QStringList({of + "(stored 3C3D3E3F, computed 000006EA). Every save "
                                        "corrects the checksums."}));
  action("actChecksums")->trigger();
  auto* window = editor->findChild<QDialog*>("frmChecksums");
  const auto row = [table = window->findChild<QTableWidget*>("grdChecksums")] {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(0, c)->text();
    return cells.join('|');
  };
  EXPECT_EQ(row(), "Sum|0-3F|3C3D3E3F|000006EA|BAD");
  QTest::mouseClick(window->findChild<QPushButton*>("cmdCorrectNow"), Qt::LeftButton);
  EXPECT_EQ(row() + action("actUndo")->text(),
            "Sum|0-3F|000006EA|000006EA|OKUndo: Checksums corrected");
  EXPECT_FALSE(saved());
  action("actUndo")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(row(), "Sum|0-3F|3C3D3E3F|000006EA|BAD");
  window->close();
  QApplication::setActiveWindow(editor.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));

  pick("cmb0Dim", "Idle");
  type("txtValue_Raw", "2A", false);
  EXPECT_EQ(answerMessages(
                [&] { QTest::keyClick(child("txtValue_Raw"), Qt::Key_S, Qt::ControlModifier); }),
            QStringList({savedMessage()}));
  edited = patternBytes(64);
  edited[0x20] = 0x2A;
  edited[0x3C] = edited[0x3D] = 0;  // the sum of 0..3B, big-endian: 000006F4
  edited[0x3E] = 0x06;
  edited[0x3F] = 0xF4;
  EXPECT_EQ(readBytes(binPath), edited);
  EXPECT_TRUE(saved());
  pick("cmb2Dim", "Map");
  INI_Write("Correct Checksums (Y/N)", "n");
  select("grdMap", 1, 1, 1, 1);
  press("grdMap", Qt::Key_Plus);
  (void)answerMessages([&] { click("cmdSave"); });
  edited[0x32] += 1;
  EXPECT_EQ(readBytes(binPath), edited);  // as it is
  // A program that cannot start says so at once: without that message, nothing started.
  INI_Write("Upload Execute", "/no/such/uploader");
  for (const auto answer : {QMessageBox::NoButton, QMessageBox::No, QMessageBox::Yes}) {
    const QStringList shown = answerMessages([&] { click("cmdUpload"); }, answer);
    EXPECT_EQ(shown.value(0),
              of + "(stored 000006F4, computed 000006F5). Start the upload anyway?");
    EXPECT_EQ(lastMessages().at(0).defaultButton, QMessageBox::No);
    EXPECT_EQ(shown.size(), answer == QMessageBox::Yes ? 2 : 1);
  }
  // A copy gets a save's correction and leaves the editor as it was.
  INI_Write("Correct Checksums (Y/N)", "");
  const QString copy = QString::fromStdString((dir.path() / "copy.bin").string());
  QStringList shown;
  whileModal(
      "cdiSaveCopy",
      [&](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(copy);
        dialog->QDialog::accept();
      },
      [&] { shown = answerMessages([&] { action("actSaveCopy")->trigger(); }); });
  EXPECT_EQ(shown, QStringList({"A copy of the image was saved as " + copy +
                                ". The editor stays on " + QString::fromStdString(binPath) + "."}));
  edited[0x3F] = 0xF5;
  EXPECT_EQ(readBytes(copy.toStdString()), edited);
  EXPECT_EQ(stored(0x3F) + (saved() ? "" : " unsaved"), "F4");
}

}  // namespace
}  // namespace trimlet::test
