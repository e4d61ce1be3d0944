#include "core/save_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/sha256.h"

namespace trimlet {

// The journal: a header naming the file and the two lengths, the bytes the save overwrites,
// and a checksum of everything before it, so that a journal cut or damaged is never applied:
//
//   trimlet save journal 1
//   name car.bin                      the BIN file's name, "%" and line ends written %25 and %0A
//   old 32768                         the file's length before the save
//   new 32768 <64 hexadecimal digits> the image the save writes: its length and SHA-256
//   range 4096 2                      a run of bytes the save changes or cuts off: its offset
//   <its 2 old bytes>                 and length, then its bytes before the save
//   sum <64 hexadecimal digits>       SHA-256 of all above
// Bytes the save writes as they were need no keeping, so a save of a few edits keeps a small
// journal, quick to write and flush.
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "trimlet save journal 1\n";
constexpr size_t kSumLine = 4 + 64 + 1;
// Largest journal read: a save over another program's file keeps all of that file.
constexpr size_t kMaxJournalBytes = size_t{1} << 30;

std::string escapedName(const std::string& binPath) {
  std::string out;
  for (const char c : fs::path(binPath).filename().string()) {
    if (c == '%')
      out += "%25";
    else if (c == '\n')
      out += "%0A";
    else
      out += c;
  }
  return out;
}

struct Range {
  size_t offset = 0;
  std::string_view old;
};

struct Journal {
  std::string name;
  size_t oldLength = 0;
  std::vector<Range> ranges;
  size_t newLength = 0;
  std::string newSum;
};

// Reads "<word> <number>[ <rest>]\n" at `at`; false when the line is not that.
bool field(std::string_view text, size_t& at, std::string_view word, size_t& number,
           std::string* rest = nullptr) {
  const size_t end = text.find('\n', at);
  if (end == std::string_view::npos) return false;
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  if (line.substr(0, word.size() + 1) != std::string(word) + " ") return false;
  line.remove_prefix(word.size() + 1);
  const auto [stop, error] = std::from_chars(line.data(), line.data() + line.size(), number);
  if (error != std::errc()) return false;
  const std::string_view tail(stop, static_cast<size_t>(line.data() + line.size() - stop));
  if (rest == nullptr) return tail.empty();
  if (tail.size() < 2 || tail[0] != ' ') return false;
  *rest = tail.substr(1);
  return true;
}

// Why `text` is not a whole journal; empty when it is, with its parts in `journal`.
std::string parse(std::string_view text, Journal& journal) {
  const std::string_view body = text.substr(0, text.size() - std::min(text.size(), kSumLine));
  if (text.size() < kMagic.size() + kSumLine || text.substr(0, kMagic.size()) != kMagic ||
      text.substr(body.size()) != "sum " + sha256Text(sha256(body)) + "\n")
    return "it is damaged or cut short";
  size_t at = kMagic.size();
  const size_t nameEnd = body.find('\n', at);
  if (body.substr(at, 5) != "name " || nameEnd == std::string_view::npos)
    return "it is damaged or cut short";
  journal.name = body.substr(at + 5, nameEnd - at - 5);
  at = nameEnd + 1;
  if (!field(body, at, "old", journal.oldLength) ||
      !field(body, at, "new", journal.newLength, &journal.newSum))
    return "it is damaged or cut short";
  while (at < body.size()) {
    size_t offset = 0, length = 0;
    std::string rest;
    if (!field(body, at, "range", offset, &rest)) return "it is damaged or cut short";
    const auto [stop, error] = std::from_chars(rest.data(), rest.data() + rest.size(), length);
    if (error != std::errc() || stop != rest.data() + rest.size() || length > body.size() - at ||
        offset > journal.oldLength || length > journal.oldLength - offset)
      return "it is damaged or cut short";
    journal.ranges.push_back({offset, body.substr(at, length)});
    at += length;
  }
  return {};
}

// Writes the old bytes back and the old length, flushed. Returns the platform's error.
int putBack(int fd, const Journal& journal) {
  size_t done = 0;
  for (const Range& range : journal.ranges)
    if (const int error =
            writeAt(fd, range.old.data(), range.old.size(), static_cast<off_t>(range.offset), done))
      return error;
  if (::ftruncate(fd, static_cast<off_t>(journal.oldLength)) != 0) return errno;
  return ::fsync(fd) == 0 ? 0 : errno;
}

std::string wholeFile(const std::string& binPath) {
  return "Trimlet stopped while saving " + binPath;
}

}  // namespace

std::string saveJournalPath(const std::string& binPath) {
  const fs::path path(binPath);
  return (path.parent_path() / withSuffix(path.filename().string(), ".trimlet-journal")).string();
}

int writeSaveJournal(const std::string& binPath, std::string_view before, std::string_view after) {
  std::string text = std::string(kMagic) + "name " + escapedName(binPath) + "\nold " +
                     std::to_string(before.size()) + "\nnew " + std::to_string(after.size()) + " " +
                     sha256Text(sha256(after)) + "\n";
  const size_t common = std::min(before.size(), after.size());
  for (size_t start = 0; start < before.size();) {
    if (start < common && before[start] == after[start]) {
      ++start;
      continue;
    }
    size_t end = start + 1;
    while (end < before.size() && (end >= common || before[end] != after[end])) ++end;
    text += "range " + std::to_string(start) + " " + std::to_string(end - start) + "\n";
    text += before.substr(start, end - start);
    start = end;
  }
  text += "sum " + sha256Text(sha256(text)) + "\n";
  return replaceFileWhole(saveJournalPath(binPath), text);
}

int removeSaveJournal(const std::string& binPath) {
  // Not flushed with its folder: a journal that comes back after a power cut finds the file
  // whole and goes at the next open.
  return ::unlink(saveJournalPath(binPath).c_str()) == 0 ? 0 : errno;
}

JournalCheck checkSaveJournal(const std::string& binPath, bool settle) {
  const std::string path = saveJournalPath(binPath);
  if (settle) removeLeftTemporaries(path);
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return {};
  if (!settle)
    return {wholeFile(binPath) +
                ". The viewer shows the file as it is; open it in the editor "
                "to put it right.",
            true};

  const FileBytes read = readFileBytes(path, kMaxJournalBytes);
  Journal journal;
  std::string refused = read.problem == ReadProblem::None ? parse(read.bytes, journal)
                        : read.problem == ReadProblem::Failed
                            ? "it cannot be read (" + std::string(std::strerror(read.error)) + ")"
                            : "it is not a journal Trimlet wrote";
  if (refused.empty() && journal.name != escapedName(binPath))
    refused = "it belongs to a file named " + journal.name;
  const int fd = ::open(binPath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  const int openError = errno;
  const FileBytes now = readFileBytes(binPath, kMaxJournalBytes);
  if (refused.empty() && (fd < 0 || now.problem != ReadProblem::None))
    refused = fd < 0 ? "the file cannot be opened for writing (" +
                           std::string(std::strerror(openError)) + ")"
                     : "the file cannot be read whole";
  const size_t length = now.bytes.size();
  if (refused.empty() && length != journal.oldLength && length != journal.newLength)
    refused = "the file is " + std::to_string(length) + " bytes long, not " +
              std::to_string(journal.oldLength) + " or " + std::to_string(journal.newLength);
  if (!refused.empty()) {
    if (fd >= 0) ::close(fd);
    return {"Trimlet did not use the save journal " + path + ": " + refused +
                ". It is left as it is; remove it by hand once you no longer need it.",
            true};
  }

  // Outside the runs kept, the old bytes and the new are the same.
  const bool old = length == journal.oldLength &&
                   std::all_of(journal.ranges.begin(), journal.ranges.end(), [&](const Range& r) {
                     return std::string_view(now.bytes).substr(r.offset, r.old.size()) == r.old;
                   });
  JournalCheck check;
  if (old) {
    check.message = wholeFile(binPath) + " before the file changed: it is as it was before.";
  } else if (length == journal.newLength && sha256Text(sha256(now.bytes)) == journal.newSum) {
    check.message = wholeFile(binPath) + " after the save was complete: it holds the saved image.";
  } else if (const int error = putBack(fd, journal); error != 0) {
    ::close(fd);
    return {wholeFile(binPath) + ", and it could not be put back as it was (" +
                std::strerror(error) + "). The journal " + path + " is kept for the next try.",
            true, false};
  } else {
    check.message = wholeFile(binPath) + " part-way: it was put back as it was before.";
  }
  ::close(fd);
  (void)removeSaveJournal(binPath);
  return check;
}

}  // namespace trimlet
