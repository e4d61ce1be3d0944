#include "core/file_read.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

namespace trimlet {

FileBytes readFileBytes(const std::string& path, size_t limit) {
  FileBytes result;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    result.error = errno;
    return result;
  }
  std::array<char, 65536> chunk;
  while (result.bytes.size() < limit) {
    const size_t wanted = std::min(chunk.size(), limit - result.bytes.size());
    const size_t n = std::fread(chunk.data(), 1, wanted, file);
    result.bytes.append(chunk.data(), n);
    if (n < wanted) break;
  }
  // A folder opens for reading here and fails on the first read.
  if (std::ferror(file) != 0) result.error = errno != 0 ? errno : EIO;
  std::fclose(file);
  if (result.error != 0) result.bytes.clear();
  return result;
}

}  // namespace trimlet
