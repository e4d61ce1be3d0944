#include "ui/editor/tables/TableGrid.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

namespace trimlet {
namespace {

void selectBlock(TableGrid& grid, int top, int left, int bottom, int right) {
  QAbstractItemModel* model = grid.model();
  grid.selectionModel()->select(
      QItemSelection(model->index(top - 1, left - 1), model->index(bottom - 1, right - 1)),
      QItemSelectionModel::ClearAndSelect);
}

TEST(TableGrid, RefillingCellsKeepsTheSelection) {
  TableGrid grid;
  QAbstractItemModelTester tester(grid.model(),
                                  QAbstractItemModelTester::FailureReportingMode::Warning);
  grid.setFrame(4, 4);
  selectBlock(grid, 2, 2, 3, 3);
  QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
  for (int row = 1; row < 4; ++row)
    for (int col = 1; col < 4; ++col) grid.setCellText(row, col, QString::number(row * col), 7);
  grid.cellsWritten();
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(grid.text(3, 2), "6");
  EXPECT_TRUE(grid.inSelection(2, 2));
  EXPECT_TRUE(grid.inSelection(3, 3));
  EXPECT_FALSE(grid.inSelection(1, 1));
  ASSERT_EQ(grid.selectedBlocks().size(), 1u);
  EXPECT_EQ(grid.selectedBlocks().front(), QRect(2, 2, 2, 2));
}

TEST(TableGrid, CellsCannotBeEditedByTyping) {
  TableGrid grid;
  grid.setFrame(2, 2);
  grid.setCellText(1, 1, "12", 12);
  grid.cellsWritten();
  grid.setCurrentIndex(grid.model()->index(0, 0));
  QTest::keyClicks(&grid, "99");
  QTest::keyClick(&grid, Qt::Key_Return);
  EXPECT_EQ(grid.text(1, 1), "12");
  EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
}

TEST(TableGrid, OnlyOneBlockCanBeSelected) {
  TableGrid grid;
  grid.resize(400, 300);
  grid.setFrame(4, 4);
  grid.show();
  const auto centre = [&](int row, int col) {
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
  };
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(1, 1));
  // A second block cannot be added: Ctrl and Shift both stretch the one block.
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, centre(3, 3));
  ASSERT_EQ(grid.selectedBlocks().size(), 1u);
  EXPECT_EQ(grid.selectedBlocks().front(), QRect(1, 1, 3, 3));
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(2, 2));
  ASSERT_EQ(grid.selectedBlocks().size(), 1u);
  EXPECT_EQ(grid.selectedBlocks().front(), QRect(1, 1, 2, 2));
}

TEST(TableGrid, ReportsKeysBeforeMovingAndTypedTextDoesNotMoveTheSelection) {
  TableGrid grid;
  grid.setFrame(3, 3);
  grid.setCellText(1, 1, "-5", 0);
  grid.cellsWritten();
  selectBlock(grid, 2, 2, 2, 2);
  QSignalSpy keys(&grid, &TableGrid::keyDown);
  QTest::keyClick(&grid, Qt::Key_Minus);
  ASSERT_EQ(keys.count(), 1);
  EXPECT_EQ(keys.at(0).at(0).toInt(), int(Qt::Key_Minus));
  EXPECT_TRUE(grid.inSelection(2, 2));
  EXPECT_FALSE(grid.inSelection(1, 1));
}

}  // namespace
}  // namespace trimlet
