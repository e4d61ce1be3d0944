#include "core/ecu_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/state.h"
#include "core/text.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

using test::TempDir;

TEST(EcuTokenizer, SplitsAtCommasAndLineEnds) {
  struct Case {
    const char* text;
    std::vector<std::string_view> items;
  };
  const Case cases[] = {
      {"Cols=4, Rows=8", {"Cols=4", "Rows=8"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"   x  ,y", {"x  ", "y"}},
      {"\"Name=Fuel, trim\" dropped,next", {"Name=Fuel, trim", "next"}},
      {"  \"q\"\r\nz", {"q", "z"}},
      {"\"open, to the end", {"open, to the end"}},
      {"Name=Fuel, trim", {"Name=Fuel", "trim"}},
      {"last\n", {"last"}},
  };
  for (const Case& c : cases) EXPECT_EQ(tokenizeItems(c.text), c.items) << c.text;
}

TEST(EcuFields, ValueFollowsTheFirstEqualsUpToAComma) {
  struct Case {
    const char* item;
    const char* value;
  };
  const Case cases[] = {
      {"Cols = 4", " 4"},
      {"Name=Fuel, trim", "Fuel"},
      {"Xaxis= 20 40 ", " 20 40 "},
      {"a=b=c", "b=c"},
      {"Author=", ""},
      {"no equals sign", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Get_Field(c.item), c.value) << c.item;
}

TEST(EcuFields, NumbersAreStrictFiniteAndInRange) {
  EXPECT_EQ(toInt16(" 4"), 4);
  EXPECT_EQ(toInt16("-32768"), -32768);
  EXPECT_EQ(toInt16("32767"), 32767);
  EXPECT_EQ(toInt16("2.5"), 2);  // halves to even
  EXPECT_EQ(toInt16("3.5"), 4);
  EXPECT_EQ(toInt16("+7"), 7);
  for (const char* bad :
       {"32768", "-32769", "32767.5", "", " ", "abc", "4x", "0x10", "++1", "nan", "inf", "1e999"})
    EXPECT_FALSE(toInt16(bad)) << bad;

  EXPECT_EQ(toReal("0.75"), 0.75);
  EXPECT_EQ(toReal(" -40 "), -40.0);
  EXPECT_EQ(toReal(".5"), 0.5);
  EXPECT_EQ(toReal("1e3"), 1000.0);
  for (const char* bad :
       {"", "0,75", "nan", "NAN", "inf", "-inf", "infinity", "1e999", "-1e999", "+-1", "1.5.2"})
    EXPECT_FALSE(toReal(bad)) << bad;
}

// The two items of the example file: a flag byte and an eight-cell array.
constexpr char kExample[] =
    "ECU FORMAT 1\n"
    "{\n"
    "Title=Example engine\n"
    "Version=2\n"
    "Author=, Date=, Notes=, Spare=\n"
    "Items=2\n"
    "}\n"
    "{\n"
    "Address=1F00, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=0\n"
    "Name=Option flags\n"
    "Ylabel=Bit\n"
    "Yaxis=Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle\n"
    "Xlabel=Checked means on\n"
    "Xaxis=Option word 1\n"
    "}\n"
    "{\n"
    "Address=2000, Cols=8, Rows=1, Bytes=1, Kind=0, Offset=-40, Operation=0, Factor=0.75\n"
    "Name=Deg C, Ylabel=Temp, Yaxis=, Xlabel=Sensor counts\n"
    "Xaxis= 20 40 60 80100120140160\n"
    "}\n";

// A header declaring `count` items, followed by `items` well-formed items.
std::string ecuText(int count, int items, const std::string& head = "ECU FORMAT 1") {
  std::string text =
      head + "\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount=" + std::to_string(count) + "\n}\n";
  for (int i = 1; i <= items; ++i) {
    text += "{\nAddress=" + std::to_string(i) +
            ",Cols=1,Rows=1,Bytes=2,Kind=0,Offset=1.5,Operation=1,Factor=4\n"
            "Name=Item " +
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

  TempDir dir;
};

TEST_F(EcuParse, ReadsHeaderAndItemsByPosition) {
  const ParseResult result = parse(kExample);
  ASSERT_EQ(result.outcome, ParseOutcome::Ok) << result.message;
  EXPECT_EQ(ECU_Format, "ECU FORMAT 1");
  EXPECT_EQ(ECU_Head1, "Example engine");
  EXPECT_EQ(ECU_Head2, 2);
  EXPECT_EQ(ECU_Head3, "");
  EXPECT_EQ(ECU_Head6, "");
  ASSERT_EQ(ECU_Count, 2);

  const ECU_Item& flags = ECU_Items[1];
  EXPECT_EQ(flags.Address, "1F00");
  EXPECT_EQ(flags.Kind, 80);
  EXPECT_EQ(flags.Name, "Option flags");
  EXPECT_EQ(flags.Yaxis, "Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle");
  EXPECT_EQ(flags.Xaxis, "Option word 1");

  const ECU_Item& array = ECU_Items[2];
  EXPECT_EQ(array.Address, "2000");
  EXPECT_EQ(array.Cols, 8);
  EXPECT_EQ(array.Rows, 1);
  EXPECT_EQ(array.Offset, -40.0);
  EXPECT_EQ(array.Factor, 0.75);
  EXPECT_EQ(array.Name, "Deg C");
  EXPECT_EQ(array.Ylabel, "Temp");
  EXPECT_EQ(array.Yaxis, "");
  EXPECT_EQ(array.Xlabel, "Sensor counts");
  EXPECT_EQ(array.Xaxis, " 20 40 60 80100120140160");
  EXPECT_EQ(ECU_Items[3].Name, "");
}

TEST_F(EcuParse, SkipsBlankItemsAndTextBetweenItems) {
  const std::string text =
      "\n  \n, ,ecu format 2\nremarks before the header\n  {  \n\nA=a,, ,B= 7\nC=,D=,E=,F=\n"
      "Cols = 1\n}\nanything here, even = signs\n{\n"
      "Address=10,  Cols = 4 , Rows=1,,Bytes=1,Kind=0,Offset=0,Operation=0,Factor=1\n"
      "\"Name=Fuel, trim\",Ylabel=a,Yaxis=,Xlabel=,Xaxis=\n}\n";
  const ParseResult result = parse(text);
  ASSERT_EQ(result.outcome, ParseOutcome::Ok) << result.message;
  EXPECT_EQ(ECU_Format, "ecu format 2");
  EXPECT_EQ(ECU_Head2, 7);
  EXPECT_EQ(ECU_Items[1].Cols, 4);
  EXPECT_EQ(ECU_Items[1].Name, "Fuel");  // the quoted value is cut at its comma
  EXPECT_EQ(ECU_Items[1].Ylabel, "a");
}

TEST_F(EcuParse, UnquotedCommaStartsTheNextField) {
  std::string text = ecuText(1, 0);
  text +=
      "{\nAddress=1,Cols=1,Rows=1,Bytes=1,Kind=0,Offset=0,Operation=0,Factor=1\n"
      "Name=Fuel, trim\nYaxis=,Xlabel=x,Xaxis=\n}\n";
  ASSERT_EQ(parse(text).outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Items[1].Name, "Fuel");
  EXPECT_EQ(ECU_Items[1].Ylabel, "");  // "trim" lacks "=": an empty value
  EXPECT_EQ(ECU_Items[1].Xlabel, "x");
}

TEST_F(EcuParse, RejectsAFileWithoutTheFormatWord) {
  for (const char* head : {"ECU DEFINITIONS", ""}) {
    const ParseResult result = parse(ecuText(1, 1, head));
    EXPECT_EQ(result.outcome, ParseOutcome::Rejected);
    EXPECT_EQ(result.message, kIncorrectFormat);
  }
}

TEST_F(EcuParse, RejectsAFileThatFailsBeforeTheHeaderEnds) {
  const char* texts[] = {
      "ECU FORMAT 1\n",
      "ECU FORMAT 1\n{\nA=a\nB=1\nC=\n",
      "ECU FORMAT 1\n{\nA=a\nB=two\nC=\nD=\nE=\nF=\nCount=1\n",
      "ECU FORMAT 1\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount=40000\n",
      "ECU FORMAT 1\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount\n",
  };
  for (const char* text : texts) {
    const ParseResult result = parse(text);
    EXPECT_EQ(result.outcome, ParseOutcome::Rejected) << text;
    EXPECT_EQ(result.message, kEcuFileError) << text;
  }
}

TEST_F(EcuParse, RejectsAFileThatCannotBeRead) {
  ECU_Path = (dir.path() / "missing.ecu").string();
  ParseResult result = Parse_ECU();
  EXPECT_EQ(result.outcome, ParseOutcome::Rejected);
  EXPECT_NE(result.message.find(std::strerror(ENOENT)), std::string::npos) << result.message;

  ECU_Path = dir.path().string();
  result = Parse_ECU();
  EXPECT_EQ(result.outcome, ParseOutcome::Rejected);
  EXPECT_NE(result.message.find(std::strerror(EISDIR)), std::string::npos) << result.message;
}

TEST_F(EcuParse, CountDecidesHowManyItemsAreRead) {
  ParseResult result = parse(ecuText(0, 0) + "garbage, never read\n{\nAddress=zz\n");
  EXPECT_EQ(result.outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Count, 0);

  result = parse(ecuText(301, 301));
  EXPECT_EQ(result.outcome, ParseOutcome::ItemError);
  EXPECT_EQ(result.message, kEcuFileError);
  EXPECT_EQ(ECU_Count, 301);
  EXPECT_EQ(ECU_Items[300].Name, "Item 300");

  result = parse(ecuText(5, 4));
  EXPECT_EQ(result.outcome, ParseOutcome::ItemError);
  EXPECT_EQ(ECU_Count, 5);
  EXPECT_EQ(ECU_Items[4].Name, "Item 4");
  EXPECT_EQ(ECU_Items[4].Operation, 1);
  EXPECT_EQ(ECU_Items[4].Offset, 1.5);
  EXPECT_EQ(ECU_Items[5].Name, "");
}

TEST_F(EcuParse, BadNumberInAnItemLeavesItPartlyFilled) {
  const char* badFields[] = {"Cols=40000", "Cols=",        "Cols=x",      "Offset=nan",
                             "Offset=inf", "Offset=1e999", "Factor=0.75x"};
  for (const char* bad : badFields) {
    std::string text = ecuText(2, 1);
    std::string item =
        "{\nAddress=AB,Cols=2,Rows=1,Bytes=1,Kind=0,Offset=0,Operation=0,Factor=1,\n"
        "Name=n,Ylabel=,Yaxis=,Xlabel=,Xaxis=\n}\n";
    const std::string key = std::string(bad).substr(0, std::string(bad).find('='));
    const size_t at = item.find(key + "=");
    item.replace(at, item.find(',', at) - at, bad);
    const ParseResult result = parse(text + item);
    EXPECT_EQ(result.outcome, ParseOutcome::ItemError) << bad;
    EXPECT_EQ(ECU_Items[1].Name, "Item 1") << bad;
    EXPECT_EQ(ECU_Items[2].Address, "AB") << bad;
    EXPECT_EQ(ECU_Items[2].Name, "") << bad;
  }
}

TEST_F(EcuParse, EachParseStartsFromAnEmptyItemTable) {
  ASSERT_EQ(parse(ecuText(3, 3)).outcome, ParseOutcome::Ok);
  ASSERT_EQ(ECU_Items[3].Name, "Item 3");

  EXPECT_EQ(parse(ecuText(3, 1)).outcome, ParseOutcome::ItemError);
  EXPECT_EQ(ECU_Items[1].Name, "Item 1");
  EXPECT_EQ(ECU_Items[2].Name, "");
  EXPECT_EQ(ECU_Items[3].Name, "");
  EXPECT_EQ(ECU_Items[3].Cols, 0);  // falls into no class, so the editor refuses the file

  ASSERT_EQ(parse(ecuText(3, 3)).outcome, ParseOutcome::Ok);
  EXPECT_EQ(parse(ecuText(3, 3, "ECU DEFINITIONS")).outcome, ParseOutcome::Rejected);
  EXPECT_EQ(ECU_Count, 0);
  EXPECT_EQ(ECU_Items[1].Name, "");
}

}  // namespace
}  // namespace trimlet
