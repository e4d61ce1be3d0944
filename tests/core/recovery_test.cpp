// Unsaved edits kept on disk as they are made and brought back after a crash or a kill.
#include "core/recovery.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "core/bin_file.h"
#include "core/journal.h"
#include "core/sha256.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace test;

std::string imageHash() {
  const std::vector<uint8_t> bytes = imageBytes();
  return sha256Text(sha256({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
}

// A BIN file loaded, and a history and a recovery writer that follow it as the editor's will.
class Recovery : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_STATE_HOME", (dir.path() / "state").c_str(), 1);
    BIN_Path = dir.write("car.bin", patternBytes(4096));
    load();
    writer.start(BIN_Path, imageBytes());
  }

  // The kill test's child tells its image as it hands each step over, and "!" after a write.
  void hand(const ImageChange& change) {
    if (change.kind == ChangeKind::Action) journal.record(change);
    if (told.is_open()) told << imageHash() << std::endl;
    writer.append(change);
    writer.flushIfDue(now);
    if (told.is_open() && !writer.pending()) told << "!" << std::endl;
  }
  void load() { ASSERT_TRUE(Load_BIN().ok); }
  void act(int first, int count, int value) {
    const ImageAction action("edit");
    for (int i = first; i < first + count; ++i) writeImageByte(i, value);
  }
  std::vector<FoundRecovery> find() { return findRecoveries(BIN_Path, readBytes(BIN_Path)); }
  // Loads the BIN file afresh and brings back its one recovery file: the image the edits left.
  void bringBack(int64_t changes) {
    const std::vector<uint8_t> edited = imageBytes();
    load();
    const FoundRecovery found = find().at(0);
    EXPECT_EQ(found.changes, changes);
    EXPECT_EQ(replayRecovery(found), "") << found.message;
    EXPECT_EQ(imageBytes(), edited);
  }

  TempDir dir;
  Journal journal;
  RecoveryWriter writer;
  RecoveryWriter::Clock::time_point now = RecoveryWriter::Clock::now();
  std::ofstream told;
  // Actions, undos and redos, as the editor hears of them.
  ImageSubscription heard{[this](const ImageChange& change) { hand(change); }};
};

// Actions, undos and redos come back as one step that leaves the image the editor had; steps
// closer together than the flush interval wait for the next write.
TEST_F(Recovery, EveryKindOfStepComesBackAsOneAction) {
  const auto before = std::chrono::system_clock::now();
  act(0, 3, 0x0B);
  EXPECT_FALSE(writer.pending());
  act(2, 2, 0x20);
  EXPECT_TRUE(writer.pending());
  now += 300ms;
  (void)journal.undo();
  EXPECT_FALSE(writer.pending());
  act(4000, 1, 0);
  for (const char step : {'u', 'u', 'r'}) (void)(step == 'u' ? journal.undo() : journal.redo());
  writer.flush(now);
  EXPECT_TRUE(find().at(0).lastAt >= before - 1ms && find()[0].lastAt <= before + 1min);
  journal = {};
  bringBack(7);
  EXPECT_EQ(journal.undoStep()->what, "7 changes brought back");
}

// A save or a discard removes the file, and a save starts it afresh; another session keeps its
// own; steps that cannot be written wait for the next write.
TEST_F(Recovery, SavesRemoveTheFileAndEachSessionKeepsItsOwn) {
  act(0, 1, 0x11);
  const std::string first = writer.path();
  ASSERT_TRUE(Save_BIN().ok);
  writer.start(BIN_Path, imageBytes());
  EXPECT_FALSE(fs::exists(first));
  act(1, 1, 0x22);
  EXPECT_EQ(find().at(0).state, RecoveryState::Matches);  // against the bytes saved
  RecoveryWriter second;                                  // another session
  second.start(BIN_Path, readBytes(BIN_Path));
  {
    const ImageSubscription alsoHeard([&](const ImageChange& change) { second.append(change); });
    (void)journal.undo();
  }
  second.flush(now);
  EXPECT_EQ(find().size(), 2u);
  second.remove();
  writer.remove();
  EXPECT_TRUE(find().empty());
  ::setenv("XDG_STATE_HOME", BIN_Path.c_str(), 1);  // a file: nothing can be written under it
  for (const int at : {2, 3}) act(at, 1, 0x33);
  EXPECT_TRUE(writer.takeProblem().starts_with("Trimlet cannot keep your changes for recovery"));
  ::setenv("XDG_STATE_HOME", (dir.path() / "state").c_str(), 1);
  writer.flush(now += 1s);  // the steps waited for the next write
  EXPECT_EQ(find().at(0).changes, 2);
}

// Damaged or strange files, and steps made on other bytes, are refused with one message each
// and never replayed; a last write cut short is the normal trace of a kill and is left out
// silently.
TEST_F(Recovery, BadFilesAreRefusedAndACutLastWriteIsLeftOut) {
  act(0, 1, 0x11);
  now += 300ms;
  act(1, 1, 0x22);
  const std::string path = writer.path(), text = readText(path);
  const auto write = [&](const std::string& content) { std::ofstream(path) << content; };
  const auto withStep = [&](const std::string& record) {  // a whole block of one record
    const std::string step = "step action 1 0 1\n" + record;
    write(text.substr(0, text.find("block ")) + "block 31 " +
          sha256Text(sha256(step)).substr(0, 16) + "\n" + step);
  };
  const size_t first = text.rfind("block ") - 2;  // a byte of the first of two blocks
  const std::pair<std::function<void()>, std::string> files[] = {
      {[&] { write("trimlet recov"); }, "it is cut short."},
      {[&] { write(text.substr(0, first) + "0" + text.substr(first + 1)); }, "it is damaged."},
      {[&] { withStep("001000 00 11\n"); }, "it is damaged."},  // beyond the file
      {[&] { withStep("000000 07 11\n"); }, "it is damaged."},  // byte 0 was not 07
      {[&] { write("trimlet recovery 2\n"); }, "it was written by another version of Trimlet."},
      {[&] { write(text), fs::resize_file(path, kMaxRecoveryBytes + 1); },
       "is too large: it holds 67,108,865 bytes, and Trimlet holds at most 67,108,864 bytes."},
      {[&] { ::mkfifo(path.c_str(), 0600); }, "it is not a regular file."},
      {[&] { fs::create_symlink(BIN_Path, path); }, "it is a symbolic link."},
      {[&] { write(text), dir.write("car.bin", std::string(4096, 'x')); }, "keeps"},
      {[&] { write(text), dir.write("car.bin", std::string(4097, '\0')); }, "keeps"},
  };
  for (const auto& [make, said] : files) {
    fs::remove(path);
    make();
    const FoundRecovery found = find().at(0);
    EXPECT_TRUE(found.message.starts_with("The recovery file " + path + " ") &&
                found.message.find(said) != std::string::npos)
        << found.message;
    EXPECT_NE(replayRecovery(found), "");
  }
  dir.write("car.bin", patternBytes(4096));
  write(text.substr(0, text.size() - 5));  // the last block cut short by a kill
  EXPECT_EQ(find().at(0).changes, 1);
  write(text.substr(0, text.size() - 2) + "3\n");  // or damaged by a crash of the machine
  EXPECT_EQ(find().at(0).changes, 1);
  load();
  writeImageByte(0, 0x33);  // no longer what the steps were made on: nothing is written
  EXPECT_NE(replayRecovery(find().at(0)), "");
  EXPECT_EQ(imageByte(0), 0x33);
}

// Before it outgrows half of what a reader takes, the file is rewritten as what its steps left
// changed, and still comes back.
TEST_F(Recovery, ALongSessionStaysSmallAndComesBack) {
  BIN_Path = dir.write("big.bin", patternBytes(kMaxBinFileBytes));
  load();
  writer.start(BIN_Path, imageBytes());
  for (int step = 0; step < 5; ++step, now += 1s) act(0, step < 4 ? kMaxBinFileBytes : 1, step);
  EXPECT_LT(fs::file_size(writer.path()), kMaxRecoveryBytes / 2);
  bringBack(5);
}

// Killed at random moments, a child editing as the editor does gets back the state it told was
// written, or the one it was writing if that write was whole. Bounded in time, not in pace.
TEST_F(Recovery, KilledAtRandomMomentsTheLastWrittenStateComesBack) {
  std::mt19937 random(std::random_device{}());
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  int rounds = 0;
  for (; rounds < 5 || (rounds < 40 && std::chrono::steady_clock::now() < deadline); ++rounds) {
    writer.remove();
    journal = {};
    load();
    fs::remove(dir.path() / "told");
    const pid_t child = ::fork();
    if (child == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      told.open(dir.path() / "told");
      for (;; now += std::chrono::milliseconds(random() % 120)) {
        const int choice = random() % 10, first = random() % 4096;
        if (choice < 6)
          act(first, random() % (4097 - first) % 1500, random() % 256);
        else if (choice < 8 && journal.undoStep())
          (void)journal.undo();
        else if (journal.redoStep())
          (void)journal.redo();
      }
    }
    ::usleep(random() % 80'000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string written = imageHash(), handed = written, line;
    for (std::ifstream in(dir.path() / "told"); std::getline(in, line);) {
      if (line == "!") written = handed;
      if (line.size() == 64) handed = line;
    }
    for (const FoundRecovery& kept : find()) {
      EXPECT_EQ(kept.state == RecoveryState::Empty ? "" : replayRecovery(kept), "") << kept.message;
      discardRecovery(kept);
    }
    ASSERT_TRUE(imageHash() == written || imageHash() == handed) << "round " << rounds;
  }
}

}  // namespace
}  // namespace trimlet
