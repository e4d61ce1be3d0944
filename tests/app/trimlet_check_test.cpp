// trimlet-check run as a user or a build script runs it: what it prints and how it exits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <tuple>

#include "support/TempDir.h"

namespace trimlet::test {
namespace {

struct Output {
  int exit = -1;
  QByteArray out, err;  // as written
};

Output check(const QStringList& arguments) {
  QProcess process;
  process.start(TRIMLET_CHECK, arguments);
  process.waitForFinished(-1);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

// 0: the editor opens the files without a message, warnings or not; 1: it shows one; 2: the
// command line is wrong or a file cannot be read, which the standard error says.
TEST(TrimletCheck, ExitsWithWhatTheEditorWouldDo) {
  const QString demo = TRIMLET_SOURCE_DIR "/examples/demo";
  const QString hostile = TRIMLET_SOURCE_DIR "/tests/data/hostile/";
  const TempDir dir;  // a well-formed file of the wrong name, and a BIN one byte too large
  const QString txt =
      QString::fromStdString(dir.write("engine.txt", readText(demo.toStdString() + ".ecu")));
  const QString large = QString::fromStdString(dir.write("large.bin", std::string(655344, '\0')));
  const std::tuple<QStringList, int, QString> cases[] = {
      {{demo + ".ecu", demo + ".bin"}, 0, "0 errors, 0 warnings\n"},
      {{hostile + "past-end.ecu"}, 0, hostile + "past-end.ecu:15:1: warning: "},
      {{hostile + "fewer-items.ecu"}, 1, hostile + "fewer-items.ecu:4:1: error: Items 3: "},
      {{}, 2, ""},
      {{"--verbose", demo + ".ecu"}, 2, ""},
      {{hostile + "missing.ecu"}, 2, ""},
      {{demo + ".ecu", hostile + "missing.bin"}, 2, ""},
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
}

// The file may hold any byte (here quote, backslash, control characters, UTF-8, then a stray
// byte, a cut character, an overlong form, a surrogate); the JSON is still UTF-8 with no raw
// control character but its line ends, and gives the text back, U+FFFD for each byte no UTF-8.
TEST(TrimletCheck, JsonCarriesControlCharactersAndNonAsciiText) {
  const TempDir dir;
  const char text[] =
      "ECU FORMAT 1\n{\nT=x,V=1,A=,B=,C=,D=,Items=1\n}\n{\nAddress=10,Cols=1,Rows=1,Bytes=1\n"
      "Kind=80,Offset=0,Operation=0,Factor=1,Name=Idle \"\\\x01\0\t caf\xC3\xA9 \xFF\xE2\x82\xE0"
      "\x80\x80\xED\xA0\x80\nYlabel=,Yaxis=,Xlabel=,Xaxis=\n}";
  const std::string ecu = dir.write("engine.ecu", std::string_view(text, sizeof text - 1));
  const Output run = check({"--json", QString::fromStdString(ecu)});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(QString::fromUtf8(run.out).toUtf8(), run.out);
  EXPECT_TRUE(std::none_of(run.out.begin(), run.out.end(),
                           [](char c) { return c >= 0 && c < 0x20 && c != '\n'; }));
  QJsonParseError error;
  const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonObject item = json["items"].toArray()[1].toObject();
  EXPECT_EQ(item["name"].toString(), QString::fromUtf8("Idle \"\\\x01") + QChar(0) +
                                         QString::fromUtf8("\t caf\xC3\xA9 ") +
                                         QString(9, QChar(0xFFFD)));
  EXPECT_EQ(item["class"].toString() + " " + item["range"].toObject()["first"].toString(),
            "flag byte 10");
}

}  // namespace
}  // namespace trimlet::test

// QProcess needs an application object.
int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
