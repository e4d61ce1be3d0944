// Edits not yet saved, kept on disk as they are made, so that a crash or a kill of the editor
// loses at most the last fraction of a second of work and the rest can be brought back.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/image.h"

namespace trimlet {

// Where recovery files live: $XDG_STATE_HOME/trimlet, or ~/.local/state/trimlet without it.
// Empty when neither names an absolute folder.
[[nodiscard]] std::string recoveryFolder();

// Largest recovery file read; the writer keeps its own files to half of it.
inline constexpr size_t kMaxRecoveryBytes = 64 * 1024 * 1024;

// Appends the editor's steps to a recovery file of its own, created at the first one. The file
// names the BIN file and the bytes the steps were made on; it is written at most every
// kFlushInterval (and on demand), each write flushed to the disk and whole or, after a kill,
// recognisably cut.
class RecoveryWriter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFlushInterval{250};

  RecoveryWriter() = default;
  // Writes what is pending and keeps the file: the editor went without saving or discarding.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Keeps the steps made from now on against `bytes`: the BIN file as loaded, or as just
  // saved. The file of the steps before, if any, is removed.
  void start(const std::string& binPath, std::span<const uint8_t> bytes);

  // A finished action, or the step an undo or a redo applied, as the image announces them (a
  // load is not a step). Kept until the next flush: a key press never waits for the disk.
  void append(const ImageChange& change);

  // Whether steps wait to be written: the caller flushes them within kFlushInterval.
  [[nodiscard]] bool pending() const { return !pending_.empty(); }
  void flush(Clock::time_point now = Clock::now());
  // Flushes when steps wait and the last write is older than kFlushInterval.
  void flushIfDue(Clock::time_point now = Clock::now());

  // Removes the file: the image was saved, or its changes were discarded.
  void remove();

  // Why writing failed, once for each run of failed writes, for a message; empty otherwise.
  // The steps stay pending and the next flush tries again.
  [[nodiscard]] std::string takeProblem();

  // The file written; empty before the first write.
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  bool create();
  void compact(Clock::time_point now);
  bool fail(std::string problem);  // false, with the problem noted

  std::string binPath_;
  std::vector<uint8_t> base_;
  std::string header_;
  std::string path_;
  int fd_ = -1;
  uint64_t written_ = 0;  // bytes of the file that hold whole blocks
  std::string pending_;
  Clock::time_point lastWrite_{};
  int64_t changes_ = 0;
  int64_t lastStepMs_ = 0;
  std::string problem_;
  bool failing_ = false;
};

enum class RecoveryState {
  Matches,       // made on the bytes the BIN file holds: can be brought back
  Empty,         // nothing that differs from the BIN file: can go silently
  OtherContent,  // made on other bytes: kept and reported, never brought back
  Refused,       // unreadable, damaged, cut short, of another version, too large, not a file
};

// A recovery file found for a BIN file, and what it would bring back.
struct FoundRecovery {
  std::string path;
  RecoveryState state = RecoveryState::Refused;
  std::string message;  // OtherContent and Refused: the one message to show
  int64_t changes = 0;  // actions, undos and redos recorded
  std::chrono::system_clock::time_point lastAt;
  // Matches: each record the steps leave changed, its text as loaded and as they leave it.
  std::vector<RecordChange> replay;
};

// Every recovery file of the BIN file at `binPath`, checked against the bytes loaded from it,
// the most recent first. A last step cut short by a kill is left out silently.
[[nodiscard]] std::vector<FoundRecovery> findRecoveries(const std::string& binPath,
                                                        std::span<const uint8_t> loaded);

// Writes what a matching recovery file holds into the image as one action. Refuses the whole
// of it, writing nothing, when the file does not match or a record's byte before is not the
// image's; returns the reason then, empty when done.
[[nodiscard]] std::string replayRecovery(const FoundRecovery& found);

// Removes a found recovery file (brought back, or declined).
void discardRecovery(const FoundRecovery& found);

}  // namespace trimlet
