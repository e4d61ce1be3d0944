// trimlet-patch run as a user runs it: a tune made, carried onto the moved revision, refused
// whole on a conflict, written in place; each with its exit status and nothing half written.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <tuple>

#include "support/TempDir.h"

namespace trimlet::test {
namespace {

struct Ran {
  int exit = -1;
  QByteArray out, err;
};

Ran patch(const QStringList& arguments) {
  QProcess process;
  process.start(TRIMLET_PATCH, arguments);
  if (!process.waitForFinished(60'000)) {  // a hang fails this test instead of blocking the run
    ADD_FAILURE() << "trimlet-patch did not finish within a minute";
    process.kill();
    process.waitForFinished(5'000);
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

const std::string kDemo = TRIMLET_SOURCE_DIR "/examples/demo";

// 0 done; 1 the patch does not apply, nothing written; 2 usage, a refused patch, an output
// that exists: nothing written either, and under --json an object says why.
TEST(TrimletPatch, WritesAllOrNothingWithItsStatus) {
  const TempDir dir;
  std::vector<unsigned char> bytes = readBytes(kDemo + ".bin");
  bytes[0x4012] ^= 0x01;  // Rev Limit (RPM)
  const auto q = [](const std::string& s) { return QString::fromStdString(s); };
  const QString stock = q(kDemo + ".bin"), tuned = q(dir.write("tuned.bin", bytes)),
                ecu = q(kDemo + ".ecu"), movedBin = q(kDemo + "-moved.bin"),
                movedEcu = q(kDemo + "-moved.ecu"), out = q((dir.path() / "out.bin").string());
  const Ran made = patch({"diff", stock, tuned, ecu});
  ASSERT_EQ(made.exit, 0) << made.err.toStdString();
  const QString tune = q(dir.write("tune.patch", made.out.toStdString()));
  const QString broken =
      q(dir.write("broken.patch", made.out.left(made.out.size() - 4).toStdString()));
  bytes[0x4012] ^= 0x02;  // neither the stock value nor the tune's
  const QString conflict = q(dir.write("conflict.bin", bytes));
  const QString target = q(dir.write("target.bin", readBytes(movedBin.toStdString())));
  const std::tuple<QStringList, int, const char*> cases[] = {
      {{"apply", tune, movedBin, movedEcu, "-o", out}, 0, "1 applied."},
      {{"apply", tune, movedBin, movedEcu, "-o", out}, 2, ""},  // out exists now
      {{"apply", tune, out, movedEcu, "-o", out + "2"}, 0, "1 already there."},
      {{"apply", tune, stock, movedEcu, "-o", out + "4"}, 1, "1 missing."},
      {{"apply", tune, conflict, ecu, "-o", out + "4"}, 1, "1 conflicting."},
      {{"apply", tune, target, movedEcu, "--in-place"}, 0, "1 applied."},
      {{"apply", broken, stock, ecu, "-o", out + "5"}, 2, ""},
      {{"show", tune}, 0, "A patch of 1 items"},
      {{"--json", "apply", tune, stock, ecu}, 2, "{\"error\": \"apply writes either -o OUT.bin"},
  };
  for (const auto& [arguments, exit, start] : cases) {
    const Ran run = patch(arguments);
    EXPECT_EQ(run.exit, exit) << arguments.join(' ').toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(start)) << run.out.toStdString();
  }
  EXPECT_EQ(readBytes(out.toStdString()), readBytes(target.toStdString()));
  EXPECT_NE(readBytes(out.toStdString()), readBytes(movedBin.toStdString()));
  for (const char* never : {"4", "5"})
    EXPECT_FALSE(std::filesystem::exists(out.toStdString() + never)) << never;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "target.orig.bin"));
  EXPECT_EQ(patch({"apply", broken, stock, ecu, "-o", out + "5"}).err.count(", line "), 1);
}

}  // namespace
}  // namespace trimlet::test
