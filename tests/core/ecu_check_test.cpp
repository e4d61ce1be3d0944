// The check of an ECU file: the hostile corpus as its table, agreement with Parse_ECU, lines and
// columns, and what it finds beyond the parse.
#include "core/ecu_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "core/state.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using Shows = std::vector<std::string>;
const Shows kOpens, kReadFails = {"ECU File Error"};

// The check reads the same items as the editor's parse, sorts them into the same classes, and
// gives each file its first problem and the editor's messages (which the editor's own test
// opens every file for).
TEST(EcuCheck, ReadsEachCorpusFileAsParseEcuDoesAndFindsItsFirstProblem) {
  const fs::path corpus = fs::path(TRIMLET_SOURCE_DIR) / "tests/data/hostile";
  EXPECT_EQ(std::count_if(fs::directory_iterator(corpus), {},
                          [](const auto& file) { return file.path().extension() == ".ecu"; }),
            std::ssize(test::kHostileFiles));  // a row for every file
  test::TempDir dir;
  const std::string bin = dir.write("image.bin", test::patternBytes(32768));
  for (const auto& [name, line, severity, says, shows, refused] : test::kHostileFiles) {
    SCOPED_TRACE(name);
    resetState();
    ECU_Path = (corpus / name).string();
    const ParseResult parsed = Parse_ECU();
    const EcuReport report = checkFiles(ECU_Path, bin).report;
    EXPECT_EQ(report.shows, shows);
    EXPECT_EQ(report.count(Severity::Error) > 0, !report.shows.empty());
    EXPECT_TRUE(parsed.outcome == ParseOutcome::Ok || report.shows.at(0) == parsed.message);
    for (size_t i = 1; i <= kMaxItems; ++i) {
      const ECU_Item& item = ECU_Items[i];
      const CheckedItem checked = i < report.items.size() ? report.items[i] : CheckedItem{};
      EXPECT_EQ(item.Address, checked.fields.empty() ? "" : checked.fields[0].value) << i;
      EXPECT_EQ(item.Name, checked.name()) << i;
      const int classes = isFlagByte(item) + isSingleValue(item) + isArray(item) + isMap(item);
      EXPECT_TRUE(i >= report.items.size() || (checked.itemClass == ItemClass::None) == !classes);
    }
    const Problem first = report.problems.empty()
                              ? Problem{Severity::Note, {0, 0}, -1, "", {}, false}
                              : report.problems.front();
    EXPECT_EQ(std::tuple(first.at.line, first.severity), std::tuple(line, severity));
    EXPECT_NE(first.message.find(says), std::string::npos) << first.message;
  }
}

// A header of `count` items, then the items.
std::string ecu(int count, const std::vector<std::string>& items) {
  std::string text =
      "ECU FORMAT 1\n{\nT=x, V=1, A=, B=, C=, D=, Items=" + std::to_string(count) + "\n}\n";
  for (const std::string& item : items) text += "{\n" + item + "\n}\n";
  return text;
}

// A flag byte, or with another shape another item, ending in `tail`.
std::string item(int address, const std::string& shape = "Cols=1, Rows=1, Bytes=1, Kind=80",
                 const std::string& tail = "\nYlabel=\nYaxis=\nXlabel=\nXaxis=") {
  return "Address=" + std::to_string(address) + ", " + shape +
         ", Offset=0, Operation=0, Factor=1\nName=n" + tail;
}

// Each case: what is at stake, the text, its problems (line:column severity: the start of the
// message) and the editor's messages. Lines end at CR, LF or CR LF, inside quoted items too;
// columns count bytes from 1.
TEST(EcuCheck, FindsWhatTheParseLetsPassAndPlacesEachProblem) {
  std::vector<std::string> many;
  for (int i = 0; i < 301; ++i) many.push_back(item(i));
  const std::tuple<const char*, std::string, std::vector<std::string>, Shows> cases[] = {
      // clang-format off
      {"line ends of every kind", "ECU FORMAT 1\r\n\n{\rT=x\n  V=bad", {"5:3 error: "}, kReadFails},
      {"quoted ends", "ECU FORMAT 1\n{\n\"T=a\nb\r\nc\", V=bad", {"5:5 error: "}, kReadFails},
      {"a missing field shifts the keys, and the item takes its \"}\"",
       ecu(1, {item(10, "Cols=1, Rows=1, Bytes=1, Kind=80", "\nYaxis=\nXlabel=\nXaxis=")}),
       {"8:1 note: the key \"Yaxis\" looks like Yaxis, but Ylabel",
        "11:1 warning: \"}\" is read as Xaxis"}, kOpens},
      {"an item in no class and one in two add up, so the editor opens",
       ecu(2, {item(10, "Cols=0, Rows=1, Bytes=1, Kind=0"),
               item(30, "Cols=2, Rows=2, Bytes=1, Kind=80")}),
       {"6:13 warning: in no class: Cols 0", "14:38 warning: in two classes: Kind 80"}, kOpens},
      {"an extra field is left over, and items after the count are not read",
       ecu(1, {item(10) + "\nSpare=1", item(20)}),
       {"12:1 note: \"Spare=1\" after the 13 fields of item 1",
        "14:1 warning: this item is not read: the header declares 1 item (line 3)"}, kOpens},
      {"a number beyond 16 bits", ecu(1, {"Address=10, Cols=40000"}),
       {"6:13 error: Cols \"40000\" is outside -32768..32767"}, {"ECU File Error", "Error in ECU File"}},
      {"more than 300 items", ecu(301, many),
       {"3:27 error: Items 301: Trimlet reads at most 300"}, {"ECU File Error", "Error in ECU File"}},
      // clang-format on
  };
  for (const auto& [what, text, problems, shows] : cases) {
    SCOPED_TRACE(what);
    const EcuReport report = checkEcu(text, std::nullopt);
    ASSERT_EQ(report.problems.size(), problems.size());
    for (size_t i = 0; i < problems.size(); ++i) {
      const Problem& p = report.problems[i];
      const std::string found = std::to_string(p.at.line) + ":" + std::to_string(p.at.column) +
                                " " + severityName(p.severity) + ": " + p.message;
      EXPECT_EQ(found.substr(0, problems[i].size()), problems[i]);
    }
    EXPECT_EQ(report.shows, shows);
  }
}

}  // namespace
}  // namespace trimlet
