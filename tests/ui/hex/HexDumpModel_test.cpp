#include "ui/editor/hex/HexDumpModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "core/hex.h"
#include "core/state.h"

namespace trimlet {
namespace {

class HexDumpModelTest : public testing::Test {
 protected:
  void SetUp() override {
    resetState();
    for (int i = 0; i < 160; ++i) setLoadedByte(BIN_Data[static_cast<size_t>(i)], 0xA0);
    for (int i = 0; i < 160; ++i) {
      const std::string address = QString::asprintf("%06X", i).toStdString();
      std::copy(address.begin(), address.end(), BIN_Data[static_cast<size_t>(i)].Address.begin());
    }
  }

  HexDumpModel model_;
  QAbstractItemModelTester tester_{&model_, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(HexDumpModelTest, StartsAsAnEmptyGridWithoutHeaderTexts) {
  EXPECT_EQ(model_.rowCount(), HexDumpModel::kEmptyRows);
  EXPECT_EQ(model_.columnCount(), 16);
  EXPECT_EQ(model_.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "");
  EXPECT_FALSE(model_.index(0, 0).data().isValid());
  EXPECT_FALSE(model_.flags(model_.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(HexDumpModelTest, ShrinksAndGrowsToTheFilledRows) {
  model_.fill(2);
  EXPECT_EQ(model_.rowCount(), 2);
  model_.fill(10);
  EXPECT_EQ(model_.rowCount(), 10);
  EXPECT_EQ(model_.headerData(9, Qt::Vertical, Qt::DisplayRole).toString(), "000090");
  EXPECT_EQ(model_.index(9, 15).data().toString(), "A0");
}

TEST_F(HexDumpModelTest, ARefillOfTheSameRowsUpdatesTheCellsInPlace) {
  model_.fill(10);
  QSignalSpy resets(&model_, &QAbstractItemModel::modelReset);
  QSignalSpy removed(&model_, &QAbstractItemModel::rowsRemoved);
  QSignalSpy changed(&model_, &QAbstractItemModel::dataChanged);
  setEditedByte(BIN_Data[17], 0xB);
  model_.fill(10);
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(removed.count(), 0);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(model_.index(1, 1).data().toString(), "B ");
}

}  // namespace
}  // namespace trimlet
