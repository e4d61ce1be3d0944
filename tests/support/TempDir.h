// A temporary folder for a test's files, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace trimlet::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  // Writes a file in the folder and returns its full path.
  std::string write(const std::string& name, std::string_view content) const;
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const;

 private:
  std::filesystem::path path_;
};

[[nodiscard]] std::vector<unsigned char> readBytes(const std::string& path);
[[nodiscard]] std::string readText(const std::string& path);
// Bytes i % 251 for i in 0..size-1: every position distinct from its neighbours.
[[nodiscard]] std::vector<unsigned char> patternBytes(size_t size);

}  // namespace trimlet::test
