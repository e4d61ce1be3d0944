#include "core/bin_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/file_read.h"
#include "core/hex.h"
#include "core/state.h"
#include "core/text.h"

namespace trimlet {

namespace {

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
  return {};
}

FileResult Save_BIN() {
  std::vector<unsigned char> output(static_cast<size_t>(BIN_FileBytes));
  for (size_t i = 0; i < output.size(); ++i) {
    const auto byte = recordByte(BIN_Data[i]);
    if (!byte)
      return {false,
              saveFailure("the image holds a value that is not a byte at " + numberToHex(i) + ".")};
    output[i] = static_cast<unsigned char>(*byte);
  }

  // In place: no truncation, so the file keeps its identity, links, owner and permissions.
  const int fd = ::open(BIN_Path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {false, saveFailure(std::strerror(errno))};
  size_t written = 0;
  while (written < output.size()) {
    const ssize_t n =
        ::pwrite(fd, output.data() + written, output.size() - written, static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      ::close(fd);
      return {false, saveFailure(std::strerror(error))};
    }
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    return {false, saveFailure(std::strerror(error))};
  }
  if (::close(fd) != 0) return {false, saveFailure(std::strerror(errno))};
  return {};
}

}  // namespace trimlet
