#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <set>

namespace trimlet::test {

namespace {

void removeFolder(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path, ignored);
}

// Folders still there when the process ends by exit(), as a death test's child does: the
// program under test may end so, and no destructor runs then.
std::set<std::filesystem::path>& liveFolders() {
  static std::set<std::filesystem::path>* folders = [] {
    std::atexit([] {
      for (const auto& path : liveFolders()) removeFolder(path);
    });
    return new std::set<std::filesystem::path>;
  }();
  return *folders;
}

}  // namespace

TempDir::TempDir() {
  std::random_device device;
  path_ = std::filesystem::temp_directory_path() / ("trimlet-test-" + std::to_string(device()));
  std::filesystem::create_directories(path_);
  liveFolders().insert(path_);
}

TempDir::~TempDir() {
  removeFolder(path_);
  liveFolders().erase(path_);
}

std::string TempDir::write(const std::string& name, std::string_view content) const {
  const auto file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return file.string();
}

std::string TempDir::write(const std::string& name, const std::vector<unsigned char>& bytes) const {
  return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<unsigned char> readBytes(const std::string& path) {
  const std::string text = readText(path);
  return {text.begin(), text.end()};
}

// In one read: tests compare whole images after every save.
std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string text(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

std::vector<unsigned char> patternBytes(size_t size) {
  std::vector<unsigned char> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i % 251);
  return bytes;
}

}  // namespace trimlet::test
