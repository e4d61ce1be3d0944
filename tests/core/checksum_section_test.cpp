// The checksum section after the items: found only after the last item, read in any line end and
// any case of its keys, placed line by line.
#include "core/checksum_section.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/ecu_check.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

const std::string kDemo = TRIMLET_SOURCE_DIR "/examples/demo";

// The demo's block, its fields' places in every line end and the bytes it covers.
TEST(ChecksumSection, TheDemoBlockFollowsTheItemsInEveryLineEnd) {
  const std::string text = test::readText(kDemo + ".ecu");
  const ChecksumSection section = readChecksumSection(text, 32768);
  EXPECT_TRUE(section.findings.empty());
  ASSERT_EQ(section.blocks.size(), 1u);
  const ChecksumBlock& block = section.blocks[0];
  EXPECT_EQ(std::tuple(section.at->line, block.at.line, block.name, block.store, block.size),
            std::tuple(206u, 208u, "Calibration Checksum", 0x4020u, 4));
  EXPECT_EQ(block.covered, (std::vector<ByteRange>{{0, 0x401F}, {0x4024, 0x7FFF}}));
  EXPECT_EQ(block.fields.at(2).key + "=" + block.fields.at(2).value, "Range=0-7FFF");
  for (const char* end : {"\n", "\r\n", "\r"}) {
    std::string other;
    for (const char c : text) other += c == '\n' ? std::string(end) : std::string(1, c);
    EXPECT_EQ(readChecksumSection(other, 32768).blocks.at(0).fields.at(5).at,
              (TextPosition{214, 1}));
  }
}

// The section opens only after the last field of the last item: a remark "Checksums" between
// items is no section. The check's count of items nobody reads stops at the section line.
TEST(ChecksumSection, OpensOnlyAfterTheItems) {
  const std::string head = "ECU FORMAT 1\n{\nT=\nV=1\nA=\nB=\nC=\nD=\nItems=1\n}\n";
  const std::string item =
      "{\nAddress=10, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1\n"
      "Name=n, Ylabel=, Yaxis=, Xlabel=, Xaxis=\n}\n";
  const std::string block = "{\nnAmE=s\nALGORITHM=Sum\n  range = 0-F\nStore=20\nSize=1\n}\n";
  EXPECT_FALSE(readChecksumSection(head + "Checksums\n" + item, 64).at);

  const EcuReport report = checkEcu(head + item + item + " checksums \n" + block, 64);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].message.substr(0, 26), "this item is not read: the");
  ASSERT_EQ(report.checksums.blocks.size(), 1u);
  EXPECT_EQ(report.checksums.at, (TextPosition{19, 2}));
  EXPECT_EQ(report.checksums.blocks[0].fields.at(2).at, (TextPosition{23, 3}));
}

}  // namespace
}  // namespace trimlet
