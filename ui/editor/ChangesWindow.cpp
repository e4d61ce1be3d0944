#include "ui/editor/ChangesWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/compare.h"
#include "core/conversion.h"
#include "core/hex.h"
#include "core/image.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

constexpr int kItemRole = Qt::UserRole;         // the item number of a top-level row; 0 for no item
constexpr int kRecordsRole = Qt::UserRole + 1;  // the records that row stands for

QString className(const ECU_Item& item) {
  if (isFlagByte(item)) return "Flag byte";
  if (isSingleValue(item)) return "Value";
  return isArray(item) ? "Array" : "Map";
}

// A raw number as its tab shows it (hexadecimal for a value, decimal for a table cell), with
// its calculated value where the item has one.
QString shown(const ECU_Item& item, uint64_t raw, bool calculated, bool hex) {
  QString text = hex ? QString::fromStdString(numberToHex(raw)) : QString::number(raw);
  const std::string value =
      formatCalculated(static_cast<double>(raw), item.Operation, item.Factor, item.Offset);
  if (calculated && !value.empty()) text += " = " + QString::fromStdString(value);
  return text;
}

// The rows under an item: one a bit, one for a whole value, one a table cell.
void addUnits(QTreeWidgetItem* parent, const ECU_Item& item, const std::vector<int>& records,
              const Comparison& comparison) {
  const auto reference = [&](int r) { return comparison.referenceByte(r).value_or(0); };
  const auto now = [](int r) { return imageByte(r).value_or(0); };
  const RecordRange range = itemRecords(item);
  if (isFlagByte(item)) {
    for (int bit = 7; bit >= 0; --bit) {
      const int was = reference(records[0]) >> bit & 1, is = now(records[0]) >> bit & 1;
      if (was != is)
        new QTreeWidgetItem(
            parent, {QString("Bit %1").arg(bit), "", "", was ? "on" : "off", is ? "on" : "off"});
    }
  } else if (isSingleValue(item)) {
    uint64_t was = 0, is = 0;
    for (int r = range.first; r < range.first + range.count; ++r) {
      was = was << 8 | static_cast<uint64_t>(reference(r));
      is = is << 8 | static_cast<uint64_t>(now(r));
    }
    new QTreeWidgetItem(parent, {"Value", "", "", shown(item, was, item.Factor != 0, true),
                                 shown(item, is, item.Factor != 0, true)});
  } else {
    for (const int r : records) {
      const int offset = r - range.first;
      new QTreeWidgetItem(
          parent, {QString("Column %1, row %2").arg(offset % item.Cols).arg(offset / item.Cols), "",
                   QString::fromStdString(numberToHex(static_cast<uint64_t>(r))),
                   shown(item, static_cast<uint64_t>(reference(r)), true, false),
                   shown(item, static_cast<uint64_t>(now(r)), true, false)});
    }
  }
}

QVariant recordList(const std::vector<int>& records) {
  QVariantList list;
  for (const int r : records) list << r;
  return list;
}

}  // namespace

ChangesWindow::ChangesWindow(const Comparison& comparison, QWidget* parent)
    : QDialog(parent),
      comparison_(comparison),
      tree_(new QTreeWidget(this)),
      revert_(makeButton("cmdRevert", "Revert to reference", this)),
      revertAll_(makeButton("cmdRevertAll", "Revert all", this)) {
  setObjectName("frmChanges");
  setWindowTitle("Changes");
  setWindowFlag(Qt::Window);
  tree_->setObjectName("tvwChanges");
  tree_->setHeaderLabels({"Item", "Class", "Address", "Reference", "Now"});
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(revert_);
  buttons->addWidget(revertAll_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);
  resize(760, 420);

  connect(revert_, &QPushButton::clicked, this, &ChangesWindow::revertChosen);
  connect(revertAll_, &QPushButton::clicked, this, &ChangesWindow::revertAll);
  connect(tree_, &QTreeWidget::itemSelectionChanged, this,
          [this] { revert_->setEnabled(chosenItem() > 0); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
    while (row->parent() != nullptr) row = row->parent();
    if (const int item = row->data(0, kItemRole).toInt(); item > 0) emit showItem(item);
  });
}

void ChangesWindow::refresh() {
  const Comparison::Report report = comparison_.report();
  const int chosen = chosenItem();
  tree_->clear();
  for (const Comparison::ItemDifference& difference : report.items) {
    const ECU_Item& item = ECU_Items[static_cast<size_t>(difference.item)];
    auto* row = new QTreeWidgetItem(tree_, {QString::fromStdString(item.Name), className(item),
                                            QString::fromStdString(item.Address)});
    row->setData(0, kItemRole, difference.item);
    row->setData(0, kRecordsRole, recordList(difference.records));
    addUnits(row, item, difference.records, comparison_);
    if (difference.item == chosen) tree_->setCurrentItem(row);
  }
  if (!report.outside.empty()) {
    auto* row = new QTreeWidgetItem(tree_, {"Bytes of no item"});
    row->setData(0, kItemRole, 0);
    for (const int r : report.outside) {
      new QTreeWidgetItem(
          row,
          {"", "", QString::fromStdString(numberToHex(static_cast<uint64_t>(r))),
           QString::fromStdString(
               numberToHex(static_cast<uint64_t>(comparison_.referenceByte(r).value_or(0)))),
           QString::fromStdString(numberToHex(static_cast<uint64_t>(imageByte(r).value_or(0))))});
    }
  }
  tree_->expandAll();
  revert_->setEnabled(chosenItem() > 0);
  revertAll_->setEnabled(!report.items.empty() || !report.outside.empty());
}

int ChangesWindow::chosenItem() const {
  QTreeWidgetItem* row = tree_->currentItem();
  while (row != nullptr && row->parent() != nullptr) row = row->parent();
  return row != nullptr ? row->data(0, kItemRole).toInt() : 0;
}

void ChangesWindow::revertChosen() {
  QTreeWidgetItem* row = tree_->currentItem();
  while (row != nullptr && row->parent() != nullptr) row = row->parent();
  if (row == nullptr || chosenItem() <= 0) return;
  std::vector<int> records;
  for (const QVariant& r : row->data(0, kRecordsRole).toList()) records.push_back(r.toInt());
  {
    const ImageAction action("Revert " + ECU_Items[static_cast<size_t>(chosenItem())].Name);
    comparison_.revert(records);
  }
  emit reverted();
}

void ChangesWindow::revertAll() {
  if (!askYesNo(this, "Put every changed byte back as the reference holds it?")) return;
  const Comparison::Report report = comparison_.report();
  {
    const ImageAction action("Revert all");
    for (const Comparison::ItemDifference& difference : report.items)
      comparison_.revert(difference.records);
    comparison_.revert(report.outside);
  }
  emit reverted();
}

}  // namespace trimlet
