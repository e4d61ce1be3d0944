// Settings files Trimlet must not damage. A write replaces the file whole or not at all, also
// when it fails part-way as on a full disk, and keeps every byte it does not change: each
// line's own end (CR alone too), other sections, keys and comments, the link to the file, its
// mode. One it cannot read or write stays as it is and the user hears of it once.
#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;

// Runs `action` in a child process as the user nobody, who cannot read root's files of mode
// 0600 nor write those of 0644, or else unable to write past byte 4096 of any file, so that a
// write there fails part-way. True when it returned true.
bool inChild(bool asNobody, const std::function<bool()>& action) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{4096, 4096};
    const bool ready = asNobody ? ::setgid(65534) == 0 && ::setuid(65534) == 0
                                : ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    ::_exit(ready && action() ? 0 : 1);
  }
  int status = 1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Settings, WritesKeepEveryOtherByteOrLeaveTheFileAsItWas) {
  if (::geteuid() != 0) GTEST_SKIP() << "a child as another user needs root";
  const std::string kept = "[t]\nA=1\n", command = R"("/opt/my tools/flash.sh" "/tmp/my file.bin")";
  const std::string big = "; " + std::string(5000, 'x') + "\n[t]\r\nA=cr\r\r\nC=" + command +
                          "\nP= \"/my data/a.bin\" \nL=" + std::string(255, 'l') + "\nB=x\nlast=1";
  // The file, its mode, who does what (true when it says what it should), the file afterwards.
  enum Way { Here, AsNobody, PastALimit };
  const std::tuple<std::string, mode_t, Way, std::function<bool()>, std::string> rows[] = {
      // Keys and the section name match whatever their case; values are read trimmed.
      {"; c\r[u]\rA=u\r[T]\r; n\ra = 1\rC=  c \r\r[v]\rB=2", 0644, Here,
       [] {
         EXPECT_EQ(INI_Read("c") + "|" + INI_Read("A") + "|" + INI_Read("B"), "c|1|");
         return INI_Write("B", "3"), INI_Write("A", "4"), INI_Read("A") == "4";
       },
       "; c\r[u]\rA=u\r[T]\r; n\rA=4\rC=  c \rB=3\r\r[v]\rB=2"},
      // A value is read whole or said to be too long; quotes around all of it alone are dropped.
      {big, 0640, Here,
       [&] {
         INI_Write("B", "y");
         INI_Write("New", "1");
         EXPECT_EQ(readSetting("C").text + "|" + readSetting("P").text,
                   command + "|/my data/a.bin");
         EXPECT_TRUE(readSetting("L").tooLong && !readSetting("P").tooLong);
         return readSetting("L").text == std::string(254, 'l');
       },
       big.substr(0, big.find("B=x")) + "B=y\nlast=1\nNew=1\n"},
      {big, 0644, PastALimit, [] { return INI_Write("B", "y"), true; }, big},
      {kept, 0644, Here, [] { return INI_Write("A", "1"), true; }, kept},  // not rewritten
      {kept, 0644, Here,
       [] {
         return writeSettings({{"A", "2"}, {"B", "x\ry"}}) == IniStored::Refused;
       },
       kept},
      {kept, 0600, AsNobody, [] { return INI_Write("B", "3"), INI_Read("A").empty(); }, kept},
      {kept, 0644, AsNobody,
       [] {
         INI_Write("B", "3");
         const bool told = !untoldSettingsWriteProblem().empty();
         return INI_Write("C", "4"), told && untoldSettingsWriteProblem().empty();
       },
       kept},
  };
  for (const auto& [before, mode, way, write, after] : rows) {
    SCOPED_TRACE(before.substr(0, 40) + std::to_string(mode));
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);  // so that a replacement would show
    const std::string path = dir.write("t.ini", before), link = (dir.path() / "link.ini").string();
    ::chmod(path.c_str(), mode);
    fs::create_symlink(path, link);
    fs::create_hard_link(path, dir.path() / "was.ini");  // the file as it was, still there
    setSettingsFile(link, "t");
    EXPECT_TRUE(way == Here ? write() : inChild(way == AsNobody, write));
    EXPECT_EQ(test::readText(path), after);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(mode));
    EXPECT_EQ(fs::equivalent(path, dir.path() / "was.ini"),
              before == after);                                           // replaced if changed
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);  // nothing half-written
  }
}

}  // namespace
}  // namespace trimlet
