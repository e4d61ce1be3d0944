#include "ui/editor/tables/TableGrid.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace trimlet {
namespace {

// A grid of `rows` x `cols` data cells over a table whose cell (c, r) holds 10 × r + c.
struct Grid {
  Grid(int rows, int cols) : values(std::make_unique<PointTable>()), grid(*values) {
    for (int c = 0; c < cols; ++c)
      for (int r = 0; r < rows; ++r) (*values)[c][r] = 10 * r + c;
    grid.setFrame(rows + 1, cols + 1);
    TableModel::CellTexts texts;
    for (int i = 0; i < 256; ++i) texts[static_cast<size_t>(i)] = QString::number(i);
    grid.fill(texts);
  }

  void select(int top, int left, int bottom, int right) {
    QAbstractItemModel* model = grid.model();
    grid.selectionModel()->select(
        QItemSelection(model->index(top - 1, left - 1), model->index(bottom - 1, right - 1)),
        QItemSelectionModel::ClearAndSelect);
  }

  std::unique_ptr<PointTable> values;
  TableGrid grid;
};

TEST(TableGrid, ShowsTableRowZeroAtTheBottomAndReportsTheSelectionInTableCells) {
  Grid g(3, 3);
  QAbstractItemModelTester tester(g.grid.model(),
                                  QAbstractItemModelTester::FailureReportingMode::Warning);
  EXPECT_EQ(g.grid.text(3, 1), "0");
  EXPECT_EQ(g.grid.text(1, 3), "22");
  g.select(1, 2, 2, 3);  // the top two grid rows: table rows 2 and 1
  ASSERT_EQ(g.grid.selectedCells().size(), 1u);
  EXPECT_EQ(g.grid.selectedCells().front(), (CellBlock{1, 2, 1, 2}));

  // Heat colours run from blue (0) to red (255).
  (*g.values)[2][0] = 255;
  const auto colour = [&](int row, int col) {
    return g.grid.model()->index(row, col).data(Qt::BackgroundRole).value<QBrush>().color();
  };
  EXPECT_GT(colour(2, 2).red(), colour(2, 2).blue());
  EXPECT_GT(colour(2, 0).blue(), colour(2, 0).red());

  // Refilling happens in place: no reset, the selection stays.
  QSignalSpy resets(g.grid.model(), &QAbstractItemModel::modelReset);
  (*g.values)[0][0] = 99;
  g.grid.fill(TableModel::CellTexts{});
  EXPECT_EQ(resets.count(), 0);
  EXPECT_TRUE(g.grid.inSelection(1, 2));
  EXPECT_FALSE(g.grid.inSelection(3, 1));
}

TEST(TableGrid, CellsCannotBeEditedByTyping) {
  Grid g(1, 1);
  g.grid.setCurrentIndex(g.grid.model()->index(0, 0));
  QTest::keyClicks(&g.grid, "99");
  QTest::keyClick(&g.grid, Qt::Key_Return);
  EXPECT_EQ(g.grid.text(1, 1), "0");
  EXPECT_FALSE(g.grid.model()->flags(g.grid.model()->index(0, 0)) & Qt::ItemIsEditable);
}

TEST(TableGrid, OnlyOneBlockCanBeSelected) {
  Grid g(3, 3);
  g.grid.resize(400, 300);
  g.grid.show();
  const auto centre = [&](int row, int col) {
    return g.grid.visualRect(g.grid.model()->index(row - 1, col - 1)).center();
  };
  QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, centre(1, 1));
  // A second block cannot be added: Ctrl and Shift both stretch the one block.
  QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, Qt::ControlModifier, centre(3, 3));
  ASSERT_EQ(g.grid.selectedCells().size(), 1u);
  EXPECT_EQ(g.grid.selectedCells().front(), (CellBlock{0, 2, 0, 2}));
  QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(2, 2));
  ASSERT_EQ(g.grid.selectedCells().size(), 1u);
  EXPECT_EQ(g.grid.selectedCells().front(), (CellBlock{0, 1, 1, 2}));
}

TEST(TableGrid, ReportsKeysBeforeMovingAndTypedTextDoesNotMoveTheSelection) {
  Grid g(2, 2);
  (*g.values)[0][1] = 45;  // the top-left cell's text starts with the typed "4"
  g.select(2, 2, 2, 2);
  QSignalSpy keys(&g.grid, &TableGrid::keyDown);
  QTest::keyClick(&g.grid, Qt::Key_4);
  ASSERT_EQ(keys.count(), 1);
  EXPECT_EQ(keys.at(0).at(0).toInt(), int(Qt::Key_4));
  EXPECT_TRUE(g.grid.inSelection(2, 2));
  EXPECT_FALSE(g.grid.inSelection(1, 1));
}

}  // namespace
}  // namespace trimlet
