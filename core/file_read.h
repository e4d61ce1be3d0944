// Reading a whole file into memory in one pass, with the user's reason when that fails.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace trimlet {

// Largest ECU or settings file read: a real one is a few kilobytes (300 items of 13 short
// fields), so anything near this is not one, and reading it would only cost time and memory.
inline constexpr size_t kMaxTextFileBytes = 4 * 1024 * 1024;

// Which file a read or write saw, and as it was then: its identity on disk, length and last
// change.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t bytes = 0;
  int64_t modifiedNs = 0;  // nanoseconds since 1970
  bool operator==(const FileStamp&) const = default;
};

[[nodiscard]] FileStamp stampOf(const struct stat& info);

enum class ReadProblem {
  None,
  Failed,      // the file could not be opened or read: `error` says why
  NotRegular,  // a pipe, a device or a socket: refused unread
  TooLarge,    // more than the limit: refused, `stamp.bytes` is its length
};

struct FileBytes {
  std::string bytes;
  ReadProblem problem = ReadProblem::None;
  int error = 0;  // the platform's error number when problem is Failed
  // The file read; its length is the number of bytes read.
  FileStamp stamp;
};

// Reads a regular file of at most `limit` bytes whole. Opens without blocking, so a pipe or a
// device named instead is refused at once; never throws (memory running out is a failure).
[[nodiscard]] FileBytes readFileBytes(const std::string& path, size_t limit);

// The message for a read that failed: "The ECU file /a.ecu cannot be read: No such file or
// directory", "… is too large: it holds 5,000,000 bytes, and Trimlet holds at most …".
[[nodiscard]] std::string readFailure(std::string_view kind, const std::string& path,
                                      const FileBytes& file, size_t limit);

}  // namespace trimlet
