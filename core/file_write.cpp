#include "core/file_write.h"

#include <fcntl.h>
#include <fiu-local.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "core/sha256.h"

namespace trimlet {

namespace {

namespace fs = std::filesystem;

// The temporaries' mark: a name ending in it and six letters or digits is ours to remove.
constexpr std::string_view kTemporaryMark = ".trimlet-";
constexpr size_t kMaxName = 255;

// The errno a test build's failure point was given.
[[maybe_unused]] int injected() {
  return static_cast<int>(reinterpret_cast<intptr_t>(fiu_failinfo()));
}

// Calls the preload cannot fail: test builds fail them by name.
int makeTemporary(std::string& pattern) {
  fiu_do_on("trimlet/mkostemp", {
    errno = injected();
    return -1;
  });
  return ::mkostemp(pattern.data(), O_CLOEXEC);
}

int setMode(int fd, mode_t mode) {
  fiu_return_on("trimlet/fchmod", injected());
  return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// The file a write at `path` replaces: the one a link there points to, so the link stays.
fs::path replacedFile(const std::string& path) {
  std::error_code missing;
  const fs::path resolved = fs::canonical(path, missing);
  return missing ? fs::path(path) : resolved;
}

std::string temporaryPrefix(const fs::path& target) {
  return withSuffix(target.filename().string(), std::string(kTemporaryMark) + "XXXXXX")
      .substr(0, kMaxName - 6);
}

}  // namespace

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

int reserveSpace(int fd, off_t size) {
  fiu_return_on("trimlet/posix_fallocate", injected());
  if (size == 0) return 0;
  const int error = ::posix_fallocate(fd, 0, size);
  return error == EOPNOTSUPP || error == EINVAL ? 0 : error;
}

int putBack(int fd, std::string_view before, size_t changed) {
  size_t done = 0;
  int error = writeAt(fd, before.data(), std::min(changed, before.size()), 0, done);
  if (error == 0 && ::ftruncate(fd, static_cast<off_t>(before.size())) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  return error;
}

int syncFolder(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  const int folder =
      ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return errno;
  // Some file systems cannot flush a folder at all; there is nothing more to do on them.
  int error = ::fsync(folder) == 0 || errno == EINVAL ? 0 : errno;
  ::close(folder);
  return error;
}

std::string withSuffix(const std::string& name, std::string_view suffix) {
  if (name.size() + suffix.size() <= kMaxName) return name + std::string(suffix);
  const std::string key = "-" + sha256Text(sha256(name)).substr(0, 16);
  size_t cut = kMaxName - suffix.size() - key.size();
  while (cut > 0 && (static_cast<uint8_t>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + key + std::string(suffix);
}

int replaceFileWhole(const std::string& path, std::string_view text,
                     std::optional<mode_t> newMode) {
  const fs::path target = replacedFile(path);
  std::string temp = (target.parent_path() / (temporaryPrefix(target) + "XXXXXX")).string();
  const int fd = makeTemporary(temp);
  if (fd < 0) return errno;
  // A first file is created private unless told otherwise; a replaced one keeps what its owner
  // gave it.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) newMode = old.st_mode & 07777;
  int error = newMode ? setMode(fd, *newMode) : 0;
  size_t done = 0;
  if (error == 0) error = writeAt(fd, text.data(), text.size(), 0, done);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  // The rename reaches the disk with the folder that holds it.
  return syncFolder(target.string());
}

void removeLeftTemporaries(const std::string& path) {
  const fs::path target = replacedFile(path);
  if (target.filename().empty()) return;
  const std::string prefix = temporaryPrefix(target);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const bool letters = std::all_of(name.end() - 6, name.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) != 0;
    });
    struct stat info {};
    // Only a plain file of this user's, as mkostemp makes them; never a link's target.
    if (letters && ::lstat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid())
      ::unlink(entry.path().c_str());
  }
}

}  // namespace trimlet
