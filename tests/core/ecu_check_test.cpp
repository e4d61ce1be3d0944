// The check of an ECU file: the hostile corpus as its table, agreement with Parse_ECU, lines and
// columns, and what it finds beyond the parse.
#include "core/ecu_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const fs::path kCorpus = fs::path(TRIMLET_SOURCE_DIR) / "tests/data/hostile";

using Shows = std::vector<std::string>;
const Shows kOpens;
const Shows kItemsWrong = {kErrorInEcuFile};
const Shows kReadFails = {kEcuFileError};

// The first problem each file gives against a 32K image (none: line 0), and the editor's
// messages on opening it.
struct Expected {
  size_t line;
  Severity severity;
  const char* says;
  Shows shows;
};

const std::map<std::string, Expected> kFirstProblems = {
    {"address-huge.ecu", {7, Severity::Warning, "beyond the end of the BIN file", kOpens}},
    {"address-not-hex.ecu", {7, Severity::Warning, "\"12G4\" is not a hexadecimal", kOpens}},
    {"bytes.ecu", {7, Severity::Warning, "Bytes 0: Trimlet edits values of 1 to 4", kOpens}},
    {"cr-only.ecu", {0, Severity::Note, "", kOpens}},
    {"crlf.ecu", {0, Severity::Note, "", kOpens}},
    {"empty.ecu", {1, Severity::Error, "holds no item", {kIncorrectFormat}}},
    {"fewer-items.ecu",
     {4, Severity::Error, "Items 3: the file holds only 2", {kEcuFileError, kErrorInEcuFile}}},
    {"header-not-number.ecu", {4, Severity::Error, "Version \"two\" is not a number", kReadFails}},
    {"kinds-other.ecu", {0, Severity::Note, "", kOpens}},
    {"missing-brace.ecu", {9, Severity::Error, "ends before a \"{\"", kReadFails}},
    {"negative-count.ecu", {4, Severity::Error, "Items -3", kItemsWrong}},
    {"negative-sizes.ecu", {15, Severity::Error, "in no class: Cols -5", kItemsWrong}},
    {"no-class-cols-0.ecu", {15, Severity::Error, "in no class: Cols 0", kItemsWrong}},
    {"no-class-kind.ecu", {15, Severity::Error, "in no class: Kind 1", kItemsWrong}},
    {"no-class-rows-0.ecu", {15, Severity::Error, "in no class: Rows 0", kItemsWrong}},
    {"no-format-word.ecu", {1, Severity::Error, "\"ECU DEFINITIONS\" lacks", {kIncorrectFormat}}},
    {"nul-byte.ecu", {0, Severity::Note, "", kOpens}},
    {"nul-only.ecu", {1, Severity::Error, "\"\\x00\" lacks the word FORMAT", {kIncorrectFormat}}},
    {"numbers.ecu", {0, Severity::Note, "", kOpens}},
    {"past-end.ecu", {15, Severity::Warning, "shares 7FFF with item 1", kOpens}},
    {"quoted.ecu", {8, Severity::Note, "Name ends at its first comma: \", trim\"", kOpens}},
    {"table-sizes.ecu", {15, Severity::Warning, "shares 0..1F3 with item 1", kOpens}},
    {"truncated-header.ecu", {6, Severity::Error, "before field 4 of 7 (Text 2)", kReadFails}},
    {"two-classes.ecu", {15, Severity::Error, "in two classes", kItemsWrong}},
};

std::vector<fs::path> corpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus))
    if (entry.path().extension() == ".ecu") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(EcuCheck, GivesEachCorpusFileItsFirstProblemAndTheEditorsMessages) {
  TempDir dir;
  const std::string bin = dir.write("image.bin", test::patternBytes(32768));
  for (const fs::path& file : corpusFiles()) {
    SCOPED_TRACE(file.filename().string());
    const auto expected = kFirstProblems.find(file.filename().string());
    ASSERT_NE(expected, kFirstProblems.end()) << "a corpus file without its row";
    const EcuReport report = checkFiles(file.string(), bin).report;
    EXPECT_EQ(report.shows, expected->second.shows);
    EXPECT_EQ(report.count(Severity::Error) > 0, !report.shows.empty());
    if (expected->second.line == 0) {
      EXPECT_TRUE(report.problems.empty()) << problemText(report.problems.front());
      continue;
    }
    ASSERT_FALSE(report.problems.empty());
    const Problem& first = report.problems.front();
    EXPECT_EQ(first.at.line, expected->second.line);
    EXPECT_EQ(first.severity, expected->second.severity);
    EXPECT_NE(first.message.find(expected->second.says), std::string::npos) << first.message;
  }
}

// The check and the editor's parse read the same items from every file and end the same way.
TEST(EcuCheck, ReadsEveryCorpusFileAsParseEcuDoes) {
  for (const fs::path& file : corpusFiles()) {
    SCOPED_TRACE(file.filename().string());
    resetState();
    ECU_Path = file.string();
    const ParseResult parsed = Parse_ECU();
    const EcuReport report = checkFiles(ECU_Path, "").report;
    if (parsed.outcome != ParseOutcome::Ok) {
      ASSERT_FALSE(report.shows.empty());
      EXPECT_EQ(report.shows.front(), parsed.message);
    }
    int listed = 0;
    for (int i = 1; i <= kMaxItems; ++i) {
      const ECU_Item& item = ECU_Items[static_cast<size_t>(i)];
      if (static_cast<size_t>(i) >= report.items.size()) {
        EXPECT_EQ(item.Address + item.Name, "") << "item " << i << " read by the parse only";
        continue;
      }
      const CheckedItem& checked = report.items[static_cast<size_t>(i)];
      EXPECT_EQ(item.Address, checked.fields.empty() ? "" : checked.fields[0].value);
      EXPECT_EQ(item.Name, checked.name());
      listed += isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item);
      EXPECT_EQ(checked.itemClass == ItemClass::None,
                !isFlagByte(item) && !isSingleValue(item) && !isArray(item) && !isMap(item));
    }
    const bool endsTheEditor = listed != ECU_Count && parsed.outcome != ParseOutcome::Rejected;
    EXPECT_EQ(endsTheEditor, !report.shows.empty() && report.shows.back() == kErrorInEcuFile);
  }
}

// Lines end at CR, LF or CR LF, inside quoted items too; columns count bytes from 1.
TEST(EcuCheck, PlacesProblemsAtTheirLineAndColumn) {
  const std::pair<std::string, TextPosition> cases[] = {
      {"ECU FORMAT 1\n{\nT=x\nV=bad\n", {4, 1}},
      {"ECU FORMAT 1\r\n{\r\nT=x\r\nV=bad\r\n", {4, 1}},
      {"ECU FORMAT 1\r{\rT=x\rV=bad", {4, 1}},
      {"ECU FORMAT 1\r\n\n{\rT=x\n  V=bad", {5, 3}},
      {"ECU FORMAT 1\n{\n\"T=a\nb\r\nc\", V=bad", {5, 5}},
      {"ECU FORMAT 1\n{\nT=x,V=1,A=,B=,C=,D=,Items=z", {3, 21}},
      {"ECU FORMAT 1,{,T=x,V=bad", {1, 20}},
      {std::string("ECU FORMAT 1\n{\nT=\0\n\tV=bad", 24), {4, 2}},
  };
  for (const auto& [text, at] : cases) {
    const EcuReport report = checkEcu(text, std::nullopt);
    ASSERT_EQ(report.count(Severity::Error), 1) << text;
    EXPECT_EQ(report.problems.front().at, at) << text;
  }
}

// A header of `count` items, then the items.
std::string ecu(int count, const std::vector<std::string>& items) {
  std::string text =
      "ECU FORMAT 1\n{\nT=x, V=1, A=, B=, C=, D=, Items=" + std::to_string(count) + "\n}\n";
  for (const std::string& item : items) text += "{\n" + item + "\n}\n";
  return text;
}

std::string item(const std::string& fields, const std::string& name = "Name=n") {
  return fields + "\n" + name + "\nYlabel=\nYaxis=\nXlabel=\nXaxis=";
}

const std::string kFlag =
    "Address=10, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1";
const std::string kMap =
    "Address=20, Cols=4, Rows=4, Bytes=1, Kind=0, Offset=0, Operation=0, Factor=1";

// Flag bytes, each at an address of its own.
std::vector<std::string> flags(int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i)
    items.push_back(item("Address=" + std::to_string(i) +
                         ", Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1"));
  return items;
}

TEST(EcuCheck, FindsWhatTheParseLetsPass) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::pair<size_t, std::string>> problems;  // line and the start of the text
    Shows shows;
  };
  const Case cases[] = {
      {"a missing field shifts the keys, and the item takes its \"}\"",
       ecu(1, {kFlag + "\nName=n\nYaxis=\nXlabel=\nXaxis="}),
       {{8, "note: the key \"Yaxis\" looks like Yaxis, but Ylabel"},
        {11, "warning: \"}\" is read as Xaxis"}},
       kOpens},
      {"an item in no class and one in two add up, so the editor opens",
       ecu(2,
           {item("Address=10, Cols=0, Rows=1, Bytes=1, Kind=0, Offset=0, Operation=0, Factor=1"),
            item("Address=30, Cols=2, Rows=2, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1")}),
       {{6, "warning: in no class: Cols 0"}, {14, "warning: in two classes: Kind 80"}},
       kOpens},
      {"an extra field is left over, and items after the count are not read",
       ecu(1, {item(kFlag) + "\nSpare=1", item(kMap)}),
       {{12, "note: \"Spare=1\" after the 13 fields of item 1"},
        {14, "warning: this item is not read: the header declares 1 item (line 3)"}},
       kOpens},
      {"a number beyond 16 bits",
       ecu(1, {item("Address=10, Cols=40000")}),
       {{6, "error: Cols \"40000\" is outside -32768..32767"}},
       {kEcuFileError, kErrorInEcuFile}},
      {"more than 300 items",
       ecu(301, flags(301)),
       {{3, "error: Items 301: Trimlet reads at most 300"}},
       {kEcuFileError, kErrorInEcuFile}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const EcuReport report = checkEcu(c.text, std::nullopt);
    ASSERT_EQ(report.problems.size(), c.problems.size());
    for (size_t i = 0; i < c.problems.size(); ++i) {
      const Problem& p = report.problems[i];
      EXPECT_EQ(p.at.line, c.problems[i].first);
      EXPECT_EQ((severityName(p.severity) + (": " + p.message)).rfind(c.problems[i].second, 0), 0u)
          << p.message;
    }
    EXPECT_EQ(report.shows, c.shows);
  }
}

TEST(EcuCheck, FilesThatCannotBeReadOrAreRefusedAsAWhole) {
  TempDir dir;
  const std::string text = ecu(1, {item(kFlag)});
  const std::string txt = dir.write("engine.txt", text);
  const std::string ecuPath = dir.write("engine.ecu", text);
  const std::string large = dir.write("large.bin", std::string(655344, '\0'));

  CheckedFiles check = checkFiles(txt, large);
  EXPECT_EQ(check.report.shows, Shows{kIncorrectEcuName});
  ASSERT_EQ(check.report.count(Severity::Error), 2);
  EXPECT_TRUE(check.report.problems[1].aboutBin);

  check = checkFiles(ecuPath, (dir.path() / "missing.bin").string());
  EXPECT_NE(check.binFailure.find("cannot be read"), std::string::npos);
  EXPECT_TRUE(check.report.shows.empty());  // the ECU file is checked all the same

  check = checkFiles(dir.path().string(), "");
  EXPECT_NE(check.ecuFailure.find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace trimlet
