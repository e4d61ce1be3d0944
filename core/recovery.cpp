#include "core/recovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/file_read.h"
#include "core/file_write.h"
#include "core/hex.h"
#include "core/sha256.h"
#include "core/text.h"

namespace trimlet {

// The file: a header naming the BIN file and the bytes the steps were made on, then one block
// per write, each with its length and a checksum, so a write cut short by a kill is told apart
// from damage:
//
//   trimlet recovery 1
//   bin /data/car.bin                 the path, "%" and line ends written %25 and %0A
//   bytes 32768
//   sha256 <64 hexadecimal digits>
//   block 40 <16 hexadecimal digits>  then that many bytes: steps
//   step undo 1 1714567890123 2       kind, changes it stands for, when (ms since 1970), records
//   004012 05 5                       each record: index, text before, text after (13 bytes)
//   004013 1A 2B
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "trimlet recovery ";
constexpr int kVersion = 1;
constexpr std::string_view kSuffix = ".recovery";
constexpr size_t kRecordLine = 13;
// By ChangeKind: Action, Undo, Redo.
constexpr std::string_view kKindNames[] = {"action", "undo", "redo"};
// A file that would grow past this is rewritten as one step holding what all steps left
// changed (at most some 8.5 MB), so a long session never outgrows what a reader takes.
constexpr uint64_t kCompactAt = kMaxRecoveryBytes / 2;
constexpr std::string_view kLeftAsItIs =
    " It is left as it is; remove it by hand once you no longer need it.";

// The BIN file's path as a recovery file names it: absolute, links and dots resolved, so that
// every spelling of one file finds the same recovery files.
std::string canonicalBin(const std::string& binPath) {
  std::error_code error;
  fs::path path = fs::absolute(binPath, error);
  if (!error) path = fs::weakly_canonical(path, error);
  return error ? binPath : path.string();
}

// "car.bin-1f2e3d4c5b6a7980-": the BIN file's name, cut to 100 bytes at a character's start,
// and a key from its whole path; each writer adds a number and kSuffix (under 255 bytes).
std::string familyPrefix(const std::string& canonical) {
  std::string name = fs::path(canonical).filename().string();
  if (name.size() > 100) {
    size_t cut = 100;
    while (cut > 0 && (static_cast<uint8_t>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name + "-" + sha256Text(sha256(canonical)).substr(0, 16) + "-";
}

std::string checksum(std::string_view payload) { return sha256Text(sha256(payload)).substr(0, 16); }

std::string blockLine(std::string_view payload) {
  return "block " + std::to_string(payload.size()) + " " + checksum(payload) + "\n";
}

std::string stepLine(std::string_view kind, int64_t changes, int64_t ms, size_t records) {
  return "step " + std::string(kind) + " " + std::to_string(changes) + " " + std::to_string(ms) +
         " " + std::to_string(records) + "\n";
}

void appendRecord(std::string& out, int index, const std::array<char, 2>& before,
                  const std::array<char, 2>& after) {
  char line[kRecordLine] = {0,         0,         0,   0,        0,        0,   ' ',
                            before[0], before[1], ' ', after[0], after[1], '\n'};
  for (int digit = 5; digit >= 0; --digit, index >>= 4) line[digit] = kHexDigits[index & 0xF];
  out.append(line, kRecordLine);
}

std::array<char, 2> loadedText(uint8_t byte) {
  return {kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
}

// The byte a record's text stored in the file names: two upper-case digits, or one and a blank.
std::optional<int> textByte(char high, char low) {
  const auto digit = [](char c) { return c >= 'a' ? -1 : hexDigitValue(c); };
  if (digit(high) < 0) return std::nullopt;
  if (low == ' ') return digit(high);
  if (digit(low) < 0) return std::nullopt;
  return digit(high) * 16 + digit(low);
}

template <typename Number>
bool readNumber(std::string_view text, Number& value, int base = 10) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  return !text.empty() && error == std::errc() && stop == end;
}

// Takes text up to the next line end off `rest`; false when none is left.
bool takeLine(std::string_view& rest, std::string_view& line) {
  const size_t end = rest.find('\n');
  if (end == std::string_view::npos) return false;
  line = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  return true;
}

// Takes the next word (up to a blank or the end) off `line`.
std::string_view takeWord(std::string_view& line) {
  const size_t end = std::min(line.find(' '), line.size());
  const std::string_view word = line.substr(0, end);
  line.remove_prefix(std::min(end + 1, line.size()));
  return word;
}

// The path as the header holds it: on one line.
std::string escapedPath(std::string_view path) {
  std::string line;
  for (const char c : path) line += c == '%' ? "%25" : c == '\n' ? "%0A" : std::string(1, c);
  return line;
}

struct Header {
  std::string_view binPath;  // escaped
  uint64_t bytes = 0;
  std::string_view sha256;
};

// Takes the header off `rest`; returns why it cannot be read, empty when it can.
std::string readHeader(std::string_view& rest, Header& header) {
  std::string_view first, bin, bytes, sha;
  int version = 0;
  if (!takeLine(rest, first))
    return rest.starts_with(kMagic) || kMagic.starts_with(rest) ? "it is cut short."
                                                                : "it is damaged.";
  if (!first.starts_with(kMagic) || !readNumber(first.substr(kMagic.size()), version))
    return "it is damaged.";
  if (version != kVersion) return "it was written by another version of Trimlet.";
  if (!takeLine(rest, bin) || !takeLine(rest, bytes) || !takeLine(rest, sha))
    return "it is cut short.";
  if (!bin.starts_with("bin ") || !bytes.starts_with("bytes ") ||
      !readNumber(bytes.substr(6), header.bytes) || !sha.starts_with("sha256 ") ||
      sha.size() != 7 + 64)
    return "it is damaged.";
  header.binPath = bin.substr(4);
  header.sha256 = sha.substr(7);
  return {};
}

// What the steps of a file leave: each byte as the steps set it, starting from `bytes` (the
// file as loaded; empty when the file is not to be followed); false when they do not fit.
struct Steps {
  int64_t changes = 0;
  int64_t lastMs = 0;
  std::vector<uint8_t> bytes;
};

bool followSteps(std::string_view payload, uint64_t fileBytes, Steps& steps) {
  std::string_view line;
  while (takeLine(payload, line)) {
    const std::string_view word = takeWord(line);
    const std::string_view kind = takeWord(line);
    int64_t changes = 0, ms = 0;
    size_t records = 0;
    const auto named = std::find(std::begin(kKindNames), std::end(kKindNames), kind);
    if (word != "step" || named == std::end(kKindNames) || !readNumber(takeWord(line), changes) ||
        changes < 0 || !readNumber(takeWord(line), ms) || !readNumber(line, records) ||
        records > payload.size() / kRecordLine)
      return false;
    const bool undo = named - std::begin(kKindNames) == static_cast<int>(ChangeKind::Undo);
    for (size_t r = 0; r < records; ++r, payload.remove_prefix(kRecordLine)) {
      const char* text = payload.data();
      uint32_t index = 0;
      const std::optional<int> before = textByte(text[7], text[8]);
      const std::optional<int> after = textByte(text[10], text[11]);
      if (!readNumber(payload.substr(0, 6), index, 16) || index >= fileBytes || text[6] != ' ' ||
          text[9] != ' ' || text[12] != '\n' || !before || !after)
        return false;
      if (steps.bytes.empty()) continue;
      if (steps.bytes[index] != (undo ? *after : *before)) return false;
      steps.bytes[index] = static_cast<uint8_t>(undo ? *before : *after);
    }
    steps.changes += changes;
    steps.lastMs = ms;
  }
  return payload.empty();
}

FoundRecovery readRecovery(const std::string& path, const std::string& binPath,
                           std::span<const uint8_t> loaded, const std::string& loadedSha) {
  FoundRecovery found;
  found.path = path;
  const auto refuse = [&](std::string_view why) {
    found.message = "The recovery file " + path + " cannot be read: " + std::string(why) +
                    std::string(kLeftAsItIs);
    return found;
  };
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error))) return refuse("it is a symbolic link.");
  const FileBytes file = readFileBytes(path, kMaxRecoveryBytes);
  if (file.problem != ReadProblem::None) {
    found.message =
        readFailure("recovery file", path, file, kMaxRecoveryBytes) + std::string(kLeftAsItIs);
    return found;
  }
  // A kill between creating the file and its first write leaves it empty: nothing to say.
  if (file.bytes.empty()) {
    found.state = RecoveryState::Empty;
    return found;
  }
  std::string_view rest = file.bytes;
  Header header;
  if (const std::string problem = readHeader(rest, header); !problem.empty())
    return refuse(problem);
  const bool matches = header.binPath == escapedPath(binPath) && header.bytes == loaded.size() &&
                       header.sha256 == loadedSha;
  Steps steps;
  if (matches) steps.bytes.assign(loaded.begin(), loaded.end());
  std::string_view line;
  while (takeLine(rest, line)) {
    size_t size = 0;
    std::string_view sum;
    if (takeWord(line) != "block" || !readNumber(takeWord(line), size) ||
        (sum = takeWord(line)).size() != 16 || !line.empty())
      return refuse("it is damaged.");
    // A kill can cut the last write short: its block is left out, and nothing is said.
    if (size > rest.size()) break;
    const std::string_view payload = rest.substr(0, size);
    rest.remove_prefix(size);
    const bool whole = checksum(payload) == sum;
    if (!whole && rest.empty()) break;
    if (!whole || !followSteps(payload, header.bytes, steps)) return refuse("it is damaged.");
  }
  found.changes = steps.changes;
  found.lastAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(steps.lastMs));
  if (!matches) {
    found.state = RecoveryState::OtherContent;
    found.message = "The recovery file " + path + " keeps changes to " + binPath +
                    " that were never saved, but they were made when the file held other bytes, "
                    "so they cannot be brought back." +
                    std::string(kLeftAsItIs);
    return found;
  }
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (steps.bytes[i] == loaded[i]) continue;
    BIN_Record after;
    setEditedByte(after, steps.bytes[i]);
    found.replay.push_back({static_cast<int>(i), loadedText(loaded[i]), after.Value});
  }
  found.state = found.replay.empty() ? RecoveryState::Empty : RecoveryState::Matches;
  return found;
}

std::string cannotKeep(const std::string& where, int error) {
  return "Trimlet cannot keep your changes for recovery in " + where + ": " + std::strerror(error);
}

}  // namespace

std::string recoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/trimlet";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/trimlet";
  return {};
}

RecoveryWriter::~RecoveryWriter() {
  flush();
  if (fd_ >= 0) ::close(fd_);
}

void RecoveryWriter::start(const std::string& binPath, std::span<const uint8_t> bytes) {
  remove();
  binPath_ = canonicalBin(binPath);
  base_.assign(bytes.begin(), bytes.end());
  const std::string_view content(reinterpret_cast<const char*>(base_.data()), base_.size());
  header_ = std::string(kMagic) + std::to_string(kVersion) + "\nbin " + escapedPath(binPath_) +
            "\nbytes " + std::to_string(base_.size()) + "\nsha256 " + sha256Text(sha256(content)) +
            "\n";
}

void RecoveryWriter::append(const ImageChange& change) {
  if (header_.empty() || change.records.empty() || change.kind == ChangeKind::Load) return;
  ++changes_;
  lastStepMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::system_clock::now().time_since_epoch())
                    .count();
  pending_ +=
      stepLine(kKindNames[static_cast<int>(change.kind)], 1, lastStepMs_, change.records.size());
  for (const RecordChange& record : change.records)
    appendRecord(pending_, record.index, record.before, record.after);
}

void RecoveryWriter::flushIfDue(Clock::time_point now) {
  if (now - lastWrite_ >= kFlushInterval) flush(now);
}

bool RecoveryWriter::create() {
  const std::string folder = recoveryFolder();
  if (folder.empty())
    return fail(
        "Trimlet cannot keep your changes for recovery: neither XDG_STATE_HOME nor HOME names a "
        "folder.");
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return fail(cannotKeep(folder, error.value()));
  const std::string prefix = (fs::path(folder) / familyPrefix(binPath_)).string();
  // A file of an earlier session is never overwritten: it may be one the user chose to keep.
  for (int n = 1; n < 1000; ++n) {
    const std::string path = prefix + std::to_string(n) + std::string(kSuffix);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      path_ = path;
      written_ = 0;
      return true;
    }
    if (errno != EEXIST) return fail(cannotKeep(path, errno));
  }
  return fail(cannotKeep(folder, EEXIST));
}

bool RecoveryWriter::fail(std::string problem) {
  // One message for a run of failed writes, not one every quarter of a second.
  if (!failing_) problem_ = std::move(problem);
  failing_ = true;
  return false;
}

void RecoveryWriter::flush(Clock::time_point now) {
  if (pending_.empty()) return;
  lastWrite_ = now;
  if (fd_ < 0 && !create()) return;
  const std::string out =
      (written_ == 0 ? header_ : std::string()) + blockLine(pending_) + pending_;
  if (written_ + out.size() > kCompactAt) return compact(now);
  size_t done = 0;
  int error = writeAt(fd_, out.data(), out.size(), static_cast<off_t>(written_), done);
  if (error == 0 && ::fdatasync(fd_) != 0) error = errno;
  if (error != 0) {
    // The next write starts where the last whole block ends.
    (void)::ftruncate(fd_, static_cast<off_t>(written_));
    fail(cannotKeep(path_, error));
    return;
  }
  // The file's name reaches the disk with the folder that holds it.
  if (written_ == 0) {
    const int folder =
        ::open(fs::path(path_).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      (void)::fsync(folder);
      ::close(folder);
    }
  }
  written_ += out.size();
  pending_.clear();
  failing_ = false;
}

void RecoveryWriter::compact(Clock::time_point now) {
  std::string records;
  size_t count = 0;
  for (size_t i = 0; i < base_.size(); ++i) {
    if (imageByte(static_cast<int64_t>(i)) == base_[i]) continue;
    appendRecord(records, static_cast<int>(i), loadedText(base_[i]),
                 imageRecord(static_cast<int64_t>(i)).Value);
    ++count;
  }
  const std::string payload = stepLine(kKindNames[0], changes_, lastStepMs_, count) + records;
  const std::string text = header_ + blockLine(payload) + payload;
  int error = replaceFileWhole(path_, text);
  if (error == 0) {
    ::close(fd_);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) error = errno;
  }
  if (error != 0) {
    fail(cannotKeep(path_, error));
    return;
  }
  written_ = text.size();
  pending_.clear();
  lastWrite_ = now;
  failing_ = false;
}

void RecoveryWriter::remove() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
  pending_.clear();
  written_ = 0;
  changes_ = 0;
  lastWrite_ = {};
}

std::string RecoveryWriter::takeProblem() { return std::exchange(problem_, {}); }

std::vector<FoundRecovery> findRecoveries(const std::string& binPath,
                                          std::span<const uint8_t> loaded) {
  std::vector<FoundRecovery> found;
  const std::string canonical = canonicalBin(binPath);
  const std::string prefix = familyPrefix(canonical);
  std::optional<std::string> loadedSha;
  std::error_code error;
  for (fs::directory_iterator it(recoveryFolder(), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) continue;
    const std::string_view number =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    if (number.empty() ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    if (!loadedSha)
      loadedSha = sha256Text(sha256({reinterpret_cast<const char*>(loaded.data()), loaded.size()}));
    found.push_back(readRecovery(it->path().string(), canonical, loaded, *loadedSha));
  }
  std::sort(found.begin(), found.end(),
            [](const FoundRecovery& a, const FoundRecovery& b) { return a.lastAt > b.lastAt; });
  return found;
}

std::string replayRecovery(const FoundRecovery& found) {
  const std::string refused = "The changes kept in " + found.path + " cannot be brought back: ";
  if (found.state != RecoveryState::Matches)
    return refused + "they were not made on the BIN file as it was loaded.";
  for (const RecordChange& record : found.replay) {
    BIN_Record before;
    before.Value = record.before;
    if (!recordsInFile(record.index, 1) || imageByte(record.index) != recordByte(before))
      return refused + "the image no longer holds the bytes they were made on.";
  }
  const ImageAction action(counted(found.changes, "change") + " brought back");
  for (const RecordChange& record : found.replay) {
    BIN_Record after;
    after.Value = record.after;
    writeImageByte(record.index, recordByte(after).value_or(0));
  }
  return {};
}

void discardRecovery(const FoundRecovery& found) { ::unlink(found.path.c_str()); }

}  // namespace trimlet
