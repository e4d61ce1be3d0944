#include "core/file_read.h"

#include <sys/stat.h>

#include <algorithm>
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
  // Read straight into a buffer of the file's size where it has one; a file that grows, or a
  // pipe without a size, is read on in steps until it ends or reaches the limit.
  struct stat info {};
  size_t expected = 0;
  if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode))
    expected = static_cast<size_t>(info.st_size);
  size_t step = std::min(limit, std::max<size_t>(expected + 1, 65536));
  size_t total = 0;
  while (total < limit) {
    result.bytes.resize(std::min(limit, total + step));
    const size_t wanted = result.bytes.size() - total;
    const size_t n = std::fread(result.bytes.data() + total, 1, wanted, file);
    total += n;
    if (n < wanted) break;
    step = std::max<size_t>(step, 65536);
  }
  result.bytes.resize(total);
  // A folder opens for reading here and fails on the first read.
  if (std::ferror(file) != 0) result.error = errno != 0 ? errno : EIO;
  std::fclose(file);
  if (result.error != 0) result.bytes.clear();
  return result;
}

}  // namespace trimlet
