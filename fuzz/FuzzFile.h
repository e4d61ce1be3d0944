// A file that a harness rewrites with each input, removed at exit. It lives in memory where the
// system offers a memory file system: rewriting a file on disk for every input costs a flush.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace trimlet::fuzz {

class FuzzFile {
 public:
  explicit FuzzFile(const std::string& name)
      : path_(folder() / ("trimlet-fuzz-" + std::to_string(::getpid()) + "-" + name)) {}
  ~FuzzFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  FuzzFile(const FuzzFile&) = delete;
  FuzzFile& operator=(const FuzzFile&) = delete;

  // Replaces the file's content (truncating it) and returns its path.
  std::string write(const uint8_t* data, size_t size) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) __builtin_trap();
    return path_.string();
  }

 private:
  static std::filesystem::path folder() {
    std::error_code ignored;
    if (std::filesystem::is_directory("/dev/shm", ignored)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
  }

  std::filesystem::path path_;
};

}  // namespace trimlet::fuzz
