#include "core/file_write.h"

#include <unistd.h>

#include <cerrno>

namespace trimlet {

int writeAt(int fd, const char* data, size_t size, off_t offset, size_t& done) {
  done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace trimlet
