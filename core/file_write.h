// Writing files so that a failure never leaves half of one behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace trimlet {

// Writes `size` bytes at `offset` of the open file; `done` counts the bytes that reached it.
// Returns the platform's error, 0 when all were written.
[[nodiscard]] int writeAt(int fd, const char* data, size_t size, off_t offset, size_t& done);

// Replaces the file at `path` (the file a link there points to, so the link stays) with one
// that holds `text`: written beside it, flushed and renamed over it, so the old file stays
// whole until the new one is complete on disk. The new file keeps the old one's permissions, and
// a first one gets `newFileMode`. Returns the platform's error, 0 on success.
[[nodiscard]] int replaceFileWhole(const std::string& path, std::string_view text,
                                   mode_t newFileMode = 0600);

}  // namespace trimlet
