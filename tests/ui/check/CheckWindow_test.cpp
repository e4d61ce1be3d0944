// The check window opened from the ECU box's menu, and the details behind the ECU messages.
#include "ui/check/CheckWindow.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBlock>

#include "support/ui/EditorTest.h"
#include "ui/main/frmMain.h"

namespace trimlet::test {
namespace {

// Item 2 lacks its Ylabel, so its last field takes the "}"; item 3 has a bad number.
constexpr char kBroken[] =
    "ECU FORMAT 1\n{\nTitle=T, Version=1, A=, B=, C=, D=, Items=3\n}\n"
    "{\nAddress=10, Cols=1, Rows=1, Bytes=1, Kind=80, Offset=0, Operation=0, Factor=1\n"
    "Name=Flags, Ylabel=, Yaxis=, Xlabel=, Xaxis=\n}\n"
    "{\nAddress=20, Cols=4, Rows=4, Bytes=1, Kind=0, Offset=0, Operation=0, Factor=1\n"
    "Name=Map, Yaxis=, Xlabel=, Xaxis=\n}\n"
    "{\nAddress=40, Cols=x\n";

using CheckWindowTest = EditorTest;

TEST_F(CheckWindowTest, OpensFromTheEcuBoxMenuAndShowsTheLineOfARow) {
  frmMain main;
  main.show();
  auto* txtECU = main.findChild<QLineEdit*>("txtECU");
  txtECU->setText(QString::fromStdString(dir.write("broken.ecu", kBroken)));
  emit txtECU->customContextMenuRequested(QPoint(5, 5));
  auto* menu = txtECU->findChild<QMenu*>();
  // The box's own edit actions stay; the check comes last.
  ASSERT_TRUE(menu != nullptr && menu->actions().size() > 3 &&
              menu->actions().last()->text() == "Check ECU file…");
  menu->actions().last()->trigger();
  menu->close();
  auto* window = main.findChild<CheckWindow*>();
  ASSERT_NE(window, nullptr);
  auto* table = window->findChild<QTableWidget*>("tblReport");
  const auto row = [&](int r) {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
    return cells;
  };
  ASSERT_EQ(table->rowCount(), 5);
  EXPECT_EQ(row(1), QStringList({"5", "1 Flags", "flag byte", "10", ""}));
  EXPECT_TRUE(row(3)[4].startsWith("warning: \"}\" is read as Xaxis")) << row(3)[4].toStdString();

  // A double click as the system delivers it: a click, then the second press as a double click.
  const QPoint line12 = table->visualRect(table->model()->index(3, 0)).center();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, line12);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, line12);
  auto* file = window->findChild<QPlainTextEdit*>("txtFile");
  EXPECT_EQ(file->textCursor().block().text(), "}");
  ASSERT_EQ(file->extraSelections().size(), 1);
  EXPECT_EQ(file->extraSelections().first().cursor.blockNumber(), 11);
}

// The box's text stays the message; its details name the line where the file goes wrong.
TEST_F(CheckWindowTest, EcuMessagesNameTheirFirstProblemInTheirDetails) {
  EXPECT_FALSE(open(patternBytes(256), "ECU FORMAT 1\r{\rTitle=x\rVersion=two\r"));
  EXPECT_EQ(messages, QStringList({"ECU File Error"}));
  EXPECT_TRUE(lastMessages().at(0).details.startsWith(
      "Line 4, column 1: Version \"two\" is not a number.\n"));
}

}  // namespace
}  // namespace trimlet::test
