// Faults injected through libfiu's preload into every call of the save and the copy of the
// original (written as the settings are), and saves killed at any call: the file always holds
// one whole image, the old or the new, and failures say so. Run with the preload only.
#include <fiu-control.h>
#include <fiu.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/bin_file.h"
#include "core/document.h"
#include "core/hex.h"
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
  int calls = 0;
  std::string names{};  // the calls made, in order
};
Plan g_plan;

// The calls of the save and the copy: the preload's and the core's own.
constexpr const char* kCalls[] = {
    "posix/io/oc/open",    "posix/io/oc/close",   "posix/io/rw/read",        "posix/io/rw/pread",
    "posix/io/rw/pwrite",  "posix/io/rw/write",   "posix/io/rw/ftruncate",   "posix/io/sync/fsync",
    "posix/io/dir/rename", "posix/io/dir/unlink", "trimlet/posix_fallocate", "trimlet/mkostemp",
    "trimlet/fchmod"};
constexpr const char* kShortened[] = {"posix/io/rw/read/reduce", "posix/io/rw/pread/reduce",
                                      "posix/io/rw/pwrite/reduce"};

int decide(const char* name, int* /*failnum*/, void** failinfo, unsigned* /*flags*/) {
  const int call = ++g_plan.calls;
  g_plan.names += std::string(name) + " ";
  if (call == g_plan.killAt) ::raise(SIGKILL);
  *failinfo = reinterpret_cast<void*>(static_cast<intptr_t>(g_plan.error));
  return call == g_plan.failAt || (g_plan.onward && g_plan.failAt > 0 && call > g_plan.failAt);
}

std::string said(const FileResult& result) { return result.ok ? "ok" : result.message; }

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
  Opening openAsEditor() {
    ECU_Path = dir.write("e.ecu", "ECU FORMAT 1\n{\nT=\nV=1\nA=\nB=\nC=\nD=\nItems=0\n}\n");
    return Document(BIN_Path, ECU_Path, DocumentRole::Editor).open();
  }
  TempDir dir;
};

// Each call of each operation fails in turn with each error (or fails with every call after
// it, so that even putting back fails), then the file is opened as the editor opens it: the old
// content after a failure, the new after success, nothing left beside it.
TEST_F(SaveFaults, EveryFailingCallLeavesTheOldOrTheNewWholeAndSaysWhy) {
  const auto oldImage = patternBytes(16384), newImage = std::vector<unsigned char>(24576, 0xA5);
  struct Operation {
    const char* name;
    std::function<std::string()> run;  // the message, "ok" on success
    std::string target, says;
    std::vector<unsigned char> before, after;
  };
  const std::string bin = (dir.path() / "car.bin").string(), copy = originalCopyPath(bin);
  const std::vector<Operation> operations = {
      {"save", [] { return said(Save_BIN(SaveMode::Overwrite)); }, bin,
       "The BIN file " + bin + " could not be saved: ", oldImage, newImage},
      {"copy", [&] { return said(keepOriginal(bin, oldImage)); }, copy,
       "The copy of the original BIN file, " + copy + ", could not be written: ",
       std::vector<unsigned char>{}, oldImage}};
  const auto prepare = [&] {
    fs::remove(copy);
    BIN_Path = dir.write("car.bin", newImage);  // loaded as the new image, then overwritten
    EXPECT_TRUE(Load_BIN().ok);
    dir.write("car.bin", oldImage);
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
        std::string says;
        under(plan, [&] { says = op.run(); });
        openAsEditor();
        const auto now =
            fs::exists(op.target) ? readBytes(op.target) : std::vector<unsigned char>{};
        EXPECT_TRUE(now == op.before || now == op.after) << says;
        // When even putting back failed, the journal kept makes the file whole at the open.
        const bool settled = says.find("could not be put back either") != std::string::npos;
        if (!settled && (says == "ok" || op.target == bin)) {
          EXPECT_EQ(now, says == "ok" ? op.after : op.before);
        }
        if (says != "ok") {
          EXPECT_EQ(says.find(op.says + std::strerror(plan.error)), 0u) << says;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}),
                  fs::exists(copy) ? 3 : 2);  // car.bin, e.ecu and the copy: no other
      }
    }
  }
  // The journal goes only after the file's last write is flushed.
  prepare();
  under({}, [] { EXPECT_TRUE(Save_BIN(SaveMode::Overwrite).ok); });
  const std::string& names = g_plan.names;
  EXPECT_LT(names.find("/fsync", names.rfind("/pwrite")), names.find("/unlink")) << names;
  // A full disk is found by the reservation, before a byte of the file has changed.
  prepare();
  fiu_enable("trimlet/posix_fallocate", 1, reinterpret_cast<void*>(ENOSPC), 0);
  EXPECT_EQ(Save_BIN(SaveMode::Overwrite).message, operations[0].says + std::strerror(ENOSPC));
  fiu_disable("trimlet/posix_fallocate");
  EXPECT_EQ(readBytes(bin), oldImage);
}

// A child saves the largest image, two images in turn, in short writes, and is killed at one
// call after another; each time the file opened as the editor opens it holds one whole image.
TEST_F(SaveFaults, ASaveKilledAtAnyCallLeavesOneWholeImage) {
  const auto first = patternBytes(static_cast<size_t>(kMaxBinFileBytes));
  const std::vector<unsigned char> second(first.size(), 0xA5);
  BIN_Path = dir.write("big.bin", first);
  int putBack = 0;
  for (int at = 1; at <= 100; ++at) {
    const pid_t child = ::fork();
    if (child == 0) {
      under({0, false, 0, at, true}, [&] {
        if (!Load_BIN().ok) ::_exit(1);
        for (int i = 0;; ++i) {
          for (int b = 0; b < kMaxBinFileBytes; ++b)
            setEditedByte(BIN_Data[b], (i % 2 == 0 ? second : first)[b]);
          if (!Save_BIN().ok) ::_exit(1);
        }
      });
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << at;
    const Opening last = openAsEditor();
    ASSERT_TRUE(last.usable);
    putBack += !last.notices.empty() && last.notices[0].text.find("part-way") != std::string::npos;
    const auto now = readBytes(BIN_Path);
    EXPECT_TRUE(now == first || now == second) << at;
  }
  EXPECT_GT(putBack, 0);  // kills did land in the middle of writes
}

}  // namespace
}  // namespace trimlet
