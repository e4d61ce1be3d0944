#include "core/ecu_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

TEST(EcuItems, SplitAtCommasAndLineEndsAndFieldValuesFollowTheFirstEquals) {
  const std::pair<const char*, std::vector<std::string_view>> items[] = {
      {"Cols=4, Rows=8", {"Cols=4", "Rows=8"}},
      {"a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
      {"a,,b", {"a", "", "b"}},
      {"   x  ,y", {"x  ", "y"}},
      {"\"Name=Fuel, trim\" dropped,next", {"Name=Fuel, trim", "next"}},
      {"  \"q\"\r\nz", {"q", "z"}},
      {"\"open, to the end", {"open, to the end"}},
      {"last\n", {"last"}},
  };
  for (const auto& [text, expected] : items) EXPECT_EQ(tokenizeItems(text), expected) << text;
  const std::pair<const char*, const char*> fields[] = {
      {"Cols = 4", " 4"},
      {"Name=Fuel, trim", "Fuel"},
      {"Xaxis= 20 40 ", " 20 40 "},
      {"a=b=c", "b=c"},
      {"Author=", ""},
      {"no equals sign", ""},
  };
  for (const auto& [item, value] : fields) EXPECT_EQ(Get_Field(item), value) << item;
}

// A header declaring `count` items, followed by `items` well-formed items.
std::string ecuText(int count, int items, const std::string& head = "ECU FORMAT 1") {
  std::string text =
      head + "\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount=" + std::to_string(count) + "\n}\n";
  for (int i = 1; i <= items; ++i) {
    text += "{\nAddress=" + std::to_string(i) +
            ",Cols=1,Rows=1,Bytes=2,Kind=0,Offset=1.5,Operation=1,Factor=4\nName=Item " +
            std::to_string(i) + ",Ylabel=y,Yaxis=,Xlabel=x,Xaxis=\n}\n";
  }
  return text;
}

class EcuParse : public testing::Test {
 protected:
  void SetUp() override { resetState(); }

  ParseResult parse(const std::string& text) {
    ECU_Path = dir.write("test.ecu", text);
    return Parse_ECU();
  }

  test::TempDir dir;
};

TEST_F(EcuParse, ReadsHeaderAndItemsByPositionSkippingBlanksAndRemarks) {
  const std::string text =
      "\n  \n, ,ecu format 2\nremarks\n  {  \n\nTitle=Example,, ,B= 7\nC=,D=,E=,F=\nItems = 2\n}\n"
      "anything, even = signs\n{\n"
      "Address=1F00, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=0\n"
      "Name=Option flags\nYlabel=Bit\nYaxis=Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle\n"
      "Xlabel=Checked means on\nXaxis=Option word 1\n}\n{\n"
      "Address=2000, Cols = 8 , Rows=1,,Bytes=1,Kind=0,Offset=-40,Operation=0,Factor=0.75\n"
      "\"Name=Deg C, trim\", Ylabel=Temp, Yaxis=, Xlabel=Sensor counts\n"
      "Xaxis= 20 40 60 80100120140160\n}\n";
  const ParseResult result = parse(text);
  ASSERT_EQ(result.outcome, ParseOutcome::Ok) << result.message;
  EXPECT_EQ(ECU_Format, "ecu format 2");
  EXPECT_EQ(ECU_Head1, "Example");
  EXPECT_EQ(ECU_Head2, 7);
  ASSERT_EQ(ECU_Count, 2);
  const ECU_Item& flags = ECU_Items[1];
  EXPECT_EQ(flags.Address, "1F00");
  EXPECT_EQ(flags.Kind, 80);
  EXPECT_EQ(flags.Yaxis, "Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle");
  EXPECT_EQ(flags.Xaxis, "Option word 1");
  const ECU_Item& array = ECU_Items[2];
  EXPECT_EQ(array.Cols, 8);
  EXPECT_EQ(array.Offset, -40.0);
  EXPECT_EQ(array.Factor, 0.75);
  EXPECT_EQ(array.Name, "Deg C");  // a quoted value still ends at its comma
  EXPECT_EQ(array.Ylabel, "Temp");
  EXPECT_EQ(array.Xaxis, " 20 40 60 80100120140160");

  // Outside quotes a comma starts the next field: "trim" lacks "=", so the name is cut there.
  std::string shifted = ecuText(1, 0);
  shifted +=
      "{\nAddress=1,Cols=1,Rows=1,Bytes=1,Kind=0,Offset=0,Operation=0,Factor=1\n"
      "Name=Fuel, trim\nYaxis=,Xlabel=x,Xaxis=\n}\n";
  ASSERT_EQ(parse(shifted).outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Items[1].Name, "Fuel");
  EXPECT_EQ(ECU_Items[1].Ylabel, "");
  EXPECT_EQ(ECU_Items[1].Xlabel, "x");
}

TEST_F(EcuParse, RejectsFilesThatFailBeforeTheItems) {
  const std::pair<std::string, const char*> cases[] = {
      {ecuText(1, 1, "ECU DEFINITIONS"), kIncorrectFormat},
      {"", kIncorrectFormat},
      {"ECU FORMAT 1\n", kEcuFileError},
      {"ECU FORMAT 1\n{\nA=a\nB=1\nC=\n", kEcuFileError},
      {"ECU FORMAT 1\n{\nA=a\nB=two\nC=\nD=\nE=\nF=\nCount=1\n", kEcuFileError},
      {"ECU FORMAT 1\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount=40000\n", kEcuFileError},
  };
  for (const auto& [text, message] : cases) {
    const ParseResult result = parse(text);
    EXPECT_EQ(result.outcome, ParseOutcome::Rejected) << text;
    EXPECT_EQ(result.message, message) << text;
  }
  ECU_Path = dir.path().string();
  const ParseResult folder = Parse_ECU();
  EXPECT_EQ(folder.outcome, ParseOutcome::Rejected);
  EXPECT_NE(folder.message.find(std::strerror(EISDIR)), std::string::npos) << folder.message;
}

TEST_F(EcuParse, TheCountDecidesHowManyItemsAreRead) {
  EXPECT_EQ(parse(ecuText(0, 0) + "garbage\n{\nAddress=zz\n").outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Count, 0);
  EXPECT_EQ(parse(ecuText(300, 300)).outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Items[300].Name, "Item 300");

  EXPECT_EQ(parse(ecuText(301, 301)).outcome, ParseOutcome::ItemError);
  EXPECT_EQ(ECU_Count, 301);
  EXPECT_EQ(ECU_Items[300].Name, "Item 300");

  const ParseResult fewer = parse(ecuText(5, 4));
  EXPECT_EQ(fewer.outcome, ParseOutcome::ItemError);
  EXPECT_EQ(fewer.message, kEcuFileError);
  EXPECT_EQ(ECU_Count, 5);
  EXPECT_EQ(ECU_Items[4].Offset, 1.5);
  EXPECT_EQ(ECU_Items[5].Name, "");
}

TEST_F(EcuParse, ABadNumberLeavesTheItemPartlyFilledAndNothingOfAnEarlierFile) {
  ASSERT_EQ(parse(ecuText(3, 3)).outcome, ParseOutcome::Ok);
  for (const char* bad : {"Cols=40000", "Cols=", "Cols=x", "Offset=nan", "Factor=0.75x"}) {
    std::string item =
        "{\nAddress=AB,Cols=2,Rows=1,Bytes=1,Kind=0,Offset=0,Operation=0,Factor=1,\n"
        "Name=n,Ylabel=,Yaxis=,Xlabel=,Xaxis=\n}\n";
    const std::string key = std::string(bad).substr(0, std::string(bad).find('='));
    const size_t at = item.find(key + "=");
    item.replace(at, item.find(',', at) - at, bad);
    EXPECT_EQ(parse(ecuText(3, 1) + item).outcome, ParseOutcome::ItemError) << bad;
    EXPECT_EQ(ECU_Items[1].Name, "Item 1") << bad;
    EXPECT_EQ(ECU_Items[2].Address, "AB") << bad;
    EXPECT_EQ(ECU_Items[2].Name, "") << bad;
    EXPECT_EQ(ECU_Items[3].Name, "") << bad;  // not the earlier file's third item
  }
}

}  // namespace
}  // namespace trimlet
