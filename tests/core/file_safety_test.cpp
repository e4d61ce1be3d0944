// Files changed by other programs, full disks, huge files and files that are none: a save
// writes all of the image or nothing, and only into the file loaded unless told otherwise.
#include <fcntl.h>
#include <fiu-control.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/file_read.h"
#include "core/hex.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using namespace test;

// Runs `action` in a child process; true when it returned true.
bool inChild(const std::function<bool()>& action) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(action() ? 0 : 1);
  int status = 1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `action` in a child process that cannot write past byte `limit` of any file, so that a
// write there fails part-way as on a full disk. True when the action returned true.
bool withFileLimit(rlim_t limit, const std::function<bool()>& action) {
  return inChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{limit, limit};
    return ::setrlimit(RLIMIT_FSIZE, &small) == 0 && action();
  });
}

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
}

// Past the limit a write fails with EFBIG after writing what fits: the save puts back every
// byte it changed and the old length, whether the file is the one loaded (0) or another one
// of some length that the user chose to save over.
TEST_F(FileSafety, SaveFailingPartWayLeavesTheFileAsItWas) {
  for (const size_t otherFile : {0, 32768, 2048}) {
    SCOPED_TRACE(otherFile);
    (void)loadAndEdit(16384);
    if (otherFile > 0) dir.write("image.bin", std::string(otherFile, 'Z'));
    const auto before = readBytes(BIN_Path);
    EXPECT_TRUE(withFileLimit(4096, [&] {
      return Save_BIN(otherFile > 0 ? SaveMode::Overwrite : SaveMode::IfUnchanged).message ==
             "The BIN file " + BIN_Path + " could not be saved: " + std::strerror(EFBIG);
    }));
    EXPECT_EQ(readBytes(BIN_Path), before);
  }
}

TEST_F(FileSafety, ReadersRefuseWhatIsNotASmallRegularFile) {
  const std::string pipe = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.path() / "zero");
  const std::string big = dir.write("big", std::string(kMaxTextFileBytes + 1, '\n'));
  // What the BIN load, the ECU parse and the settings say of the file.
  const auto said = [](const std::string& path) {
    BIN_Path = ECU_Path = path;
    setSettingsFile(path, "trimlet");
    return std::vector{Load_BIN().message, Parse_ECU().message, settingsFileProblem()};
  };
  for (const std::string& path : {pipe, (dir.path() / "zero").string()}) {
    const std::string why = path + " cannot be read: it is not a regular file.";
    EXPECT_EQ(said(path), std::vector<std::string>({"The BIN file " + why, "The ECU file " + why,
                                                    "The settings file " + why}));
  }
  const std::string why =
      big + " is too large: it holds 4,194,305 bytes, and Trimlet holds at most ";
  EXPECT_EQ(said(big), std::vector<std::string>({"The BIN file " + why + "655,343 bytes.",
                                                 "The ECU file " + why + "4,194,304 bytes.",
                                                 "The settings file " + why + "4,194,304 bytes."}));
  INI_Write("BIN Location", "/a.bin");
  EXPECT_EQ(fs::file_size(big), kMaxTextFileBytes + 1);  // left as it is
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

// A settings write replaces the file whole or not at all, and keeps every byte it does not
// change: each line's own line end (a CR alone among them), the link to the file, its mode. A
// value with a line break is not stored. A value is read whole or said to be too long; quotes
// around all of it alone are dropped.
TEST_F(FileSafety, SettingsWritesKeepEveryOtherByteAndReadsNeverCut) {
  const std::string command = R"("/opt/my tools/flash.sh" "/tmp/my file.bin")";
  const std::string head = "; " + std::string(5000, 'x') + "\n[t]\r\nA=cr\r\r\nC=" + command +
                           "\nP= \"/my data/a.bin\" \nL=" + std::string(255, 'l') + "\nB=x\nlast=1";
  const std::string target = dir.write("target.ini", head);
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, mode);
  fs::create_symlink(target, dir.path() / "link.ini");
  setSettingsFile((dir.path() / "link.ini").string(), "t");
  EXPECT_TRUE(withFileLimit(4096, [] { return INI_Write("B", "y"), true; }));
  EXPECT_EQ(readText(target), head);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // nothing half-written

  INI_Write("B", "y");
  INI_Write("B", "cut\nlast=2");
  INI_Write("New", "1");
  EXPECT_EQ(readText(target), head.substr(0, head.find("B=x")) + "B=y\nlast=1\nNew=1\n");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.ini"));
  EXPECT_EQ(fs::status(target).permissions(), mode);
  fs::create_hard_link(target, dir.path() / "same.ini");
  INI_Write("New", "1");  // what the file holds already: not rewritten
  EXPECT_TRUE(fs::equivalent(target, dir.path() / "same.ini"));

  EXPECT_EQ(readSetting("C").text + "|" + readSetting("P").text, command + "|/my data/a.bin");
  EXPECT_TRUE(readSetting("L").tooLong && !readSetting("P").tooLong);
  EXPECT_EQ(readSetting("L").text, std::string(254, 'l'));
}

// The copy of the file as loaded: written once, whole or not at all, never over another.
TEST_F(FileSafety, TheOriginalIsKeptOnceWholeOrNotAtAll) {
  const std::string bin = dir.write("car.bin", patternBytes(32768));
  const std::string copy = (dir.path() / "car.orig.bin").string();
  EXPECT_EQ(originalCopyPath(bin), copy);
  EXPECT_EQ(originalCopyPath("/a/image"), "/a/image.orig");
  const std::vector<uint8_t> loaded(32768, 0x5A);
  EXPECT_FALSE(withFileLimit(4096, [&] { return keepOriginal(bin, loaded).ok; }));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // no copy, whole or half
  ASSERT_TRUE(keepOriginal(bin, loaded).ok);
  EXPECT_EQ(readBytes(copy), loaded);
  ASSERT_TRUE(keepOriginal(bin, std::vector<uint8_t>(10, 1)).ok);
  EXPECT_EQ(readBytes(copy), loaded);
}

// A copy is written whole over a new or regular file, or refused, leaving what was there as it
// was and no temporary file beside it: also as uid 65534, and on a full disk (ENOSPC injected
// into pwrite when libfiu's POSIX wrappers are loaded).
TEST_F(FileSafety, ACopyIsWrittenWholeOrRefused) {
  BIN_Path = dir.write("car.bin", patternBytes(64));
  ASSERT_EQ(::chmod(BIN_Path.c_str(), 0640), 0);
  const std::vector<uint8_t> image(64, 0x5A);
  const char* preload = std::getenv("LD_PRELOAD");
  const bool injecting =
      preload && std::string(preload).find("fiu_posix_preload") != std::string::npos;
  const auto old = [](const std::string& path) { std::ofstream(path) << "old"; };
  enum Way { Here, AsNobody, DiskFull };
  using Make = std::function<void(const std::string&)>;
  // clang-format off
  const std::tuple<std::string, Make, Way, std::string> cases[] = {
      {"new.bin", nullptr, Here, ""},
      {std::string(251, 'n') + ".bin", nullptr, Here, ""},  // no room in the name for a suffix
      {"old.bin", old, Here, ""},
      {"folder", [](const std::string& p) { fs::create_directory(p); }, Here, "it is a folder."},
      {"pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, Here,
       "it is not a regular file."},
      {"link.bin", [](const std::string& p) { fs::create_symlink(BIN_Path, p); }, Here,
       "it is the BIN file itself; \"Save Changes\" saves into it."},
      {"theirs.bin", nullptr, AsNobody, std::string(std::strerror(EACCES)) + "."},
      {"full.bin", old, DiskFull, std::string(std::strerror(ENOSPC)) + "."},
  };
  // clang-format on
  for (const auto& [name, prepare, way, said] : cases) {
    SCOPED_TRACE(name);
    const std::string path = (dir.path() / name).string();
    if (prepare) prepare(path);
    const auto type = fs::symlink_status(path).type();
    const auto before = fs::is_regular_file(path) ? readBytes(path) : std::vector<uint8_t>();
    const fs::perms perms = fs::exists(path) ? fs::status(path).permissions() : fs::perms(0640);
    const std::string expected =
        said.empty() ? said : "The copy " + path + " could not be saved: " + said;
    if (way == AsNobody) {
      EXPECT_TRUE(inChild([&] {
        return ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
               saveCopy(path, image).message == expected;
      }));
    } else if (way == Here || injecting) {
      if (way == DiskFull) fiu_enable("posix/io/rw/pwrite", 1, reinterpret_cast<void*>(ENOSPC), 0);
      EXPECT_EQ(saveCopy(path, image).message, expected);
      if (way == DiskFull) fiu_disable("posix/io/rw/pwrite");
    }
    if (said.empty()) {
      EXPECT_EQ(readBytes(path), image);
      EXPECT_EQ(fs::status(path).permissions(), perms);  // the BIN file's, or its own
    } else {
      EXPECT_EQ(fs::symlink_status(path).type(), type);
      EXPECT_EQ(fs::is_regular_file(path) ? readBytes(path) : before, before);
    }
  }
  EXPECT_EQ(readBytes(BIN_Path), patternBytes(64));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 8);  // and no temporary one
}

// A missing file, section or key reads empty and the first write creates them; keys and the
// section name match whatever their case; values are read trimmed; other lines stay.
TEST_F(FileSafety, SettingsKeepOtherSectionsKeysAndCommentsOrStartFromNothing) {
  const std::string path = (dir.path() / "trimlet.ini").string();
  setSettingsFile(path, "trimlet");
  EXPECT_EQ(INI_Read("BIN Location"), "");
  INI_Write("BIN Location", "/data/engine.bin");
  INI_Write("Save Before Execute (Y/N)", "N");
  EXPECT_EQ(readText(path),
            "[trimlet]\nBIN Location=/data/engine.bin\nSave Before Execute (Y/N)=N\n");
  dir.write("trimlet.ini",
            "; kept\r\n[Other]\r\nBIN Location=other\r\n\r\n[TRIMLET]\r\n; note\r\n"
            "bin location = old\r\nUpload Execute=  upload.sh \r\n\r\n[Last]\r\nx=1\r\n");
  EXPECT_EQ(INI_Read("upload EXECUTE") + "|" + INI_Read("BIN Location"), "upload.sh|old");
  EXPECT_EQ(INI_Read("Save Before Execute (Y/N)"), "");
  INI_Write("BIN Location", "new");
  INI_Write("ECU Location", "e.ecu");
  EXPECT_EQ(readText(path),
            "; kept\r\n[Other]\r\nBIN Location=other\r\n\r\n[TRIMLET]\r\n; note\r\n"
            "BIN Location=new\r\nUpload Execute=  upload.sh \r\nECU Location=e.ecu\r\n\r\n"
            "[Last]\r\nx=1\r\n");
}

}  // namespace
}  // namespace trimlet
