#include "core/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace trimlet {
namespace {

using test::readText;

class Settings : public testing::Test {
 protected:
  void SetUp() override {
    path = (dir.path() / "trimlet.ini").string();
    setSettingsFile(path, "trimlet");
  }

  test::TempDir dir;
  std::string path;
};

TEST_F(Settings, MissingFileSectionOrKeyReadsEmptyAndTheFirstWriteCreatesThem) {
  EXPECT_EQ(INI_Read("BIN Location"), "");
  dir.write("trimlet.ini", "[other]\nBIN Location=/elsewhere\n");
  EXPECT_EQ(INI_Read("BIN Location"), "");
  std::filesystem::remove(path);
  INI_Write("BIN Location", "/data/engine.bin");
  INI_Write("Save Before Execute (Y/N)", "N");
  EXPECT_EQ(readText(path),
            "[trimlet]\nBIN Location=/data/engine.bin\nSave Before Execute (Y/N)=N\n");
}

// Keys and the section name match whatever their case; values are read trimmed.
TEST_F(Settings, WritesKeepOtherSectionsKeysAndComments) {
  dir.write("trimlet.ini",
            "; kept\r\n[Other]\r\nBIN Location=other\r\n\r\n[TRIMLET]\r\n; note\r\n"
            "bin location = old\r\nUpload Execute=  upload.sh \r\n\r\n[Last]\r\nx=1\r\n");
  EXPECT_EQ(INI_Read("upload EXECUTE"), "upload.sh");
  INI_Write("BIN Location", "new");
  INI_Write("ECU Location", "e.ecu");
  EXPECT_EQ(readText(path),
            "; kept\r\n[Other]\r\nBIN Location=other\r\n\r\n[TRIMLET]\r\n; note\r\n"
            "BIN Location=new\r\nUpload Execute=  upload.sh \r\nECU Location=e.ecu\r\n\r\n"
            "[Last]\r\nx=1\r\n");
}

}  // namespace
}  // namespace trimlet
