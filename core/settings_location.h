// Where an installed Trimlet keeps its settings file: in the user's configuration folder.
#pragma once

#include <string>
#include <string_view>

namespace trimlet {

// `configHome`/trimlet/trimlet.ini for the value of XDG_CONFIG_HOME, or
// `home`/.config/trimlet/trimlet.ini when that is unset (null), empty or relative: a relative
// one is ignored, as the XDG base directory rule asks.
[[nodiscard]] std::string userSettingsFile(const char* configHome, std::string_view home);

// Creates the missing folders on the way to the file at `path`, each for its owner alone; one
// that exists is left as it is. A folder that cannot be made shows later as a failed write.
void makeFoldersFor(const std::string& path);

}  // namespace trimlet
