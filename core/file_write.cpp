#include "core/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

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

namespace {

// A name for the file written beside `target` before it is renamed over it: the target's name
// and six random characters, within the 255 bytes a name may have however long the target's.
std::string tempBeside(const std::filesystem::path& target) {
  constexpr size_t kNameMax = 255;
  constexpr std::string_view kSuffix = ".XXXXXX";
  std::string name = target.filename().string();
  if (name.size() > kNameMax - kSuffix.size()) {
    name.resize(kNameMax - kSuffix.size());
    // Not in the middle of a character.
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
      name.pop_back();
    if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0) name.pop_back();
  }
  return (target.parent_path() / (name + std::string(kSuffix))).string();
}

}  // namespace

int replaceFileWhole(const std::string& path, std::string_view text, mode_t newFileMode) {
  namespace fs = std::filesystem;
  std::error_code missing;
  const fs::path resolved = fs::canonical(path, missing);
  const std::string target = missing ? path : resolved.string();
  std::string temp = tempBeside(target);
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  // A replaced file keeps what its owner gave it.
  struct stat old {};
  (void)::fchmod(fd, (::stat(target.c_str(), &old) == 0 ? old.st_mode : newFileMode) & 07777);
  size_t done = 0;
  int error = writeAt(fd, text.data(), text.size(), 0, done);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  // The rename reaches the disk with the folder that holds it.
  const fs::path parent = fs::path(target).parent_path();
  const int folder =
      ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)::fsync(folder);
    ::close(folder);
  }
  return 0;
}

}  // namespace trimlet
