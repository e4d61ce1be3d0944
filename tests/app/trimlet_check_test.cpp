// trimlet-check run as a user or a build script runs it: what it prints and how it exits, also
// when its output goes to a full disk, a closed stream or a pipe nobody reads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <tuple>

#include "support/TempDir.h"

namespace trimlet::test {
namespace {

enum class Out { Read, Full, Closed, UnreadPipe };

struct Output {
  int exit = -1;  // -1: a signal ended it
  QByteArray out, err;
};

Output check(const QStringList& arguments, Out to = Out::Read) {
  int pipe[2] = {-1, -1};
  if (to == Out::UnreadPipe && ::pipe(pipe) == 0) ::close(pipe[0]);  // gone before any write
  QProcess process;
  if (to == Out::Full) process.setStandardOutputFile("/dev/full");
  process.setChildProcessModifier([to, &pipe] {
    std::signal(SIGPIPE, SIG_DFL);  // as a shell starts it, whatever this process ignores
    if (to == Out::Closed) ::close(STDOUT_FILENO);
    if (to == Out::UnreadPipe) ::dup2(pipe[1], STDOUT_FILENO);
  });
  process.start(TRIMLET_CHECK, arguments);
  if (!process.waitForFinished(60'000)) {  // a hang fails this test instead of blocking the run
    ADD_FAILURE() << "trimlet-check did not finish within a minute";
    process.kill();
    process.waitForFinished(5'000);
  }
  if (pipe[1] >= 0) ::close(pipe[1]);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

const QString kDemo = TRIMLET_SOURCE_DIR "/examples/demo";
const QString kHostile = TRIMLET_SOURCE_DIR "/tests/data/hostile/";

QString written(const TempDir& dir, const std::string& name, const auto& content) {
  return QString::fromStdString(dir.write(name, content));
}

// 0: no error; 1: the editor shows a message, a checksum block cannot be computed or a checksum
// is BAD (each block's line gives both values); 2: a wrong command line, a file that cannot be
// read or a report that cannot be written, which the standard error says, and which wins over 1.
// Problems keep their line and column; without a BIN file no block reaches past 655343 bytes.
TEST(TrimletCheck, ExitsWithWhatTheEditorWouldDo) {
  const TempDir dir;  // a well-formed file of the wrong name, a BIN too large, one byte changed
  const QString txt = written(dir, "engine.txt", readText(kDemo.toStdString() + ".ecu"));
  const QString large = written(dir, "large.bin", std::vector<uint8_t>(655344));
  std::vector<uint8_t> bytes = readBytes(kDemo.toStdString() + ".bin");
  bytes[0x7000] ^= 0x10;
  const QString changed = written(dir, "changed.bin", bytes);
  const std::string section =
      "ECU FORMAT 1\n{\nT=,V=1,A=,B=,C=,D=,Items=1\n}\n{\nAddress=0, Cols=1, Rows=1, Bytes=1, "
      "Kind=80, Offset=0, Operation=0, Factor=0\nName=f, Ylabel=, Yaxis=, Xlabel=, Xaxis=\n}\n"
      "Checksums\n; blocks\n{\nName=a\nAlgorithm=sum\nRange=0-9FFEF\nStore=10\nSize=1\n}\n";
  const QString sums = written(dir, "sums.ecu", section);
  const QString block = kDemo +
                        ".ecu:208:1: %1: checksum \"Calibration Checksum\" %2: stored "
                        "004251B0, computed %3\n%4 error%5, 0 warnings\n";
  const std::tuple<QStringList, int, QString> cases[] = {
      {{kDemo + ".ecu"}, 0, "0 errors, 0 warnings\n"},
      {{kDemo + ".ecu", kDemo + ".bin"}, 0, block.arg("note", "OK", "004251B0", "0", "s")},
      {{kDemo + ".ecu", changed}, 1, block.arg("error", "BAD", "004251A0", "1", "")},
      {{kHostile + "past-end.ecu"}, 0, kHostile + "past-end.ecu:15:1: warning: "},
      {{kHostile + "fewer-items.ecu"}, 1, kHostile + "fewer-items.ecu:4:1: error: Items 3: "},
      {{sums}, 1, sums + ":14:1: error: Range \"0-9FFEF\" reaches past the end of the image"},
      {{"--verbose", kDemo + ".ecu"}, 2, ""},
      {{kHostile + "fewer-items.ecu", kHostile + "missing.bin"}, 2, ""},
      // clang-format off
      {{txt, large}, 1, txt + ": error: the name does not end in \".ecu\": the editor shows \"ECU "
       "file is not correct.\"\n" + large + ": error: the BIN file holds more than 655343 bytes"},
      // clang-format on
  };
  for (const auto& [arguments, exit, start] : cases) {
    const Output run = check(arguments);
    EXPECT_EQ(run.exit, exit) << run.err.toStdString();
    EXPECT_EQ(run.out.left(start.size()).toStdString(), start.toStdString());
    EXPECT_EQ(run.err.isEmpty(), exit != 2) << start.toStdString();
  }
  // Every write is checked: a full disk, a closed output, a reader gone before the first write;
  // never a report lost unseen or a death by signal.
  for (const Out to : {Out::Full, Out::Closed, Out::UnreadPipe})
    for (const QStringList& arguments : {QStringList{kDemo + ".ecu"},
                                         QStringList{"--json", kDemo + ".ecu", changed},
                                         {"--help"}}) {
      const Output run = check(arguments, to);
      EXPECT_EQ(run.exit, 2) << static_cast<int>(to) << arguments[0].toStdString();
      EXPECT_TRUE(run.err.startsWith("trimlet-check: the report cannot be written: "));
    }
  // Under --json, a file that cannot be read still gives one object, which says why.
  EXPECT_EQ(QJsonDocument::fromJson(check({"--json", kHostile + "missing.ecu"}).out)["error"],
            "The ECU file " + kHostile + "missing.ecu cannot be read: No such file or directory");
}

// The file may hold any byte (here quote, backslash, control characters, UTF-8, then a stray
// byte, a cut character, an overlong form, a surrogate), and its name a line break: the JSON is
// still UTF-8 with no raw control character but its line ends, and gives the text back, U+FFFD
// for each byte no UTF-8; the text report escapes alike and keeps one line a problem.
TEST(TrimletCheck, JsonCarriesControlCharactersAndNonAsciiText) {
  const TempDir dir;
  const char text[] =
      "ECU FORMAT 1\n{\nT=x,V=1,A=,B=,C=,D=,Items=1\n}\n{\nAddress=10,Cols=1,Rows=1,Bytes=1\n"
      "Kind=80,Offset=0,Operation=0,Factor=1,Name=Idle \"\\\x01\0\t caf\xC3\xA9 \xFF\xE2\x82\xE0"
      "\x80\x80\xED\xA0\x80\nYlabel=,Yaxis=,Xlabel=,Xaxis=\n}\n{";
  const std::string ecu = dir.write("a\nb.ecu", std::string_view(text, sizeof text - 1));
  const Output run = check({"--json", QString::fromStdString(ecu)});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(QString::fromUtf8(run.out).toUtf8(), run.out);
  EXPECT_TRUE(std::none_of(run.out.begin(), run.out.end(),
                           [](char c) { return c >= 0 && c < 0x20 && c != '\n'; }));
  EXPECT_EQ(QJsonDocument::fromJson(run.out)["items"][1]["name"].toString(),
            QString::fromUtf8("Idle \"\\\x01") + QChar(0) + QString::fromUtf8("\t caf\xC3\xA9 ") +
                QString(9, QChar(0xFFFD)));
  dir.write("a\nb.ecu", "ECU \xFF\x0B\n");
  EXPECT_EQ(
      check({QString::fromStdString(ecu)}).out.toStdString(),
      (dir.path() / "a\\x0Ab.ecu:1:1: error: the first item \"ECU \uFFFD\\x0B\" lacks the word "
                    "FORMAT: the editor shows \"Incorrect ECU Format\"\n")
              .string() +
          "1 error, 0 warnings: the editor shows \"Incorrect ECU Format\"\n");
}

}  // namespace
}  // namespace trimlet::test

// QProcess needs an application object.
int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
