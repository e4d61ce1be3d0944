#include "core/settings.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>
#include <vector>

#include "core/file_read.h"
#include "core/text.h"

namespace trimlet {

namespace {

constexpr size_t kReadCap = 254;

std::string g_path;
std::string g_section;

struct IniFile {
  std::vector<std::string> lines;
  bool crlf = false;  // new lines follow the file's own line ends
};

// The file's lines: none when it does not exist yet, nullopt when it exists but cannot be read
// (a write must then leave it alone rather than replace it with one section).
std::optional<IniFile> load() {
  const FileBytes file = readFileBytes(g_path, kMaxTextFileBytes);
  if (file.problem == ReadProblem::Failed && file.error == ENOENT) return IniFile{};
  if (file.problem != ReadProblem::None) return std::nullopt;
  const std::string& text = file.bytes;
  IniFile ini;
  ini.crlf = text.find("\r\n") != std::string::npos;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ini.lines.push_back(std::move(line));
    start = end + 1;
  }
  return ini;
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

// Index range [begin, end) of the section's body lines, or nullopt when it is missing.
std::optional<std::pair<size_t, size_t>> findSection(const IniFile& ini) {
  for (size_t i = 0; i < ini.lines.size(); ++i) {
    const auto name = sectionOf(ini.lines[i]);
    if (!name || !equalsNoCase(*name, g_section)) continue;
    size_t end = i + 1;
    while (end < ini.lines.size() && !sectionOf(ini.lines[end])) ++end;
    return std::make_pair(i + 1, end);
  }
  return std::nullopt;
}

std::optional<size_t> findKey(const IniFile& ini, std::pair<size_t, size_t> body,
                              std::string_view key) {
  for (size_t i = body.first; i < body.second; ++i) {
    const auto k = keyOf(ini.lines[i]);
    if (k && equalsNoCase(*k, trim(key))) return i;
  }
  return std::nullopt;
}

}  // namespace

void setSettingsFile(std::string path, std::string section) {
  g_path = std::move(path);
  g_section = std::move(section);
}

const std::string& settingsFilePath() { return g_path; }

std::string INI_Read(std::string_view key) {
  const auto ini = load();
  if (!ini) return {};
  const auto body = findSection(*ini);
  if (!body) return {};
  const auto line = findKey(*ini, *body, key);
  if (!line) return {};
  const std::string& text = ini->lines[*line];
  std::string_view value = trim(std::string_view(text).substr(text.find('=') + 1));
  // A value written in matching quotes is read without them, as private profiles do.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  value = value.substr(0, std::min(value.size(), kReadCap));
  return std::string(trim(value));
}

void INI_Write(std::string_view key, std::string_view value) {
  auto loaded = load();
  if (!loaded) return;
  IniFile& ini = *loaded;
  // Values are single lines: a line break would start a key or section of its own.
  value = value.substr(0, value.find_first_of("\r\n"));
  const std::string entry = std::string(trim(key)) + "=" + std::string(value);
  if (const auto body = findSection(ini)) {
    if (const auto line = findKey(ini, *body, key)) {
      ini.lines[*line] = entry;
    } else {
      // After the section's last non-blank line, so blank separators stay between sections.
      size_t at = body->second;
      while (at > body->first && trim(ini.lines[at - 1]).empty()) --at;
      ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
  } else {
    ini.lines.push_back("[" + g_section + "]");
    ini.lines.push_back(entry);
  }
  std::ofstream file(g_path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : ini.lines) file << line << (ini.crlf ? "\r\n" : "\n");
}

}  // namespace trimlet
