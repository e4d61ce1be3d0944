// Writing files so that a failure never leaves half of one behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trimlet {

// Writes `size` bytes at `offset` of the open file; `done` counts the bytes that reached it.
// Returns the platform's error, 0 when all were written.
[[nodiscard]] int writeAt(int fd, const char* data, size_t size, off_t offset, size_t& done);

// Reserves the blocks of the file's first `size` bytes, so that a full disk fails before a byte
// has changed. A file system that cannot reserve counts as success: the writes still find out.
[[nodiscard]] int reserveSpace(int fd, off_t size);

// Puts back the first `changed` bytes of `before` and the length `before` had, flushed.
// Returns the platform's error, 0 when the file holds `before` again.
[[nodiscard]] int putBack(int fd, std::string_view before, size_t changed);

// Flushes the folder that holds `path`, so that a file created, renamed or removed there stays
// so across a power cut. Returns the platform's error.
[[nodiscard]] int syncFolder(const std::string& path);

// The file name `name` with `suffix` added, within the 255 bytes a name may have: a longer name
// is cut at a character's start and made unique again by a key from its whole.
[[nodiscard]] std::string withSuffix(const std::string& name, std::string_view suffix);

// Replaces the file at `path` (the file a link there points to, so the link stays) with one
// that holds `text`: written beside it, flushed and renamed over it, so the old file stays
// whole until the new one is complete on disk. The new file keeps the old one's permissions;
// a first one gets `newMode`, or stays private without it. Returns the platform's error, 0 on
// success.
[[nodiscard]] int replaceFileWhole(const std::string& path, std::string_view text,
                                   std::optional<mode_t> newMode = std::nullopt);

// Removes what a write of replaceFileWhole into `path` left beside it when it was killed.
void removeLeftTemporaries(const std::string& path);

}  // namespace trimlet
