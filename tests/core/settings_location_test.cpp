#include "core/settings_location.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

// XDG_CONFIG_HOME counts only when it is an absolute path; otherwise the home's .config does.
// The first write finds the missing folders made, for their owner alone, and creates the file.
TEST(SettingsLocation, UserFileFollowsAnAbsoluteXdgConfigHomeAndIsMadeInNewFolders) {
  const std::pair<const char*, const char*> rows[] = {
      {"/data/config/", "/data/config/trimlet/trimlet.ini"},
      {nullptr, "/home/me/.config/trimlet/trimlet.ini"},
      {"", "/home/me/.config/trimlet/trimlet.ini"},
      {"config", "/home/me/.config/trimlet/trimlet.ini"}};
  for (const auto& [configHome, path] : rows)
    EXPECT_EQ(userSettingsFile(configHome, "/home/me"), path)
        << (configHome != nullptr ? configHome : "unset");
  const test::TempDir dir;
  const std::string path = userSettingsFile((dir.path() / "new").c_str(), "/nowhere");
  makeFoldersFor(path);
  setSettingsFile(path, "trimlet");
  INI_Write("BIN Location", "/cars/a.bin");
  EXPECT_EQ(test::readText(path), "[trimlet]\nBIN Location=/cars/a.bin\n");
  EXPECT_EQ(std::filesystem::status(dir.path() / "new").permissions(),
            std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace trimlet
