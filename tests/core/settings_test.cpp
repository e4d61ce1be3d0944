// Settings files Trimlet must not damage: one it cannot read or write stays as it is and the
// user hears of it once; keys stored together are stored whole or not at all; CR alone ends a
// line.
#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "support/TempDir.h"

namespace trimlet {
namespace {

// Runs `action` as the user nobody, who cannot read root's files of mode 0600 nor write those
// of 0644. True when it returned true.
bool asNobody(const std::function<bool()>& action) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && action() ? 0 : 1);
  int status = 1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Settings, FaultsLeaveTheFileAsItWasAndCrAloneEndsALine) {
  if (::geteuid() != 0) GTEST_SKIP() << "a child as another user needs root";
  const std::string kept = "[t]\nA=1\n";
  // The file, its mode, what is done (true when it says what it should), the file afterwards.
  const std::tuple<std::string, mode_t, std::function<bool()>, std::string> rows[] = {
      {"[t]\rA=1\r[u]\rB=2", 0644,
       [] { return INI_Write("B", "3"), INI_Write("A", "4"), INI_Read("A") == "4"; },
       "[t]\rA=4\rB=3\r[u]\rB=2"},
      {kept, 0644,
       [] {
         return writeSettings({{"A", "2"}, {"B", "x\ry"}}) == IniStored::Refused;
       },
       kept},
      {kept, 0600,
       [] { return asNobody([] { return INI_Write("B", "3"), INI_Read("A").empty(); }); }, kept},
      {kept, 0644,
       [] {
         return asNobody([] {
           INI_Write("B", "3");
           const bool told = !untoldSettingsWriteProblem().empty();
           return INI_Write("C", "4"), told && untoldSettingsWriteProblem().empty();
         });
       },
       kept},
  };
  for (const auto& [before, mode, write, after] : rows) {
    SCOPED_TRACE(before + std::to_string(mode));
    test::TempDir dir;
    std::filesystem::permissions(dir.path(),
                                 std::filesystem::perms::all);  // a replacement would show
    const std::string path = dir.write("t.ini", before);
    ::chmod(path.c_str(), mode);
    setSettingsFile(path, "t");
    EXPECT_TRUE(write());
    EXPECT_EQ(test::readText(path), after);
  }
}

}  // namespace
}  // namespace trimlet
