// Writing files so that a failure never leaves half of one behind.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace trimlet {

// Writes `size` bytes at `offset` of the open file; `done` counts the bytes that reached it.
// Returns the platform's error, 0 when all were written.
[[nodiscard]] int writeAt(int fd, const char* data, size_t size, off_t offset, size_t& done);

}  // namespace trimlet
