#include "core/settings_location.h"

#include <sys/stat.h>

#include <filesystem>

namespace trimlet {

std::string userSettingsFile(const char* configHome, std::string_view home) {
  std::filesystem::path folder(configHome != nullptr ? configHome : "");
  if (!folder.is_absolute()) folder = std::filesystem::path(home) / ".config";
  return (folder / "trimlet" / "trimlet.ini").string();
}

void makeFoldersFor(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0700);
}

}  // namespace trimlet
