// Faults injected through libfiu's preload into every call of the save, the copy of the
// original and the settings write, and saves killed at any call: the file always holds one
// whole image, the old or the new, and failures say so. Run with the preload only.
#include <fiu-control.h>
#include <fiu.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/bin_file.h"
#include "core/document.h"
#include "core/file_write.h"
#include "core/hex.h"
#include "core/save_journal.h"
#include "core/settings.h"
#include "core/state.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

namespace fs = std::filesystem;
using namespace test;

// Which call of the file calls (the preload's and the core's own failure points) fails or
// kills, counted from the enabling.
struct Plan {
  int failAt = 0;  // 0: none
  bool onward = false;
  int error = 0;
  int killAt = 0;  // 0: none
  bool shortWrites = false;
  const char* failName = nullptr;  // or fail the first call of this name
  int calls = 0;
};
Plan g_plan;
std::vector<std::string>* g_names = nullptr;  // each call's name, when set

// The calls of the save, the copy and the settings write: the preload's and the core's own.
constexpr const char* kCalls[] = {
    "posix/io/oc/open",    "posix/io/oc/close",   "posix/io/rw/read",        "posix/io/rw/pread",
    "posix/io/rw/pwrite",  "posix/io/rw/write",   "posix/io/rw/ftruncate",   "posix/io/sync/fsync",
    "posix/io/dir/rename", "posix/io/dir/unlink", "trimlet/posix_fallocate", "trimlet/mkostemp",
    "trimlet/fchmod"};
constexpr const char* kShortened[] = {"posix/io/rw/read/reduce", "posix/io/rw/pread/reduce",
                                      "posix/io/rw/pwrite/reduce"};

int decide(const char* name, int* /*failnum*/, void** failinfo, unsigned* /*flags*/) {
  const int call = ++g_plan.calls;
  if (g_names != nullptr) g_names->push_back(name);
  if (call == g_plan.killAt) ::raise(SIGKILL);
  *failinfo = reinterpret_cast<void*>(static_cast<intptr_t>(g_plan.error));
  if (g_plan.failName != nullptr && std::strcmp(name, g_plan.failName) == 0) {
    g_plan.failName = nullptr;
    return 1;
  }
  return call == g_plan.failAt || (g_plan.onward && g_plan.failAt > 0 && call > g_plan.failAt);
}

// Runs `action` with the plan in force; returns how many calls it made.
int under(Plan plan, const std::function<void()>& action) {
  g_plan = plan;
  for (const char* name : kCalls) fiu_enable_external(name, 1, nullptr, 0, decide);
  if (plan.shortWrites)
    for (const char* name : kShortened) fiu_enable(name, 1, nullptr, 0);
  action();
  for (const char* name : kCalls) fiu_disable(name);
  for (const char* name : kShortened) fiu_disable(name);
  return g_plan.calls;
}

void setImage(const std::vector<unsigned char>& image) {
  for (size_t i = 0; i < image.size(); ++i) setEditedByte(BIN_Data[i], image[i]);
}

class SaveFaults : public testing::Test {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "fiu_posix_preload") == nullptr)
      GTEST_SKIP() << "needs libfiu's fiu_posix_preload.so in LD_PRELOAD";
    fiu_init(0);
    resetState();
  }
  // Opens the file as the editor does: a save cut short is settled first.
  void openAsEditor() {
    ECU_Path = dir.write("e.ecu", "ECU FORMAT 1\n{\nT=\nV=1\nA=\nB=\nC=\nD=\nItems=0\n}\n");
    Document document(BIN_Path, ECU_Path, DocumentRole::Editor);
    last = document.open();
  }
  TempDir dir;
  Opening last;
};

// Each call of each operation fails in turn with each error (or fails with every call after
// it, so that even putting back fails), then the file is opened as the editor opens it: the old
// content after a failure, the new after success, nothing left beside it.
TEST_F(SaveFaults, EveryFailingCallLeavesTheOldOrTheNewWholeAndSaysWhy) {
  const auto oldImage = patternBytes(16384), newImage = std::vector<unsigned char>(24576, 0xA5);
  const std::string settingsOld = "[t]\nB=x\n";
  struct Operation {
    const char* name;
    std::function<std::string()> run;  // the message, "ok" on success
    std::string target, says;
    std::vector<unsigned char> before, after;
  };
  const std::string bin = (dir.path() / "car.bin").string(), ini = (dir.path() / "t.ini").string();
  const std::string copy = originalCopyPath(bin);
  const std::vector<Operation> operations = {
      {"save",
       [] {
         const FileResult r = Save_BIN(SaveMode::Overwrite);
         return r.ok ? "ok" : r.message;
       },
       bin, "The BIN file " + bin + " could not be saved: ", oldImage, newImage},
      {"copy",
       [&] {
         const FileResult r = keepOriginal(bin, oldImage);
         return r.ok ? "ok" : r.message;
       },
       copy,
       "The copy of the original BIN file, " + copy + ", could not be written: ",
       {},
       oldImage},
      {"settings", [] { return INI_Write("B", "y"), std::string("ok"); }, ini, "",
       std::vector<unsigned char>(settingsOld.begin(), settingsOld.end()),
       std::vector<unsigned char>({'[', 't', ']', '\n', 'B', '=', 'y', '\n'})}};
  const auto prepare = [&] {
    fs::remove(copy);
    BIN_Path = dir.write("car.bin", newImage);  // loaded as the new image, then overwritten
    EXPECT_TRUE(Load_BIN().ok);
    dir.write("car.bin", oldImage);
    setSettingsFile(dir.write("t.ini", settingsOld), "t");
  };
  for (const Operation& op : operations) {
    prepare();
    const int calls = under({}, [&] { EXPECT_EQ(op.run(), "ok"); });
    for (int at = 1; at <= calls; ++at) {
      std::vector<Plan> plans = {
          {at, false, EIO}, {at, false, ENOSPC}, {at, false, EINTR}, {at, true, EIO}};
      if (at == 1) plans.push_back({0, false, 0, 0, true});
      for (const Plan& plan : plans) {
        SCOPED_TRACE(std::string(op.name) + " call " + std::to_string(at) + " " +
                     std::strerror(plan.error) + (plan.onward ? " onward" : ""));
        prepare();
        std::string said;
        under(plan, [&] { said = op.run(); });
        openAsEditor();
        removeLeftTemporaries(ini);
        const auto now =
            fs::exists(op.target) ? readBytes(op.target) : std::vector<unsigned char>{};
        EXPECT_TRUE(now == op.before || now == op.after) << said;
        // When even putting back failed, the journal kept makes the file whole at the open.
        const bool settled = said.find("could not be put back either") != std::string::npos;
        if (!op.says.empty() && !settled && (said == "ok" || op.target == bin)) {
          EXPECT_EQ(now, said == "ok" ? op.after : op.before);
        }
        if (said != "ok") {
          EXPECT_EQ(said.find(op.says + std::strerror(plan.error)), 0u) << said;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}),
                  fs::exists(copy) ? 4 : 3);  // car.bin, e.ecu, t.ini and the copy: no other
      }
    }
  }
  // The journal goes only after the file's last write is flushed.
  prepare();
  std::vector<std::string> names;
  g_names = &names;
  under({}, [] { EXPECT_TRUE(Save_BIN(SaveMode::Overwrite).ok); });
  g_names = nullptr;
  const auto at = [&](const char* name) {
    return std::find(names.rbegin(), names.rend(), name).base() - names.begin();
  };
  const auto unlinked = std::find(names.begin(), names.end(), "posix/io/dir/unlink");
  EXPECT_NE(std::find(names.begin() + at("posix/io/rw/pwrite"), unlinked, "posix/io/sync/fsync"),
            unlinked);
  // A full disk is found by the reservation, before a byte of the file has changed.
  prepare();
  under({0, false, ENOSPC, 0, false, "trimlet/posix_fallocate"}, [&] {
    EXPECT_EQ(Save_BIN(SaveMode::Overwrite).message, operations[0].says + std::strerror(ENOSPC));
  });
  EXPECT_EQ(readBytes(bin), oldImage);
}

// A child saves the largest image, two images in turn, in short writes, and is killed at one
// call after another; each time the file opened as the editor opens it holds one whole image.
TEST_F(SaveFaults, ASaveKilledAtAnyCallLeavesOneWholeImage) {
  const auto first = patternBytes(static_cast<size_t>(kMaxBinFileBytes));
  auto second = first;
  for (unsigned char& b : second) b ^= 0xFF;
  BIN_Path = dir.write("big.bin", first);
  int kills = 0, putBack = 0, mixed = 0;
  for (int at = 1; at <= 100; ++at) {
    const pid_t child = ::fork();
    if (child == 0) {
      under({0, false, 0, at, true}, [&] {
        if (!Load_BIN().ok) ::_exit(1);
        for (int i = 0;; ++i) {
          setImage(i % 2 == 0 ? second : first);
          if (!Save_BIN().ok) ::_exit(1);
        }
      });
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << at;
    ++kills;
    openAsEditor();
    ASSERT_TRUE(last.usable);
    putBack += !last.notices.empty() && last.notices[0].text.find("part-way") != std::string::npos;
    const auto now = readBytes(BIN_Path);
    mixed += now != first && now != second;
  }
  EXPECT_EQ(mixed, 0);
  EXPECT_GT(putBack, 0);  // kills did land in the middle of writes
  std::printf("%d kills: %d put back part-way, %d mixed\n", kills, putBack, mixed);
}

}  // namespace
}  // namespace trimlet
