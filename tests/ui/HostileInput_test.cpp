// What the user gets from hostile ECU files: a message, a refused item with its note, or normal
// work; and nothing breaks while every item and tab is visited.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>

#include "core/settings.h"
#include "support/HostileFiles.h"
#include "support/ui/EditorTest.h"

namespace trimlet::test {
namespace {

// The editor opened in a death test's child process: each message it shows.
void openAndReport(const std::string& bin, const std::string& ecu) {
  setSettingsFile(bin + ".ini", "trimlet");
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "message: %s\n", box->text().toStdString().c_str());
      box->button(QMessageBox::Ok)->click();
    }
  });
  answer.start(0);
  frmEditor editor(bin, ecu);
  (void)editor.Form_Load();
}

class Hostile : public EditorTest, public testing::WithParamInterface<HostileFile> {};

// Every hostile file through the real editor, beside the check's row: its messages, then its
// notes when it opens, or a death when "Error in ECU File" ends the program.
TEST_P(Hostile, EcuFilesGiveTheirMessageOrTheirNotes) {
  const HostileFile& file = GetParam();
  const std::string ecu = TRIMLET_SOURCE_DIR "/tests/data/hostile/" + std::string(file.name);
  QStringList shown;
  for (const std::string& text : file.shows) shown << QString::fromStdString(text);
  if (shown.endsWith("Error in ECU File")) {
    std::string pattern;
    for (const QString& m : shown) pattern += ".*message: " + m.toStdString() + "\n";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(openAndReport(dir.write("image.bin", patternBytes(32768)), ecu),
                testing::ExitedWithCode(EXIT_FAILURE), pattern + "$");
    return;
  }
  EXPECT_EQ(open(patternBytes(32768), readText(ecu)), shown.isEmpty());
  EXPECT_EQ(messages, shown);
  if (!shown.isEmpty()) {
    EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
    return;
  }
  // Picks every entry of every list as the user does and records the notes shown; then visits
  // every tab, fills the dump and closes the window (nothing edited, nothing asked).
  std::map<std::string, std::string> refused;
  for (const char* name : {"cmbFlag", "cmb0Dim", "cmb1Dim", "cmb2Dim"}) {
    auto* list = child<QComboBox>(name);
    for (int i = 0; i < list->count(); ++i) {
      pick(name, list->itemText(i));
      for (QLabel* note : list->parentWidget()->findChildren<QLabel*>())
        if (note->objectName().endsWith("Note") && note->isVisible())
          refused[list->itemText(i).toStdString()] = note->text().toStdString();
    }
  }
  EXPECT_EQ(refused, file.refused);
  for (int tab = 0; tab < 5; ++tab) child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
  click("cmdPopulate");
  EXPECT_TRUE(answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); }).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Files, Hostile, testing::ValuesIn(kHostileFiles),
                         testing::PrintToStringParamName());

// Captions are text, never markup (taken as rich text, a caption could make a label read any
// file it names as a picture), and show their first 200 characters (not bytes); the item table
// keeps them whole.
TEST_F(Hostile, CaptionsAreShownAsWrittenAndClipped) {
  std::string caption = "<img src=\"" + dir.write("picture.png", "") + "\">";
  for (int i = 0; i < 300; ++i) caption += "\u00E9";
  ECU_Item flag = flagItem(caption, "10"), value = valueItem("<b>Idle</b>", "20", 1),
           map = tableItem(caption, "30", 4, 4);
  flag.Xaxis = flag.Xlabel = flag.Ylabel = value.Xlabel = map.Xlabel = map.Ylabel = caption;
  ASSERT_TRUE(open(patternBytes(64), {flag, value, map}));
  const QString shown = QString::fromStdString(caption).left(200);
  pick("cmbFlag", shown);
  pick("cmb0Dim", "<b>Idle</b>");
  pick("cmb2Dim", shown);
  click("cmdShowIn_2");  // the name as the Z title
  for (const char* label : {"lblFlag_Xaxis", "lblFlag_Xlabel", "lblFlag_Ylabel", "lblValue_Xlabel",
                            "lblMap_Xlabel", "lblMap_Ylabel", "lblMap_Zlabel"}) {
    EXPECT_EQ(text(label), shown) << label;
    EXPECT_EQ(child<QLabel>(label)->textFormat(), Qt::PlainText) << label;
  }
  EXPECT_EQ(ECU_Items[3].Name, caption);
}

}  // namespace
}  // namespace trimlet::test
