// Huge files and files that are none (pipes, devices): every reader refuses them at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/file_read.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;

class FileSafety : public testing::Test {
 protected:
  void SetUp() override { resetState(); }

  test::TempDir dir;
};

TEST_F(FileSafety, ReadersRefuseWhatIsNotASmallRegularFile) {
  const std::string pipe = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string zero = (dir.path() / "zero").string();
  fs::create_symlink("/dev/zero", zero);
  const std::string big = dir.write("big", std::string(kMaxTextFileBytes + 1, '\n'));
  // What the BIN load and the ECU parse say of the file.
  const auto said = [](const std::string& path) {
    BIN_Path = ECU_Path = path;
    return std::vector{Load_BIN().message, Parse_ECU().message};
  };
  for (const std::string& path : {pipe, zero}) {
    const std::string why = path + " cannot be read: it is not a regular file.";
    EXPECT_EQ(said(path), std::vector<std::string>({"The BIN file " + why, "The ECU file " + why}));
  }
  const std::string why =
      big + " is too large: it holds 4,194,305 bytes, and Trimlet holds at most ";
  EXPECT_EQ(said(big), std::vector<std::string>({"The BIN file " + why + "655,343 bytes.",
                                                 "The ECU file " + why + "4,194,304 bytes."}));
}

}  // namespace
}  // namespace trimlet
