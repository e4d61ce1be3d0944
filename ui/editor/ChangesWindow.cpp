#include "ui/editor/ChangesWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/compare.h"
#include "core/conversion.h"
#include "core/hex.h"
#include "core/image.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

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

QString hexText(int number) {
  return QString::fromStdString(numberToHex(static_cast<uint64_t>(number)));
}

}  // namespace

// The report as a tree: a row per differing item (and one for the bytes of no item), under it a
// row per changed bit, value, cell or byte. Rows are worked out when the view asks for them, so
// a whole map changed costs nothing until it is scrolled to.
class ChangesModel : public QAbstractItemModel {
 public:
  explicit ChangesModel(const Comparison& comparison, QObject* parent)
      : QAbstractItemModel(parent), comparison_(comparison) {}

  struct Group {
    int item = 0;              // 0: the bytes of no item
    std::vector<int> records;  // the records that differ
    std::vector<int> units;    // a flag byte's changed bits, a value's one row, else the records
    RecordRange range;         // the item's records, resolved once
  };

  void reset(const Comparison::Report& report) {
    beginResetModel();
    groups_.clear();
    for (const Comparison::ItemDifference& difference : report.items) {
      const ECU_Item& item = ECU_Items[static_cast<size_t>(difference.item)];
      Group group{difference.item, difference.records, {}, itemRecords(item)};
      if (isFlagByte(item)) {
        const int changed = byteAt(difference.records[0]) ^ referenceAt(difference.records[0]);
        for (int bit = 7; bit >= 0; --bit)
          if (changed >> bit & 1) group.units.push_back(bit);
      } else {
        group.units = isSingleValue(item) ? std::vector<int>{0} : difference.records;
      }
      groups_.push_back(std::move(group));
    }
    if (!report.outside.empty()) groups_.push_back({0, report.outside, report.outside, {}});
    endResetModel();
  }

  [[nodiscard]] const Group* group(const QModelIndex& index) const {
    if (!index.isValid()) return nullptr;
    const size_t at = index.internalId() == 0 ? static_cast<size_t>(index.row())
                                              : static_cast<size_t>(index.internalId() - 1);
    return &groups_[at];
  }
  [[nodiscard]] bool empty() const { return groups_.empty(); }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (!hasIndex(row, column, parent)) return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : 0);
  }
  QModelIndex parent(const QModelIndex& child) const override {
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
  }
  int rowCount(const QModelIndex& parent) const override {
    if (!parent.isValid()) return static_cast<int>(groups_.size());
    return parent.internalId() == 0 ? static_cast<int>(group(parent)->units.size()) : 0;
  }
  int columnCount(const QModelIndex&) const override { return 5; }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char* const kTitles[] = {"Item", "Class", "Address", "Reference", "Now"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return kTitles[section];
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const Group& g = *group(index);
    if (index.internalId() == 0) return groupText(g, index.column());
    return unitText(g, g.units[static_cast<size_t>(index.row())], index.column());
  }

 private:
  int byteAt(int r) const { return imageByte(r).value_or(0); }
  int referenceAt(int r) const { return comparison_.referenceByte(r).value_or(0); }

  static QString groupText(const Group& g, int column) {
    if (g.item == 0) return column == 0 ? "Bytes of no item" : "";
    const ECU_Item& item = ECU_Items[static_cast<size_t>(g.item)];
    if (column == 0) return QString::fromStdString(item.Name);
    if (column == 1) return className(item);
    return column == 2 ? QString::fromStdString(item.Address) : "";
  }

  QString unitText(const Group& g, int unit, int column) const {
    if (g.item == 0) {
      const int texts[] = {0, 0, unit, referenceAt(unit), byteAt(unit)};
      return column >= 2 ? hexText(texts[column]) : "";
    }
    const ECU_Item& item = ECU_Items[static_cast<size_t>(g.item)];
    if (isFlagByte(item)) {
      const bool was = referenceAt(g.records[0]) >> unit & 1, is = byteAt(g.records[0]) >> unit & 1;
      const QString texts[] = {QString("Bit %1").arg(unit), "", "", was ? "on" : "off",
                               is ? "on" : "off"};
      return texts[column];
    }
    if (isSingleValue(item)) {
      if (column < 3) return column == 0 ? "Value" : "";
      uint64_t value = 0;
      for (int r = g.range.first; r < g.range.first + g.range.count; ++r)
        value = value << 8 | static_cast<uint64_t>(column == 3 ? referenceAt(r) : byteAt(r));
      return shown(item, value, item.Factor != 0, true);
    }
    const int offset = unit - g.range.first;
    switch (column) {
      case 0:
        return QString("Column %1, row %2").arg(offset % item.Cols).arg(offset / item.Cols);
      case 2:
        return hexText(unit);
      case 3:
        return shown(item, static_cast<uint64_t>(referenceAt(unit)), true, false);
      case 4:
        return shown(item, static_cast<uint64_t>(byteAt(unit)), true, false);
      default:
        return "";
    }
  }

  const Comparison& comparison_;
  std::vector<Group> groups_;
};

ChangesWindow::ChangesWindow(const Comparison& comparison, QWidget* parent)
    : QDialog(parent),
      comparison_(comparison),
      model_(new ChangesModel(comparison, this)),
      tree_(new QTreeView(this)),
      revert_(makeButton("cmdRevert", "Revert to reference", this)),
      revertAll_(makeButton("cmdRevertAll", "Revert all", this)) {
  setObjectName("frmChanges");
  setWindowTitle("Changes");
  setWindowFlag(Qt::Window);
  tree_->setObjectName("tvwChanges");
  tree_->setModel(model_);
  tree_->setUniformRowHeights(true);  // a whole map changed is thousands of rows
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->header()->setResizeContentsPrecision(0);  // the rows in sight, not thousands
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
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { revert_->setEnabled(chosenItem() > 0); });
  connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    if (const int item = model_->group(index)->item; item > 0) emit showItem(item);
  });
}

void ChangesWindow::refresh() {
  const int chosen = chosenItem();
  model_->reset(comparison_.report());
  // Each group opened by itself: expandAll would also look for children under every row.
  for (int row = 0; row < model_->rowCount({}); ++row) {
    const QModelIndex index = model_->index(row, 0, {});
    tree_->expand(index);
    if (chosen > 0 && model_->group(index)->item == chosen) tree_->setCurrentIndex(index);
  }
  revert_->setEnabled(chosenItem() > 0);
  revertAll_->setEnabled(!model_->empty());
}

int ChangesWindow::chosenItem() const {
  const ChangesModel::Group* group = model_->group(tree_->currentIndex());
  return group != nullptr ? group->item : 0;
}

void ChangesWindow::revertChosen() {
  const ChangesModel::Group* group = model_->group(tree_->currentIndex());
  if (group == nullptr || group->item <= 0) return;
  const std::vector<int> records = group->records;
  {
    const ImageAction action("Revert " + ECU_Items[static_cast<size_t>(group->item)].Name);
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
