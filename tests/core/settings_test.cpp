// Settings files Trimlet must not damage: one it cannot read or write is left as it is and the
// user hears of it once; a group of keys is stored whole or not at all; old line ends are kept.
#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "support/TempDir.h"

namespace trimlet {
namespace {

using namespace test;

// Runs `action` in a child process of the user nobody (uid 65534), as whom root's files of
// mode 0600 cannot be read and those of 0644 cannot be written. True when it returned true.
bool asNobody(const std::function<bool()>& action) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && action() ? 0 : 1);
  int status = 1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Settings, FaultsLeaveTheFileAsItWasOrWriteItsOwnLineEnds) {
  if (::geteuid() != 0) GTEST_SKIP() << "the unreadable and unwritable files need root";
  const std::string cannotWrite = " cannot be written: Permission denied.";
  const std::string stored = "[t]\nA=1\n";
  struct Row {
    const char* name;
    std::string before;
    mode_t mode;
    std::function<bool()> write;  // true when what it returned and said is right
    std::string after;
  };
  const Row rows[] = {
      {"CR alone ends a line, and new lines end with it", "[t]\rA=1\r[u]\rB=2", 0644,
       [] { return INI_Write("B", "3"), INI_Write("A", "4"), INI_Read("A") == "4"; },
       "[t]\rA=4\rB=3\r[u]\rB=2"},
      {"a group with a line break is stored not at all", stored, 0644,
       [] {
         return writeSettings({{"A", "2"}, {"B", "x\ry"}}) == IniStored::Refused;
       },
       stored},
      {"a group with a value read cut is stored not at all", stored, 0644,
       [] {
         return writeSettings({{"A", "2"}, {"B", std::string(255, 'b')}}) == IniStored::Refused;
       },
       stored},
      {"a group is stored in one write", stored, 0644,
       [] {
         return writeSettings({{"A", "2"}, {"B", "3"}}) == IniStored::Stored;
       },
       "[t]\nA=2\nB=3\n"},
      {"a file that cannot be read is not taken for a missing one", stored, 0600,
       [] { return asNobody([] { return INI_Write("B", "3"), INI_Read("A").empty(); }); }, stored},
      {"a read-only file is not replaced, and said so once", stored, 0644,
       [&] {
         return asNobody([&] {
           INI_Write("B", "3");
           const std::string said = untoldSettingsWriteProblem();
           INI_Write("C", "4");
           return said.find(cannotWrite) != std::string::npos &&
                  untoldSettingsWriteProblem().empty() && INI_Read("A") == "1";
         });
       },
       stored},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    // nobody may make files in the folder, so a file replaced by mistake would show.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const std::string path = dir.write("t.ini", row.before);
    ::chmod(path.c_str(), row.mode);
    setSettingsFile(path, "t");
    EXPECT_TRUE(row.write());
    EXPECT_EQ(readText(path), row.after);
  }
}

}  // namespace
}  // namespace trimlet
