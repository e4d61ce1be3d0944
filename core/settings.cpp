#include "core/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/text.h"

namespace trimlet {

namespace {

std::string g_path;
std::string g_section;
std::string g_untold;  // why the first failed write failed, until the user is told
bool g_told = false;

// The settings file as read: its content (empty when it does not exist yet), or why it
// cannot be used.
struct Loaded {
  std::string text;
  std::string problem;
  bool exists = true;
};

Loaded load() {
  FileBytes file = readFileBytes(g_path, kMaxTextFileBytes);
  // Only a missing file is an empty one: a file that cannot be read is never replaced.
  if (file.problem == ReadProblem::Failed && file.error == ENOENT) return {{}, {}, false};
  if (file.problem != ReadProblem::None)
    return {{}, readFailure("settings file", g_path, file, kMaxTextFileBytes)};
  return {std::move(file.bytes), {}};
}

// One line of the file: its text without the line end, and where the next line starts.
struct Line {
  std::string_view text;
  size_t next = 0;
};

// The line that starts at `begin`. A line ends at a line feed, a carriage return and line
// feed, or a carriage return alone (as old editors wrote).
Line lineAt(std::string_view file, size_t begin) {
  const size_t end = std::min(file.find_first_of("\r\n", begin), file.size());
  const size_t endLength = file.substr(end, 2) == "\r\n" ? 2 : 1;
  return {file.substr(begin, end - begin), std::min(end + endLength, file.size())};
}

// The file's own line end: that of its first line; a line feed in a file without one.
std::string_view lineEndOf(std::string_view file) {
  const size_t end = file.find_first_of("\r\n");
  if (end == std::string_view::npos || file[end] == '\n') return "\n";
  return file.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> sectionOf(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt for comments and other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
  const std::string_view trimmed = trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return trim(line.substr(0, eq));
}

// Where the section (the first of its name) and the key lie in the file.
struct Place {
  bool section = false;
  size_t insertAt = 0;  // after the section's last line that is not blank: where a new key goes
  std::optional<Line> key;
};

// One pass over the lines in place: a file of millions of blank lines costs no memory.
Place locate(std::string_view file, std::string_view key) {
  Place place;
  bool inSection = false;
  for (size_t at = 0; at < file.size();) {
    const Line line = lineAt(file, at);
    at = line.next;
    if (const auto name = sectionOf(line.text)) {
      if (inSection) break;
      inSection = place.section = equalsNoCase(*name, g_section);
      place.insertAt = line.next;
      continue;
    }
    if (!inSection) continue;
    if (!trim(line.text).empty()) place.insertAt = line.next;
    const auto lineKey = keyOf(line.text);
    if (!place.key && lineKey && equalsNoCase(*lineKey, trim(key))) place.key = line;
  }
  return place;
}

// The file's text with `key` set to `value`; every other byte stays as it was.
std::string withEntry(std::string_view file, std::string_view key, std::string_view value) {
  const std::string entry = std::string(trim(key)) + "=" + std::string(value);
  const Place place = locate(file, key);
  if (place.key) {
    const auto begin = static_cast<size_t>(place.key->text.data() - file.data());
    return std::string(file.substr(0, begin)) + entry +
           std::string(file.substr(begin + place.key->text.size()));
  }
  const std::string_view end = lineEndOf(file);
  const size_t at = place.section ? place.insertAt : file.size();
  std::string text(file.substr(0, at));
  // A last line without a line end gets one.
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += end;
  if (!place.section) text += "[" + g_section + "]" + std::string(end);
  text += entry;
  text += end;
  text += file.substr(at);
  return text;
}

void failedWrite(int error) {
  if (g_told || !g_untold.empty()) return;
  g_untold = "The settings file " + g_path + " cannot be written: " + std::strerror(error) +
             ". Trimlet works on, but remembers nothing of this session there.";
}

// Stores every entry in one replacement of the file, or none; `limit` is the longest value.
IniStored store(const IniEntries& entries, size_t limit) {
  for (const auto& [key, value] : entries) {
    // A line break would end the value and start a key or section of its own.
    if (value.find_first_of("\r\n") != std::string_view::npos || value.size() > limit)
      return IniStored::Refused;
  }
  const Loaded file = load();
  // The start-up has said why the file cannot be used.
  if (!file.problem.empty()) return IniStored::NotWritten;
  std::string text = file.text;
  for (const auto& [key, value] : entries) text = withEntry(text, key, value);
  if (text == file.text) return IniStored::Stored;
  // A file its owner made read-only is not replaced: the rename would get past its mode.
  if (file.exists) {
    const int fd = ::open(g_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      failedWrite(errno);
      return IniStored::NotWritten;
    }
    ::close(fd);
  }
  if (const int error = replaceFileWhole(g_path, text); error != 0) {
    failedWrite(error);
    return IniStored::NotWritten;
  }
  return IniStored::Stored;
}

}  // namespace

void setSettingsFile(std::string path, std::string section) {
  g_path = std::move(path);
  g_section = std::move(section);
  g_untold.clear();
  g_told = false;
}

const std::string& settingsFilePath() { return g_path; }

IniValue readSetting(std::string_view key) {
  const Loaded file = load();
  const Place place = locate(file.text, key);
  if (!place.key) return {};
  const std::string_view line = place.key->text;
  std::string_view value = trim(line.substr(line.find('=') + 1));
  // One pair of quotes around the whole value is dropped, as private profiles do; a value that
  // quotes parts of itself (a program and its arguments) is read as written.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front() &&
      value.substr(1, value.size() - 2).find(value.front()) == std::string_view::npos)
    value = trim(value.substr(1, value.size() - 2));
  IniValue result;
  result.found = true;
  result.tooLong = value.size() > kIniReadLimit;
  result.text = std::string(trim(value.substr(0, std::min(value.size(), kIniReadLimit))));
  return result;
}

std::string INI_Read(std::string_view key) { return readSetting(key).text; }

std::string settingsFileProblem() { return load().problem; }

IniStored writeSettings(const IniEntries& entries) { return store(entries, kIniReadLimit); }

// A location longer than a read delivers is still stored: the next start says it is too long
// rather than show the one before it.
void INI_Write(std::string_view key, std::string_view value) {
  (void)store({{key, value}}, std::string_view::npos);
}

std::string untoldSettingsWriteProblem() {
  if (g_untold.empty()) return {};
  g_told = true;
  return std::exchange(g_untold, {});
}

}  // namespace trimlet
