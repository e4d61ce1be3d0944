// A file that a harness rewrites with each input, removed at exit. It lives in memory where the
// system offers a memory file system: rewriting a file on disk for every input costs a flush.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace trimlet::fuzz {

struct FuzzFile {
  explicit FuzzFile(const std::string& name)
      : path((::access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm")
                                              : std::filesystem::temp_directory_path()) /
             ("trimlet-fuzz-" + std::to_string(::getpid()) + "-" + name)) {}
  ~FuzzFile() { ::unlink(path.c_str()); }

  // Replaces the file's content (truncating it) and returns its path.
  std::string write(const uint8_t* data, size_t size) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) __builtin_trap();
    return path.string();
  }

  const std::filesystem::path path;
};

}  // namespace trimlet::fuzz
