// Files changed by other programs, saves cut short, huge files and files that are none: a save
// writes all of the image or nothing, and only into the file loaded unless told otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/file_read.h"
#include "core/hex.h"
#include "core/save_journal.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using namespace test;

class FileSafety : public testing::Test {
 protected:
  void SetUp() override { resetState(); }

  // Loads a file of `size` pattern bytes and edits its first and last byte; returns the image.
  std::vector<unsigned char> loadAndEdit(size_t size) {
    BIN_Path = dir.write("image.bin", patternBytes(size));
    EXPECT_TRUE(Load_BIN().ok);
    std::vector<unsigned char> image = patternBytes(size);
    for (const size_t at : {size_t{0}, size - 1}) setEditedByte(BIN_Data[at], image[at] = 0xAB);
    return image;
  }

  TempDir dir;
};

TEST_F(FileSafety, SaveIntoAFileChangedSinceTheLoadWritesOnlyWhenTold) {
  const timespec year2001[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
  // clang-format off
  const std::pair<std::function<void()>, std::string> changes[] = {
      {[&] { fs::rename(dir.write("new.bin", patternBytes(65536)), BIN_Path); },
       "it was replaced by another file."},
      {[] { std::ofstream(BIN_Path, std::ios::app) << "tail"; }, "it is now 32,772 bytes, not 32,768."},
      {[&] { std::fstream(BIN_Path, std::ios::in | std::ios::out).put('\x7F');
             ::utimensat(AT_FDCWD, BIN_Path.c_str(), year2001, 0); },
       "it was changed by another program at 2001-09-"},
      // Bytes decide, not times: a change whose time was put back is seen all the same.
      {[] { const auto loadedAt = fs::last_write_time(BIN_Path);
             std::fstream(BIN_Path, std::ios::in | std::ios::out).put('\x7F');
             fs::last_write_time(BIN_Path, loadedAt); },
       "it was changed by another program at "},
  };
  // clang-format on
  for (const auto& [change, said] : changes) {
    SCOPED_TRACE(said);
    const auto image = loadAndEdit(32768);
    change();
    const auto theirs = readBytes(BIN_Path);
    const FileResult refused = Save_BIN();
    EXPECT_TRUE(refused.changedOnDisk);
    const std::string says = "The BIN file " + BIN_Path + " has changed since Trimlet loaded it: ";
    EXPECT_EQ(refused.message.find(says + said), 0u) << refused.message;
    EXPECT_EQ(readBytes(BIN_Path), theirs);
    EXPECT_TRUE(Save_BIN(SaveMode::Overwrite).ok);
    EXPECT_EQ(readBytes(BIN_Path), image);
    EXPECT_TRUE(Save_BIN().ok);  // the file is the one saved now: no second question
  }
  // A new mode or a new link alone changes no byte: no question. The save writes into the file
  // itself, so the link sees it.
  const auto image = loadAndEdit(32768);
  fs::permissions(BIN_Path, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_hard_link(BIN_Path, dir.path() / "twin.bin");
  EXPECT_TRUE(Save_BIN().ok);
  EXPECT_EQ(readBytes((dir.path() / "twin.bin").string()), image);
}

// A save cut short: the editor's open rolls the file back or finds the save complete and says
// so once; a journal that does not belong to the file is never applied. The viewer only warns.
TEST_F(FileSafety, TheEditorSettlesASaveCutShortAndNeverAppliesAForeignJournal) {
  const std::string before(4096, 'b'), after(4096, 'a'),
      mixed = after.substr(0, 1000) + before.substr(1000);
  const std::string bin = (dir.path() / "car.bin").string(), journal = saveJournalPath(bin);
  // The file, what spoils its journal, what the editor's open says, the file afterwards.
  using Text = std::string;
  const std::tuple<Text, std::function<void()>, Text, Text> cases[] = {
      {mixed, [] {}, " part-way: it was put back as it was before.", before},
      {after, [] {}, " after the save was complete: it holds the saved image.", after},
      {before, [] {}, " before the file changed: it is as it was before.", before},
      {mixed,
       [&] {
         std::fstream(journal, std::ios::in | std::ios::out).seekp(-71, std::ios::end).put(0);
       },
       ": it is damaged or cut short. It is left as it is", mixed},
      {mixed,
       [&] {
         const std::string other = (dir.path() / "other.bin").string();
         ASSERT_EQ(writeSaveJournal(other, before, after), 0);
         fs::rename(saveJournalPath(other), journal);
       },
       ": it belongs to a file named other.bin.", mixed},
      {Text(100, 'x'), [] {}, ": the file is 100 bytes long, not 4096 or 4096.", Text(100, 'x')},
  };
  for (const auto& [file, spoil, says, left] : cases) {
    SCOPED_TRACE(says);
    dir.write("car.bin", file);
    ASSERT_EQ(writeSaveJournal(bin, before, after), 0);
    spoil();
    EXPECT_EQ(checkSaveJournal(bin, false).message,
              "Trimlet stopped while saving " + bin +
                  ". The viewer shows the file as it is; open it in the editor to put it right.");
    const std::string said = checkSaveJournal(bin, true).message;
    EXPECT_NE(said.find(says), std::string::npos) << said;
    EXPECT_EQ(readText(bin), left);
    EXPECT_EQ(fs::exists(journal), said.starts_with("Trimlet did not use"));
    fs::remove(journal);
  }
}

TEST_F(FileSafety, ReadersRefuseWhatIsNotASmallRegularFile) {
  const std::string pipe = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string big = dir.write("big", std::string(kMaxTextFileBytes + 1, '\n'));
  // What the BIN load, the ECU parse and the settings say of the file.
  const auto said = [](const std::string& path) {
    BIN_Path = ECU_Path = path;
    setSettingsFile(path, "trimlet");
    return std::vector{Load_BIN().message, Parse_ECU().message, settingsFileProblem()};
  };
  std::string why = pipe + " cannot be read: it is not a regular file.";
  EXPECT_EQ(said(pipe), std::vector<std::string>({"The BIN file " + why, "The ECU file " + why,
                                                  "The settings file " + why}));
  why = big + " is too large: it holds 4,194,305 bytes, and Trimlet holds at most ";
  EXPECT_EQ(said(big), std::vector<std::string>({"The BIN file " + why + "655,343 bytes.",
                                                 "The ECU file " + why + "4,194,304 bytes.",
                                                 "The settings file " + why + "4,194,304 bytes."}));
  // A read that fails is a failure, not an empty file: this one fails at its first byte.
  EXPECT_EQ(readFileBytes("/proc/self/mem", 100).problem, ReadProblem::Failed);

  // A save refuses a pipe too, even one told to overwrite, rather than wait on it.
  BIN_Path = dir.write("image.bin", patternBytes(64));
  ASSERT_TRUE(Load_BIN().ok);
  fs::rename(pipe, BIN_Path);
  for (const SaveMode mode : {SaveMode::IfUnchanged, SaveMode::Overwrite})
    EXPECT_EQ(Save_BIN(mode).message,
              "The BIN file " + BIN_Path + " could not be saved: it is not a regular file.");
}

// The copy of the file as loaded: written once, never over another (whole or not at all: the
// fault test's), even for names as long as a name may be, with the journal and temporaries.
TEST_F(FileSafety, TheOriginalIsKeptOnceAndNeverOverAnother) {
  EXPECT_EQ(originalCopyPath("/a/car.bin"), "/a/car.orig.bin");
  EXPECT_EQ(originalCopyPath("/a/image"), "/a/image.orig");
  BIN_Path = dir.write(std::string(246, 'n') + ".bin", patternBytes(64));
  const std::string copy = originalCopyPath(BIN_Path);
  ASSERT_TRUE(Load_BIN().ok);
  EXPECT_EQ(keepOriginal(BIN_Path, std::vector<uint8_t>(64, 1)).message, "");
  EXPECT_EQ(Save_BIN().message, "");
  EXPECT_EQ(keepOriginal(BIN_Path, std::vector<uint8_t>(10, 2)).message, "");
  EXPECT_EQ(readBytes(copy), std::vector<uint8_t>(64, 1));
  // A link under the copy's name, even to nothing: said, never followed.
  fs::remove(copy);
  fs::create_symlink("/nowhere", copy);
  const FileResult kept = keepOriginal(BIN_Path, std::vector<uint8_t>(64, 1));
  EXPECT_TRUE(kept.ok);
  EXPECT_EQ(kept.message, "No copy of the original BIN file was made: " + copy +
                              " is a link, which Trimlet leaves as it is.");
  EXPECT_FALSE(fs::exists("/nowhere"));
}

// A copy is written whole over a new or regular file, or refused, leaving what was there as it
// was and no temporary file beside it. (Failures part-way: the settings' and the save's tests.)
TEST_F(FileSafety, ACopyIsWrittenWholeOrRefused) {
  BIN_Path = dir.write("car.bin", patternBytes(64));
  ASSERT_EQ(::chmod(BIN_Path.c_str(), 0640), 0);
  const std::vector<uint8_t> image(64, 0x5A);
  using Make = std::function<void(const std::string&)>;
  // clang-format off
  const std::tuple<std::string, Make, std::string> cases[] = {
      {"new.bin", nullptr, ""},
      {"old.bin", [](const std::string& p) { std::ofstream(p) << "old"; }, ""},
      {"folder", [](const std::string& p) { fs::create_directory(p); }, "it is a folder."},
      {"pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, "it is not a regular file."},
      {"link.bin", [](const std::string& p) { fs::create_symlink(BIN_Path, p); },
       "it is the BIN file itself; \"Save Changes\" saves into it."},
      {"none/x.bin", nullptr, std::string(std::strerror(ENOENT)) + "."},
  };
  // clang-format on
  for (const auto& [name, prepare, said] : cases) {
    SCOPED_TRACE(name);
    const std::string path = (dir.path() / name).string();
    if (prepare) prepare(path);
    const auto type = fs::symlink_status(path).type();
    const fs::perms perms = fs::exists(path) ? fs::status(path).permissions() : fs::perms(0640);
    EXPECT_EQ(saveCopy(path, image).message,
              said.empty() ? said : "The copy " + path + " could not be saved: " + said);
    if (said.empty()) {
      EXPECT_EQ(readBytes(path), image);
      EXPECT_EQ(fs::status(path).permissions(), perms);  // the BIN file's, or its own
    } else {
      EXPECT_EQ(fs::symlink_status(path).type(), type);
    }
  }
  EXPECT_EQ(readBytes(BIN_Path), patternBytes(64));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 6);  // and no temporary one
}

}  // namespace
}  // namespace trimlet
