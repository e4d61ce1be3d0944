// What the user gets from hostile ECU and BIN files: a message, a refused item with its note,
// or normal work; and nothing crashes while every item, tab and graph is visited.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <sstream>

#include "core/bin_file.h"
#include "core/settings.h"
#include "support/ui/Modal.h"
#include "ui/common/Canvas.h"
#include "ui/editor/EditorTest.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/viewer/frmView.h"

namespace trimlet::test {
namespace {

namespace fs = std::filesystem;

std::string dataFile(const std::string& name) {
  return std::string(TRIMLET_SOURCE_DIR) + "/tests/data/hostile/" + name;
}

constexpr char kNotHex[] = "This item cannot be shown: its address is not a hexadecimal number.";
constexpr char kBeyond[] =
    "This item cannot be shown: its bytes lie beyond the end of the BIN file.";
constexpr char kShape[] = "This item cannot be shown: its columns and rows must each be 1 to 501.";

std::string bytesNote(int bytes) {
  return "This value cannot be edited: it has " + std::to_string(bytes) +
         " bytes, and Trimlet edits values of 1 to 4 bytes.";
}

// One entry of an item list and what picking it gives: the note of a refused item, or ""
// when the item can be edited.
struct Entry {
  std::string list;
  std::string name;
  std::string note;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << e.list << " \"" << e.name << "\" -> \"" << e.note << "\"";
}

// The four lists, their tabs, and the control that is usable exactly when an item can be edited.
struct ListTab {
  const char* list;
  int tab;
  const char* control;
};
constexpr ListTab kLists[] = {{"cmbFlag", 0, "chkFlag(0)"},
                              {"cmb0Dim", 1, "txtValue_Raw"},
                              {"cmb1Dim", 2, "grdLine"},
                              {"cmb2Dim", 3, "grdMap"}};

// A 32K image whose bytes differ from their neighbours.
std::vector<unsigned char> image32K() { return patternBytes(32768); }

class HostileTest : public EditorTest {
 protected:
  // Opens the editor on the BIN bytes and a file of the corpus, answering every message.
  bool openEditor(const std::vector<unsigned char>& bin, const std::string& ecu) {
    bool opened = false;
    messages = answerMessages([&] { opened = open(bin, ecu); });
    return opened;
  }

  // Picks every entry of every list in its tab as the user does and records what it gives;
  // then walks all tabs, fills the dump and closes the window (no edits, so nothing is asked).
  std::vector<Entry> visitAll() {
    std::vector<Entry> seen;
    auto* tabs = child<QTabWidget>("SSTab1");
    for (const ListTab& l : kLists) {
      tabs->setCurrentIndex(l.tab);
      auto* list = child<QComboBox>(l.list);
      QWidget* panel = list->parentWidget();
      QLabel* note = nullptr;
      for (QLabel* label : panel->findChildren<QLabel*>())
        if (label->objectName().endsWith("Note")) note = label;
      for (int i = 0; i < list->count(); ++i) {
        list->setCurrentIndex(i);
        emit list->activated(i);
        const std::string shown = note->isVisible() ? note->text().toStdString() : "";
        seen.push_back({l.list, list->itemText(i).toStdString(), shown});
        EXPECT_EQ(child<QWidget>(l.control)->isEnabled(), shown.empty())
            << list->itemText(i).toStdString();
      }
    }
    for (int tab = 0; tab < tabs->count(); ++tab) tabs->setCurrentIndex(tab);
    QTest::mouseClick(child<QPushButton>("cmdPopulate"), Qt::LeftButton);
    EXPECT_TRUE(answerMessages([&] { QTest::keyClick(editor.get(), Qt::Key_Escape); }).isEmpty());
    EXPECT_FALSE(editor->isVisible());
    return seen;
  }

  // Writes the two files and names them for the next window to open.
  void useFiles(const std::vector<unsigned char>& bin, const std::string& ecu) {
    BIN_Path = binPath = dir.write("image.bin", bin);
    ECU_Path = ecuPath = dir.write("engine.ecu", ecu);
  }

  // Opens the viewer on BIN_Path and ECU_Path; false when it closed itself.
  bool openViewer() {
    bool opened = false;
    viewerMessages = answerMessages([&] {
      viewer = std::make_unique<frmView>();
      opened = viewer->Form_Load();
    });
    if (opened) viewer->show();
    return opened;
  }

  QStringList messages;
  QStringList viewerMessages;
  std::unique_ptr<frmView> viewer;
};

// ---- ECU files that open ------------------------------------------------------------------

struct OpensCase {
  const char* file;
  QStringList messages;  // shown while opening, by the editor and the viewer alike
  std::vector<Entry> entries;
};

void PrintTo(const OpensCase& c, std::ostream* os) { *os << c.file; }

class EcuOpens : public HostileTest, public testing::WithParamInterface<OpensCase> {};

TEST_P(EcuOpens, EditorRefusesWhatDoesNotFitAndViewerDraws) {
  ASSERT_TRUE(openEditor(image32K(), readText(dataFile(GetParam().file))));
  EXPECT_EQ(messages, GetParam().messages);
  EXPECT_EQ(visitAll(), GetParam().entries);
  ASSERT_TRUE(openViewer());
  EXPECT_EQ(viewerMessages, GetParam().messages);
  EXPECT_EQ(viewer->findChild<Canvas*>("picHexLine")->count(Canvas::Primitive::Kind::Circle), 140);
}

const std::vector<OpensCase> kOpens = {
    {"address-not-hex.ecu",
     {},
     {{"cmbFlag", "Flag at 12G4", kNotHex},
      {"cmb0Dim", "Value at 0x10", kNotHex},
      {"cmb1Dim", "Array without address", kNotHex},
      {"cmb2Dim", "Map at -20", kNotHex}}},
    {"address-huge.ecu",
     {},
     {{"cmbFlag", "Flag beyond the image", kBeyond},
      {"cmb0Dim", "Value at the largest address", kBeyond},
      {"cmb1Dim", "Array at a 19-digit address", kBeyond},
      {"cmb2Dim", "Map at the last record", kBeyond}}},
    {"past-end.ecu",
     {},
     {{"cmbFlag", "Last byte flag", ""},
      {"cmb0Dim", "Last two bytes", ""},
      {"cmb0Dim", "One byte past", kBeyond},
      {"cmb1Dim", "Last eight cells", ""},
      {"cmb1Dim", "Eight cells one past", kBeyond},
      {"cmb2Dim", "Last map", ""},
      {"cmb2Dim", "Map one past", kBeyond}}},
    {"bytes.ecu",
     {},
     {{"cmb0Dim", "No bytes", bytesNote(0)},
      {"cmb0Dim", "Minus one byte", bytesNote(-1)},
      {"cmb0Dim", "Four bytes", ""},
      {"cmb0Dim", "Five bytes", bytesNote(5)},
      {"cmb0Dim", "Three hundred bytes", bytesNote(300)},
      {"cmb0Dim", "Most bytes", bytesNote(32767)}}},
    {"table-sizes.ecu",
     {},
     {{"cmb1Dim", "Row of 500", ""},
      {"cmb1Dim", "Column of 501", ""},
      {"cmb1Dim", "Row of 502", kShape},
      {"cmb1Dim", "Column of 32767", kShape},
      {"cmb2Dim", "Map 2x2", ""},
      {"cmb2Dim", "Map 501x60", ""},
      {"cmb2Dim", "Map 60x502", kShape},
      {"cmb2Dim", "Map 32767x32767", kShape},
      {"cmb2Dim", "Map 200x200", kBeyond}}},
    {"kinds-other.ecu",
     {},
     {{"cmbFlag", "Kind 80 column", ""},
      {"cmb2Dim", "Kind 7 map", ""},
      {"cmb2Dim", "Kind -80 map", ""}}},
    // "Name=Fuel, trim" in quotes is one item whose value ends at its comma.
    {"quoted.ecu",
     {},
     {{"cmbFlag", "Options", ""}, {"cmb0Dim", "Fuel", ""}, {"cmb1Dim", "Trim cells", ""}}},
    {"crlf.ecu",
     {},
     {{"cmbFlag", "Options", ""}, {"cmb0Dim", "Idle speed", ""}, {"cmb2Dim", "Spark map", ""}}},
    {"cr-only.ecu",
     {},
     {{"cmbFlag", "Options", ""}, {"cmb0Dim", "Idle speed", ""}, {"cmb2Dim", "Spark map", ""}}},
    {"nul-byte.ecu",
     {},
     {{"cmbFlag", "Options", ""}, {"cmb0Dim", std::string("Idle\0speed", 10), ""}}},
    {"numbers.ecu",
     {},
     {{"cmb0Dim", "Divided by zero", ""},
      {"cmb0Dim", "Too large to show", ""},
      {"cmb1Dim", "Cells divided by zero", ""},
      {"cmb2Dim", "Map too large to show", ""}}},
};
INSTANTIATE_TEST_SUITE_P(Corpus, EcuOpens, testing::ValuesIn(kOpens));

// What "numbers.ecu" shows: no calculated value where none exists, rather than garbage.
TEST_F(HostileTest, NoCalculatedValueForDivisionByZeroOrHugeResults) {
  ASSERT_TRUE(openEditor(image32K(), readText(dataFile("numbers.ecu"))));
  auto* tabs = child<QTabWidget>("SSTab1");
  tabs->setCurrentIndex(1);
  for (const char* name : {"Divided by zero", "Too large to show"}) {
    pick("cmb0Dim", name);
    EXPECT_FALSE(child<QLineEdit>("txtValue_Raw")->text().isEmpty()) << name;
    EXPECT_EQ(child<QLineEdit>("txtValue_Calc")->text(), "") << name;
  }
  tabs->setCurrentIndex(2);
  pick("cmb1Dim", "Cells divided by zero");
  QTest::mouseClick(child<QPushButton>("cmdShowIn_1"), Qt::LeftButton);
  auto* grid = child<TableGrid>("grdLine");
  for (int col = 1; col < grid->cols(); ++col) EXPECT_EQ(grid->text(1, col), "") << col;
}

// ---- ECU files that are rejected ----------------------------------------------------------

struct RejectedCase {
  const char* file;
  const char* message;  // shown with the critical icon before the window closes
};

void PrintTo(const RejectedCase& c, std::ostream* os) { *os << c.file; }

class EcuRejected : public HostileTest, public testing::WithParamInterface<RejectedCase> {};

TEST_P(EcuRejected, EditorAndViewerSayWhyAndClose) {
  EXPECT_FALSE(openEditor(image32K(), readText(dataFile(GetParam().file))));
  EXPECT_EQ(messages, QStringList({GetParam().message}));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  EXPECT_FALSE(openViewer());
  EXPECT_EQ(viewerMessages, QStringList({GetParam().message}));
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
}

const std::vector<RejectedCase> kRejected = {
    {"empty.ecu", "Incorrect ECU Format"},          {"nul-only.ecu", "Incorrect ECU Format"},
    {"no-format-word.ecu", "Incorrect ECU Format"}, {"truncated-header.ecu", "ECU File Error"},
    {"missing-brace.ecu", "ECU File Error"},        {"header-not-number.ecu", "ECU File Error"},
};
INSTANTIATE_TEST_SUITE_P(Corpus, EcuRejected, testing::ValuesIn(kRejected));

// ---- ECU files whose items do not add up: the editor ends the program ----------------------

struct EndsCase {
  const char* file;
  QStringList messages;  // the editor's, the last being "Error in ECU File"
};

void PrintTo(const EndsCase& c, std::ostream* os) { *os << c.file; }

class EcuEndsTheProgram : public HostileTest, public testing::WithParamInterface<EndsCase> {};

// Opens the editor on a 32K image in a death test's child process.
void openAndReport(const std::string& ecuFile) {
  TempDir dir;
  openAndReportMessages(dir.write("image.bin", image32K()), ecuFile);
}

// The messages in order, the last one the last thing the process said (Qt's own warnings may
// come between them).
std::string reported(const QStringList& messages) {
  std::string pattern;
  for (const QString& message : messages)
    pattern += (pattern.empty() ? "" : ".*") + ("message: " + message.toStdString() + "\n");
  return pattern + "$";
}

// The viewer opens after the same messages but the last.
TEST_P(EcuEndsTheProgram, EditorSaysErrorInEcuFileAndEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(openAndReport(dataFile(GetParam().file)), testing::ExitedWithCode(EXIT_FAILURE),
              reported(GetParam().messages));
  useFiles(image32K(), readText(dataFile(GetParam().file)));
  ASSERT_TRUE(openViewer());
  EXPECT_EQ(viewerMessages, GetParam().messages.mid(0, GetParam().messages.size() - 1));
}

const std::vector<EndsCase> kEnds = {
    {"no-class-kind.ecu", {"Error in ECU File"}},
    {"no-class-cols-0.ecu", {"Error in ECU File"}},
    {"no-class-rows-0.ecu", {"Error in ECU File"}},
    {"negative-sizes.ecu", {"Error in ECU File"}},
    {"two-classes.ecu", {"Error in ECU File"}},
    {"negative-count.ecu", {"Error in ECU File"}},
    {"fewer-items.ecu", {"ECU File Error", "Error in ECU File"}},
};
INSTANTIATE_TEST_SUITE_P(Corpus, EcuEndsTheProgram, testing::ValuesIn(kEnds));

// ---- generated ECU files: too many items, and a very large file ---------------------------

// `count` flag bytes, declared as `declared`.
std::string manyFlags(int count, int declared) {
  std::string text =
      "ECU FORMAT 1\n{\nT=x, V=1, A=, B=, C=, D=, Items=" + std::to_string(declared) + "\n}\n";
  for (int i = 1; i <= count; ++i) {
    text += "{\nAddress=" + std::to_string(i) +
            ", Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1\nName=Flag " +
            std::to_string(i) + "\nYlabel=\nYaxis=\nXlabel=\nXaxis=\n}\n";
  }
  return text;
}

TEST_F(HostileTest, ThreeHundredItemsAllListed) {
  ASSERT_TRUE(openEditor(image32K(), manyFlags(300, 300)));
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(child<QComboBox>("cmbFlag")->count(), 300);
  EXPECT_EQ(child<QComboBox>("cmbFlag")->itemText(299), "Flag 300");
}

TEST_F(HostileTest, ThreeHundredAndOneItemsEndTheEditorAndOpenTheViewer) {
  const std::string ecu = dir.write("many.ecu", manyFlags(301, 301));
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(openAndReport(ecu), testing::ExitedWithCode(EXIT_FAILURE),
              reported({"ECU File Error", "Error in ECU File"}));

  useFiles(image32K(), readText(ecu));
  ASSERT_TRUE(openViewer());
  EXPECT_EQ(viewerMessages, QStringList({"ECU File Error"}));
}

// Ten megabytes of remarks before the header, and a name of a megabyte: read in full.
TEST_F(HostileTest, TenMegabyteFileOpens) {
  std::string ecu = "ECU FORMAT 1\n";
  const std::string remark = "remark, not a brace, 1234567890 abcdefghijklmnopqrstuvwxyz\n";
  while (ecu.size() < 10'000'000) ecu += remark;
  ecu += "{\nT=x, V=1, A=, B=, C=, D=, Items=2\n}\n";
  ecu +=
      "{\nAddress=10, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1\n"
      "Name=Options\nYlabel=\nYaxis=" +
      std::string(1'000'000, 'Y') + "\nXlabel=\nXaxis=\n}\n";
  ecu +=
      "{\nAddress=20, Cols=4, Rows=4, Bytes=1, Kind=0, Offset=0, Operation=0, Factor=1\n"
      "Name=Map\nYlabel=\nYaxis=\nXlabel=\nXaxis=" +
      std::string(1'000'000, 'X') + "\n}\n";
  ASSERT_GE(ecu.size(), 12'000'000u);
  ASSERT_TRUE(openEditor(image32K(), ecu));
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(visitAll(), std::vector<Entry>({{"cmbFlag", "Options", ""}, {"cmb2Dim", "Map", ""}}));
}

// Captions are text, never markup: a caption that Qt would take as rich text could make a label
// read any file it names as a picture (a device such as /dev/zero until memory runs out).
TEST_F(HostileTest, MarkupInCaptionsIsShownAsWritten) {
  const QString picture =
      "<img src=\"" + QString::fromStdString(dir.write("picture.png", "")) + "\">";
  ECU_Item value = valueItem("<b>Idle</b>", "10", 1);
  value.Xlabel = picture.toStdString();
  ECU_Item map = tableItem("<h1>Spark</h1>", "20", 4, 4);
  map.Xlabel = picture.toStdString();
  map.Ylabel = "<i>Load</i>";
  ASSERT_TRUE(openEditor(image32K(), ecuText({value, map})));
  auto* tabs = child<QTabWidget>("SSTab1");
  tabs->setCurrentIndex(1);
  pick("cmb0Dim", "<b>Idle</b>");
  tabs->setCurrentIndex(3);
  pick("cmb2Dim", "<h1>Spark</h1>");
  QTest::mouseClick(child<QPushButton>("cmdShowIn_2"), Qt::LeftButton);  // the name as Z title
  for (const char* name : {"lblValue_Xlabel", "lblMap_Xlabel", "lblMap_Ylabel", "lblMap_Zlabel"}) {
    auto* label = child<QLabel>(name);
    SCOPED_TRACE(name);
    EXPECT_TRUE(label->text().startsWith('<'));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
  // Messages name the user's paths, which may hold anything a file name can.
  EXPECT_EQ(answerMessages([&] { editor->cmdSave_Click(); }).size(), 1);
  EXPECT_EQ(lastMessages().at(0).format, Qt::PlainText);
}

// ---- BIN files ----------------------------------------------------------------------------

// Items at the first bytes, at the end of a 16-byte block and at the last bytes a file can have.
std::string binCasesEcu() {
  std::vector<ECU_Item> items = {flagItem("Flag at 0", "0"),
                                 flagItem("Flag at 9FFEE", "9FFEE"),
                                 valueItem("Value at 0", "0", 1),
                                 valueItem("Value at E", "E", 2),
                                 valueItem("Value at 9FFEF", "9FFEF", 1),
                                 tableItem("Array of 16", "0", 16, 1),
                                 tableItem("Map 4x4", "0", 4, 4)};
  return ecuText(items);
}

struct BinCase {
  const char* name;
  size_t size;  // generated when no file of the corpus is named
  const char* file;
  const char* caption;               // the size in the editor's caption
  std::vector<std::string> refused;  // entries refused as beyond the file
};

void PrintTo(const BinCase& c, std::ostream* os) { *os << c.name; }

class BinSizes : public HostileTest, public testing::WithParamInterface<BinCase> {
 protected:
  std::vector<unsigned char> bytes() const {
    return GetParam().file ? readBytes(dataFile(GetParam().file)) : patternBytes(GetParam().size);
  }
};

TEST_P(BinSizes, EditorRefusesOnlyTheItemsBeyondTheFileAndViewerDrawsWithinIt) {
  ASSERT_TRUE(openEditor(bytes(), binCasesEcu()));
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(editor->windowTitle().endsWith(QString("File Size: ") + GetParam().caption));
  const std::vector<std::pair<const char*, const char*>> all = {
      {"cmbFlag", "Flag at 0"},  {"cmbFlag", "Flag at 9FFEE"},  {"cmb0Dim", "Value at 0"},
      {"cmb0Dim", "Value at E"}, {"cmb0Dim", "Value at 9FFEF"}, {"cmb1Dim", "Array of 16"},
      {"cmb2Dim", "Map 4x4"}};
  std::vector<Entry> expected;
  for (const auto& [list, name] : all) {
    const auto& refused = GetParam().refused;
    const bool beyond = std::find(refused.begin(), refused.end(), name) != refused.end();
    expected.push_back({list, name, beyond ? kBeyond : ""});
  }
  EXPECT_EQ(visitAll(), expected);
  ASSERT_TRUE(openViewer());
  EXPECT_TRUE(viewerMessages.isEmpty());
  // The opening stretch is 140 bytes from 35: smaller files draw nothing.
  const int circles =
      viewer->findChild<Canvas*>("picHexLine")->count(Canvas::Primitive::Kind::Circle);
  EXPECT_EQ(circles, GetParam().size >= 0x35 + 140 ? 140 : 0);
}

const std::vector<BinCase> kBins = {
    {"Empty",
     0,
     "bin-0.bin",
     "0K",
     {"Flag at 0", "Flag at 9FFEE", "Value at 0", "Value at E", "Value at 9FFEF", "Array of 16",
      "Map 4x4"}},
    {"OneByte",
     1,
     "bin-1.bin",
     "0K",
     {"Flag at 9FFEE", "Value at E", "Value at 9FFEF", "Array of 16", "Map 4x4"}},
    {"FifteenBytes",
     15,
     "bin-15.bin",
     "0K",
     {"Flag at 9FFEE", "Value at E", "Value at 9FFEF", "Array of 16", "Map 4x4"}},
    {"SixteenBytes", 16, "bin-16.bin", "0.015625K", {"Flag at 9FFEE", "Value at 9FFEF"}},
    {"Largest", 655343, nullptr, "639.96875K", {"Value at 9FFEF"}},
};
INSTANTIATE_TEST_SUITE_P(Corpus, BinSizes, testing::ValuesIn(kBins),
                         [](const auto& info) { return std::string(info.param.name); });

// A BIN file that cannot be taken: named in the message, window closed, nothing loaded.
struct RefusedBin {
  const char* name;
  std::function<std::string(TempDir&)> make;
  std::string reason;  // the end of the message after the path
};

void PrintTo(const RefusedBin& c, std::ostream* os) { *os << c.name; }

class BinRefused : public HostileTest, public testing::WithParamInterface<RefusedBin> {};

TEST_P(BinRefused, EditorAndViewerSayWhyAndClose) {
  BIN_Path = GetParam().make(dir);
  ECU_Path = dir.write("engine.ecu", binCasesEcu());
  const std::string expected = "The BIN file " + BIN_Path + GetParam().reason;

  editor = std::make_unique<frmEditor>();
  bool opened = true;
  EXPECT_EQ(answerMessages([&] { opened = editor->Form_Load(); }),
            QStringList({QString::fromStdString(expected)}));
  EXPECT_FALSE(opened);
  EXPECT_EQ(lastMessages().at(0).icon, QMessageBox::Critical);
  EXPECT_EQ(BIN_FileBytes, 0);  // nothing was loaded

  EXPECT_FALSE(openViewer());
  EXPECT_EQ(viewerMessages, QStringList({QString::fromStdString(expected)}));
}

const std::vector<RefusedBin> kRefusedBins = {
    {"OneByteTooLarge", [](TempDir& d) { return d.write("large.bin", patternBytes(655344)); },
     " is too large: it holds 655,344 bytes, and Trimlet holds at most 655,343 bytes."},
    {"TenMegabytes",
     [](TempDir& d) { return d.write("huge.bin", std::string(10'000'000, '\xAA')); },
     " is too large: it holds 10,000,000 bytes, and Trimlet holds at most 655,343 bytes."},
    // Tests run as root, for whom permissions do not stop a read; a folder always does.
    {"FolderInItsPlace",
     [](TempDir& d) {
       fs::create_directory(d.path() / "folder.bin");
       return (d.path() / "folder.bin").string();
     },
     " cannot be read: Is a directory"},
};
INSTANTIATE_TEST_SUITE_P(Corpus, BinRefused, testing::ValuesIn(kRefusedBins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trimlet::test
