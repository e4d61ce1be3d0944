#include "core/file_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "core/text.h"

namespace trimlet {

namespace {

FileBytes failed(int error) {
  FileBytes result;
  result.problem = ReadProblem::Failed;
  result.error = error;
  return result;
}

FileBytes readOpenFile(int fd, size_t limit) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return failed(errno);
  if (S_ISDIR(info.st_mode)) return failed(EISDIR);
  FileBytes result;
  result.stamp = stampOf(info);
  if (!S_ISREG(info.st_mode)) {
    result.problem = ReadProblem::NotRegular;
    return result;
  }
  if (static_cast<uint64_t>(info.st_size) > limit) {
    result.problem = ReadProblem::TooLarge;
    return result;
  }
  // The file may grow while it is read: reading one byte past the limit tells.
  std::string& bytes = result.bytes;
  bytes.resize(static_cast<size_t>(info.st_size) + 1);
  size_t total = 0;
  for (;;) {
    if (total == bytes.size()) {
      if (total > limit) break;
      bytes.resize(std::min(limit + 1, total * 2));
    }
    const ssize_t n = ::read(fd, bytes.data() + total, bytes.size() - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return failed(errno);
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  result.stamp.bytes = static_cast<int64_t>(total);
  if (total > limit) {
    result.problem = ReadProblem::TooLarge;
    result.stamp.bytes = std::max<int64_t>(result.stamp.bytes, info.st_size);
    bytes.clear();
    return result;
  }
  bytes.resize(total);
  return result;
}

}  // namespace

FileStamp stampOf(const struct stat& info) {
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
          static_cast<int64_t>(info.st_size),
          static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

FileBytes readFileBytes(const std::string& path, size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failed(errno);
  FileBytes result;
  try {
    result = readOpenFile(fd, limit);
  } catch (const std::bad_alloc&) {
    result = failed(ENOMEM);
  }
  ::close(fd);
  return result;
}

std::string readFailure(std::string_view kind, const std::string& path, const FileBytes& file,
                        size_t limit) {
  const std::string named = "The " + std::string(kind) + " " + path;
  switch (file.problem) {
    case ReadProblem::NotRegular:
      return named + " cannot be read: it is not a regular file.";
    case ReadProblem::TooLarge:
      return named + " is too large: it holds " + withThousands(file.stamp.bytes) +
             " bytes, and Trimlet holds at most " + withThousands(static_cast<long long>(limit)) +
             " bytes.";
    case ReadProblem::Failed:
    case ReadProblem::None:
      break;
  }
  return named + " cannot be read: " + std::strerror(file.error);
}

}  // namespace trimlet
