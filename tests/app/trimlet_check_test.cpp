// trimlet-check run as a user or a build script runs it: what it prints and how it exits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>

#include "support/TempDir.h"

namespace trimlet::test {
namespace {

struct Output {
  int exit = -1;
  QByteArray bytes;  // the standard output as written
  QString out;
  QString err;
};

Output check(const QStringList& arguments) {
  QProcess process;
  process.start(TRIMLET_CHECK, arguments);
  process.waitForFinished(-1);
  const QByteArray out = process.readAllStandardOutput();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out,
          QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError())};
}

const QString kSource = TRIMLET_SOURCE_DIR;

TEST(TrimletCheck, ExitsWithWhatTheEditorWouldDo) {
  const QString demo = kSource + "/examples/demo";
  const QString fewer = kSource + "/tests/data/hostile/fewer-items.ecu";
  const struct {
    QStringList arguments;
    int exit;
    QString out;  // the whole output, or its first line when it ends in "\n..."
  } cases[] = {
      {{demo + ".ecu", demo + ".bin"}, 0, "0 errors, 0 warnings\n"},
      {{fewer},
       1,
       fewer + ":4:1: error: Items 3: the file holds only 2 items: the editor shows \"ECU File "
               "Error\", then \"Error in ECU File\"\n..."},
      {{"--version"}, 0, "trimlet-check, Trimlet Version 1.00\n"},
      {{}, 2, ""},
      {{"--verbose", demo + ".ecu"}, 2, ""},
      {{demo + ".ecu", demo + ".bin", demo + ".bin"}, 2, ""},
      {{kSource + "/missing.ecu"}, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const Output run = check(c.arguments);
    EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
    if (c.out.endsWith("\n..."))
      EXPECT_EQ(run.out.section('\n', 0, 0) + "\n...", c.out);
    else
      EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err.isEmpty(), c.exit != 2);
  }
}

// The file may hold any byte; the JSON must still parse and give the text back.
TEST(TrimletCheck, JsonCarriesControlCharactersAndNonAsciiText) {
  TempDir dir;
  // Quote, backslash, control characters, UTF-8, and bytes that are no UTF-8 (a stray byte, a
  // cut character, an overlong form, a surrogate).
  const char raw[] = "Idle \"\\\x01\0\t caf\xC3\xA9 \xFF\xE2\x82\xE0\x80\x80\xED\xA0\x80";
  const std::string name(raw, sizeof raw - 1);
  const std::string ecu =
      dir.write("engine.ecu",
                "ECU FORMAT 1\n{\nT=x, V=1, A=, B=, C=, D=, Items=1\n}\n{\nAddress=10, Cols=1, "
                "Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1\nName=" +
                    name + "\nYlabel=\nYaxis=\nXlabel=\nXaxis=\n}\n");
  const Output run = check({"--json", QString::fromStdString(ecu)});
  EXPECT_EQ(run.exit, 0);
  // JSON is UTF-8 (a round trip keeps it) with no raw control character but the layout's
  // line ends.
  EXPECT_EQ(QString::fromUtf8(run.bytes).toUtf8(), run.bytes);
  EXPECT_TRUE(std::none_of(run.out.begin(), run.out.end(),
                           [](QChar c) { return c.unicode() < 0x20 && c != '\n'; }));
  QJsonParseError error;
  const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonObject item = json["items"].toArray()[1].toObject();
  EXPECT_EQ(item["name"].toString(), QString::fromUtf8("Idle \"\\\x01") + QChar(0) +
                                         QString::fromUtf8("\t caf\xC3\xA9 ") +
                                         QString(9, QChar(0xFFFD)));
  EXPECT_EQ(item["class"].toString(), "flag byte");
  EXPECT_EQ(item["range"].toObject()["first"].toString(), "10");
  EXPECT_EQ(json["summary"].toString(), "0 errors, 0 warnings");
}

}  // namespace
}  // namespace trimlet::test

// QProcess needs an application object.
int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
