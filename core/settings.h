// The private settings file: one section of "key=value" lines in an initialization file.
#pragma once

#include <string>
#include <string_view>

namespace trimlet {

// Tells the settings layer which file and section to use (beside the executable, named
// after it). Set once at start-up.
void setSettingsFile(std::string path, std::string section);
[[nodiscard]] const std::string& settingsFilePath();

// The value stored under `key` (case-insensitive), trimmed, at most 254 characters; empty
// when the file, the section or the key is missing.
[[nodiscard]] std::string INI_Read(std::string_view key);

// Stores `value` under `key`, creating the file, the section and the key as needed and
// keeping every other line; a value is cut at its first line break. A failed write is ignored,
// as callers expect, and a file that exists but cannot be read is left alone.
void INI_Write(std::string_view key, std::string_view value);

}  // namespace trimlet
