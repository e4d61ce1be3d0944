#include "core/bin_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/hex.h"
#include "core/state.h"

namespace trimlet {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Built by appending: inserting into the string trips a false -Wrestrict of g++ 12 at -O3.
std::string withThousands(long long n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string readFailure(const std::string& reason) {
  return "The BIN file " + BIN_Path + " cannot be read: " + reason;
}

std::string saveFailure(const std::string& reason) {
  return "The BIN file " + BIN_Path + " could not be saved: " + reason;
}

void fillAddress(BIN_Record& record, int index) {
  for (int d = 5; d >= 0; --d) {
    record.Address[d] = kDigits[index & 0xF];
    index >>= 4;
  }
}

// Reads the whole file, refusing it as soon as it proves larger than the image holds.
FileResult readFile(std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(BIN_Path.c_str(), "rb");
  if (file == nullptr) return {false, readFailure(std::strerror(errno))};
  bytes.resize(static_cast<size_t>(kMaxBinFileBytes) + 1);
  size_t total = 0;
  while (total < bytes.size()) {
    const size_t n = std::fread(bytes.data() + total, 1, bytes.size() - total, file);
    total += n;
    if (n == 0) break;
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  bool larger = total > static_cast<size_t>(kMaxBinFileBytes);
  std::fclose(file);
  if (failed) return {false, readFailure(std::strerror(error))};
  if (larger) {
    long long size = static_cast<long long>(total);
    if (std::FILE* again = std::fopen(BIN_Path.c_str(), "rb")) {
      if (std::fseek(again, 0, SEEK_END) == 0) size = std::ftell(again);
      std::fclose(again);
    }
    return {false, "The BIN file " + BIN_Path + " is too large: it holds " + withThousands(size) +
                       " bytes, and Trimlet holds at most " + withThousands(kMaxBinFileBytes) +
                       " bytes."};
  }
  bytes.resize(total);
  return {};
}

}  // namespace

FileResult Load_BIN() {
  std::vector<unsigned char> bytes;
  if (FileResult result = readFile(bytes); !result.ok) return result;

  // Whole 16-byte blocks, then the block that meets the end of the file (filled up with 00).
  const int records = static_cast<int>(bytes.size() / 16) * 16 + 16;
  for (int p = 0; p < records; ++p) {
    BIN_Record& record = BIN_Data[static_cast<size_t>(p)];
    fillAddress(record, p);
    setLoadedByte(record, p < static_cast<int>(bytes.size()) ? bytes[static_cast<size_t>(p)] : 0);
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
