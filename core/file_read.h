// Reading a file into memory in one pass, with the platform's reason when that fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace trimlet {

struct FileBytes {
  std::string bytes;
  int error = 0;  // the platform's error number when the file could not be opened or read
};

// Reads the file's first `limit` bytes (all of it by default); never throws.
[[nodiscard]] FileBytes readFileBytes(const std::string& path, size_t limit = SIZE_MAX);

}  // namespace trimlet
