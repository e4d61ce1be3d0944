#include "core/bin_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <vector>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/hex.h"
#include "core/image.h"
#include "core/state.h"
#include "core/text.h"

namespace trimlet {

namespace {

// The file the last load read, as it was then: a save writes only into that file unasked.
FileStamp g_loaded;

std::string saveFailure(const std::string& reason) {
  return "The BIN file " + BIN_Path + " could not be saved: " + reason;
}

// The two-digit text of every byte: a load fills each record from three look-ups instead of
// formatting its digits one by one.
constexpr std::array<std::array<char, 2>, 256> kPairs = [] {
  std::array<std::array<char, 2>, 256> pairs{};
  for (size_t b = 0; b < pairs.size(); ++b) pairs[b] = {kHexDigits[b >> 4], kHexDigits[b & 0xF]};
  return pairs;
}();

std::string localTime(int64_t ns) {
  const auto seconds = static_cast<std::time_t>(ns / 1'000'000'000);
  std::tm local{};
  std::array<char, 32> text{};
  if (::localtime_r(&seconds, &local) == nullptr ||
      std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local) == 0)
    return "an unknown time";
  return text.data();
}

// What happened to the file since the load, in the user's words; empty when nothing did.
std::string changeSinceLoad(const FileStamp& now) {
  if (now.device != g_loaded.device || now.inode != g_loaded.inode)
    return "it was replaced by another file";
  if (now.bytes != g_loaded.bytes)
    return "it is now " + withThousands(now.bytes) + " bytes, not " + withThousands(g_loaded.bytes);
  if (now.modifiedNs != g_loaded.modifiedNs)
    return "it was changed by another program at " + localTime(now.modifiedNs);
  return {};
}

// Fills `bytes` from offset 0; shortens it when the file holds fewer by now.
int readAll(int fd, std::string& bytes) {
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return 0;
}

// Puts the file back as it was before a save: its first `changed` bytes from `before`, its old
// length, flushed. Returns the platform's error, 0 when the file is as it was.
int restore(int fd, const std::string& before, size_t changed) {
  size_t done = 0;
  int error = writeAt(fd, before.data(), std::min(changed, before.size()), 0, done);
  if (error == 0 && ::ftruncate(fd, static_cast<off_t>(before.size())) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  return error;
}

// Makes the open file hold exactly `output`, flushed to disk. On failure puts back what it
// changed. Returns the platform's error (0 on success) and in `restoreError` why even putting
// back failed.
int replaceContent(int fd, const std::vector<unsigned char>& output, off_t oldSize,
                   int& restoreError) {
  // The bytes about to be overwritten or cut off, read from this very file.
  std::string before;
  try {
    before.resize(static_cast<size_t>(oldSize));
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
  if (const int error = readAll(fd, before); error != 0) return error;

  // Blocks are reserved first, so a full disk fails the save before a byte has changed (a file
  // with holes needs new blocks to fill them). Where the file system cannot reserve, the
  // writes below still find out.
  int error = 0;
  if (!output.empty()) {
    error = ::posix_fallocate(fd, 0, static_cast<off_t>(output.size()));
    if (error == EOPNOTSUPP || error == EINVAL) error = 0;
  }
  size_t changed = 0;
  if (error == 0)
    error = writeAt(fd, reinterpret_cast<const char*>(output.data()), output.size(), 0, changed);
  // From here on any byte of the old content may be gone from the file.
  if (error == 0) changed = before.size();
  if (error == 0 && before.size() > output.size() &&
      ::ftruncate(fd, static_cast<off_t>(output.size())) != 0)
    error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (error != 0) restoreError = restore(fd, before, changed);
  return error;
}

FileResult saveInto(int fd, const std::vector<unsigned char>& output, SaveMode mode) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return {false, saveFailure(std::strerror(errno))};
  if (!S_ISREG(info.st_mode)) return {false, saveFailure("it is not a regular file.")};
  if (mode == SaveMode::IfUnchanged) {
    const std::string change = changeSinceLoad(stampOf(info));
    if (!change.empty())
      return {false,
              "The BIN file " + BIN_Path + " has changed since Trimlet loaded it: " + change + ".",
              true};
  }
  int restoreError = 0;
  if (const int error = replaceContent(fd, output, info.st_size, restoreError); error != 0) {
    std::string message = saveFailure(std::strerror(error));
    if (restoreError != 0)
      message += ". Its earlier content could not be put back either (" +
                 std::string(std::strerror(restoreError)) + "): it may hold part of your edits.";
    return {false, message};
  }
  // The next save writes into the file as this one left it, unasked.
  if (::fstat(fd, &info) == 0) g_loaded = stampOf(info);
  return {};
}

}  // namespace

FileResult Load_BIN() {
  FileBytes file = readFileBytes(BIN_Path, static_cast<size_t>(kMaxBinFileBytes));
  if (file.problem != ReadProblem::None)
    return {false, readFailure("BIN file", BIN_Path, file, static_cast<size_t>(kMaxBinFileBytes))};
  const std::string& bytes = file.bytes;

  // Whole 16-byte blocks, then the block that meets the end of the file (filled up with 00).
  const int records = static_cast<int>(bytes.size() / 16) * 16 + 16;
  for (int p = 0; p < records; ++p) {
    BIN_Record& record = BIN_Data[static_cast<size_t>(p)];
    const auto& high = kPairs[static_cast<size_t>(p >> 16) & 0xFF];
    const auto& middle = kPairs[static_cast<size_t>(p >> 8) & 0xFF];
    const auto& low = kPairs[static_cast<size_t>(p) & 0xFF];
    record.Address = {high[0], high[1], middle[0], middle[1], low[0], low[1]};
    record.Value = kPairs[p < static_cast<int>(bytes.size())
                              ? static_cast<uint8_t>(bytes[static_cast<size_t>(p)])
                              : 0];
  }
  BIN_Size = records;
  BIN_FileBytes = static_cast<int64_t>(bytes.size());
  g_loaded = file.stamp;
  announceLoad();
  return {};
}

FileResult Save_BIN(SaveMode mode) {
  std::vector<unsigned char> output(static_cast<size_t>(BIN_FileBytes));
  for (size_t i = 0; i < output.size(); ++i) {
    const auto byte = recordByte(BIN_Data[i]);
    if (!byte)
      return {false,
              saveFailure("the image holds a value that is not a byte at " + numberToHex(i) + ".")};
    output[i] = static_cast<unsigned char>(*byte);
  }

  // Read and write, in place and without blocking: the bytes a save overwrites are read from
  // this very file first, and a pipe or a device named instead is refused rather than waited
  // on. Never created or truncated on opening: the file keeps its identity, links, owner and
  // permissions.
  const int fd = ::open(BIN_Path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {false, saveFailure(std::strerror(errno))};
  FileResult result = saveInto(fd, output, mode);
  // After fsync the data is on disk: closing can report nothing that changes it.
  ::close(fd);
  return result;
}

FileResult saveCopy(const std::string& copyPath, const std::vector<uint8_t>& bytes) {
  const auto refused = [&](const std::string& reason) {
    return FileResult{false, "The copy " + copyPath + " could not be saved: " + reason};
  };
  struct stat there {};
  struct stat bin {};
  const bool binThere = ::stat(BIN_Path.c_str(), &bin) == 0;
  if (::stat(copyPath.c_str(), &there) == 0) {
    if (S_ISDIR(there.st_mode)) return refused("it is a folder.");
    if (!S_ISREG(there.st_mode)) return refused("it is not a regular file.");
    if (binThere && there.st_dev == bin.st_dev && there.st_ino == bin.st_ino)
      return refused("it is the BIN file itself; \"Save Changes\" saves into it.");
  }
  if (const int error = replaceFileWhole(
          copyPath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
          binThere ? bin.st_mode : 0644))
    return refused(std::string(std::strerror(error)) + ".");
  return {};
}

std::string originalCopyPath(const std::string& binPath) {
  const std::filesystem::path path(binPath);
  return (path.parent_path() / (path.stem().string() + ".orig" + path.extension().string()))
      .string();
}

FileResult keepOriginal(const std::string& binPath, const std::vector<uint8_t>& bytes) {
  const std::string copy = originalCopyPath(binPath);
  std::error_code ignored;
  if (std::filesystem::exists(std::filesystem::symlink_status(copy, ignored))) return {};
  if (const int error = replaceFileWhole(
          copy, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
    return {false, "The copy of the original BIN file, " + copy +
                       ", could not be written: " + std::strerror(error) + ". Nothing was saved."};
  // Readable by whoever may read the BIN file itself.
  struct stat info {};
  if (::stat(binPath.c_str(), &info) == 0) (void)::chmod(copy.c_str(), info.st_mode & 07777);
  return {};
}

}  // namespace trimlet
