#include "core/ecu_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

// A header declaring `count` items, followed by `items` well-formed items.
std::string ecuText(int count, int items) {
  std::string text =
      "ECU FORMAT 1\n{\nA=a\nB=1\nC=\nD=\nE=\nF=\nCount=" + std::to_string(count) + "\n}\n";
  for (int i = 1; i <= items; ++i)
    text += "{\nAddress=" + std::to_string(i) +
            ",Cols=1,Rows=1,Bytes=2,Kind=0,Offset=1.5,Operation=1,Factor=4\nName=Item " +
            std::to_string(i) + ",Ylabel=y,Yaxis=,Xlabel=x,Xaxis=\n}\n";
  return text;
}

// An item's fields in the file's order.
std::string fields(const ECU_Item& i) {
  std::ostringstream out;
  out << i.Address << '|' << i.Cols << '|' << i.Rows << '|' << i.Bytes << '|' << i.Kind << '|'
      << i.Offset << '|' << i.Operation << '|' << i.Factor << '|' << i.Name << '|' << i.Ylabel
      << '|' << i.Yaxis << '|' << i.Xlabel << '|' << i.Xaxis;
  return out.str();
}

// The parse of `text` from a file, into a fresh state.
ParseResult parse(const std::string& text) {
  resetState();
  const test::TempDir dir;
  ECU_Path = dir.write("test.ecu", text);
  return Parse_ECU();
}

TEST(EcuParse, ReadsHeaderAndItemsByPositionSkippingBlanksAndRemarks) {
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
  EXPECT_EQ(ECU_Format + "|" + ECU_Head1 + "|" + std::to_string(ECU_Head2),
            "ecu format 2|Example|7");
  ASSERT_EQ(ECU_Count, 2);
  EXPECT_EQ(fields(ECU_Items[1]),
            "1F00|1|1|1|80|0|0|0|Option flags|Bit|"
            "Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle|Checked means on|Option word 1");
  // A quoted value still ends at its comma; the fields after it are taken by their place.
  EXPECT_EQ(fields(ECU_Items[2]),
            "2000|8|1|1|0|-40|0|0.75|Deg C|Temp||Sensor counts| 20 40 60 80100120140160");
}

TEST(EcuParse, TheCountDecidesHowManyItemsAreRead) {
  EXPECT_EQ(parse(ecuText(0, 0) + "garbage\n{\nAddress=zz\n").outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Count, 0);
  EXPECT_EQ(parse(ecuText(300, 300)).outcome, ParseOutcome::Ok);
  EXPECT_EQ(ECU_Items[300].Name, "Item 300");
  EXPECT_EQ(parse(ecuText(301, 301)).outcome, ParseOutcome::ItemError);
}

}  // namespace
}  // namespace trimlet
