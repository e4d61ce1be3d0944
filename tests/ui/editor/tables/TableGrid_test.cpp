#include "ui/editor/tables/TableGrid.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include "core/image.h"

namespace trimlet {
namespace {

// A grid of `rows` x `cols` data cells over a table at the image's start whose cell (c, r)
// holds 10 × r + c.
struct Grid {
  Grid(int rows, int cols) : place{0, cols, rows} {
    resetState();
    BIN_FileBytes = rows * cols;
    for (int c = 0; c < cols; ++c)
      for (int r = 0; r < rows; ++r) set(c, r, 10 * r + c);
    grid.setFrame(rows + 1, cols + 1);
    TableModel::CellTexts texts;
    for (int i = 0; i < 256; ++i) texts[static_cast<size_t>(i)] = QString::number(i);
    grid.fill(texts, {place, nullptr, {}});
    grid.resize(400, 300);
    grid.show();
  }

  void set(int c, int r, int byte) const { writeImageByte(place.record(c, r), byte); }

  // Grid rows and columns count from 1, as the data cells are shown under the captions.
  QModelIndex index(int row, int col) const { return grid.model()->index(row - 1, col - 1); }

  TablePlace place;
  TableGrid grid;
};

// Table row 0 is the bottom grid row, in heat colours from blue (0) to red (255), showing what
// the image holds now. Typing neither edits a cell nor moves the selection to a cell whose text
// starts with it; the key is reported before anything moves.
TEST(TableGrid, ShowsHeatColoursAndTypedKeysNeitherEditNorMove) {
  Grid g(2, 2);
  QAbstractItemModelTester tester(g.grid.model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  g.set(0, 1, 45);  // the top-left cell's text starts with the typed "4"
  g.set(1, 0, 255);
  const auto colour = [&](int row, int col) {
    return g.index(row, col).data(Qt::BackgroundRole).value<QBrush>().color();
  };
  EXPECT_GT(colour(2, 2).red(), colour(2, 2).blue());
  EXPECT_GT(colour(2, 1).blue(), colour(2, 1).red());
  g.grid.selectionModel()->select(g.index(2, 2), QItemSelectionModel::ClearAndSelect);
  QSignalSpy keys(&g.grid, &TableGrid::keyDown);
  QTest::keyClicks(&g.grid, "49");
  QTest::keyClick(&g.grid, Qt::Key_Return);
  ASSERT_GE(keys.count(), 1);
  EXPECT_EQ(keys.at(0).at(0).toInt(), int(Qt::Key_4));
  EXPECT_TRUE(g.grid.inSelection(2, 2));
  EXPECT_FALSE(g.grid.inSelection(1, 1));
  EXPECT_EQ(g.grid.text(1, 1) + "|" + g.grid.text(2, 2), "45|255");
  EXPECT_FALSE(g.grid.model()->flags(g.index(1, 1)) & Qt::ItemIsEditable);
}

}  // namespace
}  // namespace trimlet
