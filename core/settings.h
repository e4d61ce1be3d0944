// The private settings file: one section of "key=value" lines in an initialization file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trimlet {

// Tells the settings layer which file and section to use (beside the executable, named
// after it). Set once at start-up.
void setSettingsFile(std::string path, std::string section);
[[nodiscard]] const std::string& settingsFilePath();

// Longest value a read delivers.
inline constexpr size_t kIniReadLimit = 254;

// A stored value and what a caller must know before using it.
struct IniValue {
  std::string text;      // trimmed, without one pair of surrounding quotes, cut to the limit
  bool found = false;    // the section holds the key
  bool tooLong = false;  // the value is longer than kIniReadLimit: `text` is only its start
};

// The value stored under `key` (case-insensitive); empty and not found when the file, the
// section or the key is missing, or the file cannot be used.
[[nodiscard]] IniValue readSetting(std::string_view key);

// The text of readSetting: where a cut value does no harm.
[[nodiscard]] std::string INI_Read(std::string_view key);

// Why the settings file exists but cannot be used (unreadable, not a regular file, too large),
// in the user's words; empty when it can be used or does not exist yet.
[[nodiscard]] std::string settingsFileProblem();

// Keys stored together, each with its value.
using IniEntries = std::vector<std::pair<std::string_view, std::string_view>>;

enum class IniStored {
  Stored,      // the file holds every entry (it may have held them already)
  Refused,     // a value could not be read back whole (a line break, too long): nothing stored
  NotWritten,  // the file cannot be used or written: nothing stored
};

// Stores every entry or none, each value readable back whole: the new file replaces the old
// one whole, or not at all.
[[nodiscard]] IniStored writeSettings(const IniEntries& entries);

// Stores `value` under `key`, creating the file, the section and the key as needed and keeping
// every other byte of the file. The new file replaces the old one whole, or not at all. A
// value with a line break is not stored, and a file that cannot be used or cannot be opened
// for writing is left alone; a failed write is ignored, as callers expect.
void INI_Write(std::string_view key, std::string_view value);

// Why a write failed, the first time one fails since the file was set, then empty: the user
// hears of a settings file Trimlet cannot write once a start, and works on without it.
[[nodiscard]] std::string untoldSettingsWriteProblem();

}  // namespace trimlet
