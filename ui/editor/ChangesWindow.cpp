#include "ui/editor/ChangesWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/conversion.h"
#include "core/document.h"
#include "core/hex.h"
#include "core/image.h"
#include "core/table.h"
#include "core/text.h"
#include "ui/common/Captions.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

QString trimmedCaption(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

QString named(const QString& what, int number, std::string_view caption) {
  const QString text = trimmedCaption(caption);
  return what + " " + QString::number(number) + (text.isEmpty() ? "" : " (" + text + ")");
}

// A bit by its number and its caption from the ECU file, the one the Flags tab shows beside its
// box (the first caption belongs to bit 7): "Bit 3 (Fan)".
QString bitName(const ECU_Item& item, int bit) {
  return named("Bit", bit, characters(item.Yaxis, 5 * static_cast<size_t>(7 - bit), 5));
}

// A cell where its grid shows it, with the captions of its column and row: columns count from 1
// at the left and rows from 1 at the bottom (table row 0). An array names its one dimension.
QString cellName(const ECU_Item& item, int offset) {
  const int c = offset % item.Cols, r = offset / item.Cols;
  QStringList parts;
  if (item.Cols > 1) parts << named("Column", c + 1, columnCaption(item, c));
  if (item.Rows > 1) parts << named(parts.isEmpty() ? "Row" : "row", r + 1, rowCaption(item, r));
  return parts.join(", ");
}

// The reference as the user knows it: the stock image's file name, or the BIN file as opened.
QString referenceName(const Comparison& reference) {
  if (reference.path().empty()) return "the file as it was opened";
  return QFileInfo(QString::fromStdString(reference.path())).fileName();
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
// a whole map changed costs nothing until it is scrolled to; an action updates the groups of the
// items it touched, and nothing else.
class ChangesModel : public QAbstractItemModel {
 public:
  explicit ChangesModel(const Document& document, QObject* parent)
      : QAbstractItemModel(parent), document_(document), comparison_(document.reference()) {}

  // The group of the bytes of no item comes after every item's.
  static constexpr int kOutside = kMaxItems + 1;

  struct Group {
    int key = 0;               // the item's number, or kOutside
    std::vector<int> records;  // the records that differ
    std::vector<int> units;    // a flag byte's changed bits, a value's one row, else the records
  };

  // Every group worked out afresh.
  void reset() {
    beginResetModel();
    inItem_.assign(static_cast<size_t>(document_.fileBytes()), false);
    for (int i = 1; i <= document_.itemCount(); ++i) {
      const RecordRange& range = document_.itemRange(i);
      if (range.problem == RangeProblem::None)
        std::fill_n(inItem_.begin() + range.first, range.count, true);
    }
    groups_.clear();
    const Comparison::Report report = comparison_.report();
    for (const Comparison::ItemDifference& difference : report.items)
      groups_.push_back(makeGroup(difference.item, difference.records));
    if (!report.outside.empty()) groups_.push_back(makeGroup(kOutside, report.outside));
    endResetModel();
  }

  // The groups of the items whose records `change` touched, and of the bytes of no item.
  void update(const ImageChange& change) {
    if (change.kind == ChangeKind::Load) return reset();
    for (int i = 1; i <= document_.itemCount(); ++i) {
      const RecordRange& range = document_.itemRange(i);
      if (range.problem == RangeProblem::None && change.touches(range.first, range.count))
        setGroup(makeGroup(i, comparison_.differences(range)));
    }
    const auto outsideItems = [this](const RecordChange& record) {
      const auto r = static_cast<size_t>(record.index);
      return r < inItem_.size() && !inItem_[r];
    };
    if (std::none_of(change.records.begin(), change.records.end(), outsideItems)) return;
    std::vector<int> outside;
    if (const Group* old = find(kOutside)) outside = old->records;
    for (const RecordChange& record : change.records) {
      if (!outsideItems(record)) continue;
      const auto at = std::lower_bound(outside.begin(), outside.end(), record.index);
      const bool listed = at != outside.end() && *at == record.index;
      if (comparison_.differs(record.index) && !listed) outside.insert(at, record.index);
      if (!comparison_.differs(record.index) && listed) outside.erase(at);
    }
    setGroup(makeGroup(kOutside, std::move(outside)));
  }

  [[nodiscard]] const Group* group(const QModelIndex& index) const {
    if (!index.isValid()) return nullptr;
    if (index.internalId() == 0) return &groups_[static_cast<size_t>(index.row())];
    return find(static_cast<int>(index.internalId()));
  }
  [[nodiscard]] bool empty() const { return groups_.empty(); }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (!hasIndex(row, column, parent)) return {};
    // A row under a group names the group by its key, which stays when other groups come or go.
    return createIndex(row, column, parent.isValid() ? quintptr(group(parent)->key) : 0);
  }
  QModelIndex parent(const QModelIndex& child) const override {
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(position(static_cast<int>(child.internalId())), 0, quintptr{0});
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

  Group makeGroup(int key, std::vector<int> records) const {
    Group group{key, std::move(records), {}};
    if (key == kOutside || group.records.empty()) {
      group.units = group.records;
      return group;
    }
    const ECU_Item& item = document_.item(key);
    if (isFlagByte(item)) {
      const int changed = byteAt(group.records[0]) ^ referenceAt(group.records[0]);
      for (int bit = 7; bit >= 0; --bit)
        if (changed >> bit & 1) group.units.push_back(bit);
    } else {
      group.units = isSingleValue(item) ? std::vector<int>{0} : group.records;
    }
    return group;
  }

  // Where the group of `key` is, or would go.
  int position(int key) const {
    return static_cast<int>(std::lower_bound(groups_.begin(), groups_.end(), key,
                                             [](const Group& g, int k) { return g.key < k; }) -
                            groups_.begin());
  }
  const Group* find(int key) const {
    const auto at = static_cast<size_t>(position(key));
    return at < groups_.size() && groups_[at].key == key ? &groups_[at] : nullptr;
  }

  // Puts a group in, takes it out (no records) or replaces it, telling the views what moved.
  void setGroup(Group group) {
    const int row = position(group.key);
    auto at = groups_.begin() + row;
    const bool present = at != groups_.end() && at->key == group.key;
    if (!present) {
      if (group.records.empty()) return;
      beginInsertRows({}, row, row);
      groups_.insert(at, std::move(group));
      endInsertRows();
      return;
    }
    if (group.records.empty()) {
      beginRemoveRows({}, row, row);
      groups_.erase(at);
      endRemoveRows();
      return;
    }
    const QModelIndex parent = index(row, 0, {});
    if (at->units.size() != group.units.size()) {
      beginRemoveRows(parent, 0, static_cast<int>(at->units.size()) - 1);
      at->units.clear();
      endRemoveRows();
      beginInsertRows(parent, 0, static_cast<int>(group.units.size()) - 1);
      *at = std::move(group);
      endInsertRows();
    } else {
      *at = std::move(group);
      emit dataChanged(index(0, 0, parent),
                       index(static_cast<int>(at->units.size()) - 1, 4, parent));
    }
    emit dataChanged(parent, index(row, 4, {}));
  }

  QString groupText(const Group& g, int column) const {
    if (g.key == kOutside) return column == 0 ? "Bytes of no item" : "";
    const ECU_Item& item = document_.item(g.key);
    if (column == 0) return QString::fromStdString(item.Name);
    if (column == 1) return itemClassName(item);
    return column == 2 ? QString::fromStdString(item.Address) : "";
  }

  QString unitText(const Group& g, int unit, int column) const {
    if (g.key == kOutside) {
      const int texts[] = {0, 0, unit, referenceAt(unit), byteAt(unit)};
      return column >= 2 ? hexText(texts[column]) : "";
    }
    const ECU_Item& item = document_.item(g.key);
    if (isFlagByte(item)) {
      const bool was = referenceAt(g.records[0]) >> unit & 1, is = byteAt(g.records[0]) >> unit & 1;
      const QString texts[] = {bitName(item, unit), "", "", was ? "on" : "off", is ? "on" : "off"};
      return texts[column];
    }
    const RecordRange& items = document_.itemRange(g.key);
    if (isSingleValue(item)) {
      if (column < 3) return column == 0 ? "Value" : "";
      uint64_t value = 0;
      for (int r = items.first; r < items.first + items.count; ++r)
        value = value << 8 | static_cast<uint64_t>(column == 3 ? referenceAt(r) : byteAt(r));
      return shown(item, value, item.Factor != 0, true);
    }
    const int offset = unit - items.first;
    switch (column) {
      case 0:
        return cellName(item, offset);
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

  const Document& document_;
  const Comparison& comparison_;
  std::vector<Group> groups_;  // by key
  std::vector<bool> inItem_;   // which bytes of the file belong to some item
};

ChangesWindow::ChangesWindow(const Document& document, const ImageWatch& watch, QWidget* parent)
    : QDialog(parent),
      document_(document),
      model_(new ChangesModel(document, this)),
      reference_(makeLabel("lblReference", QString(), this)),
      empty_(makeLabel("lblNoChanges", "No differences from the reference.", this)),
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
  // Fitted to the rows in sight when the list is filled, not on every change of thousands.
  tree_->header()->setResizeContentsPrecision(0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(revert_);
  buttons->addWidget(revertAll_);
  buttons->addStretch();
  QPushButton* exportChanges = makeButton("cmdExportChanges", "Export changes…", this);
  buttons->addWidget(exportChanges);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(reference_);
  layout->addWidget(empty_, 1, Qt::AlignCenter);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);
  resize(760, 420);

  connect(revert_, &QPushButton::clicked, this, &ChangesWindow::revertChosen);
  connect(revertAll_, &QPushButton::clicked, this, &ChangesWindow::revertAll);
  connect(exportChanges, &QPushButton::clicked, this, &ChangesWindow::exportChanges);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { revert_->setEnabled(chosenItem() > 0); });
  connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    const int item = model_->group(index)->key;
    if (item == ChangesModel::kOutside) return;
    // The window stays above the editor while shown, so it steps aside for the item; Ctrl+D
    // brings it back as it was.
    hide();
    emit showItem(item);
  });
  // Hidden, the window is stale: it is filled afresh when it is shown again.
  connect(&watch, &ImageWatch::imageChanged, this, [this](const ImageChange& change) {
    if (!isVisible()) return;
    model_->update(change);
    showState();
  });
  connect(&watch, &ImageWatch::referenceChanged, this, [this] {
    if (isVisible()) refresh();
  });
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex& parent, int first) {
            if (!parent.isValid()) openWithinBudget(model_->index(first, 0, {}));
          });
}

void ChangesWindow::refresh() {
  const int chosen = chosenItem();
  model_->reset();
  for (int row = 0; row < model_->rowCount({}); ++row) {
    const QModelIndex index = model_->index(row, 0, {});
    openWithinBudget(index);
    if (chosen > 0 && model_->group(index)->key == chosen) tree_->setCurrentIndex(index);
  }
  tree_->header()->resizeSections(QHeaderView::ResizeToContents);
  reference_->setText("Compared with " + referenceName(document_.reference()));
  reference_->setToolTip(QString::fromStdString(document_.reference().path()));
  showState();
}

void ChangesWindow::openWithinBudget(const QModelIndex& group) {
  // A tree lays out every row it shows open again whenever rows come or go, so a change would
  // cost as much as the whole list; groups open only while the rows shown stay few.
  constexpr int kOpenRows = 2000;
  int open = model_->rowCount(group);
  for (int row = 0; row < model_->rowCount({}) && open <= kOpenRows; ++row) {
    const QModelIndex other = model_->index(row, 0, {});
    if (tree_->isExpanded(other)) open += model_->rowCount(other);
  }
  if (open <= kOpenRows) tree_->expand(group);
}

void ChangesWindow::showState() {
  revert_->setEnabled(chosenItem() > 0);
  revertAll_->setEnabled(!model_->empty());
  tree_->setVisible(!model_->empty());
  empty_->setVisible(model_->empty());
}

int ChangesWindow::chosenItem() const {
  const ChangesModel::Group* group = model_->group(tree_->currentIndex());
  return group != nullptr && group->key != ChangesModel::kOutside ? group->key : 0;
}

void ChangesWindow::revertChosen() {
  const int item = chosenItem();
  if (item <= 0) return;
  const std::vector<int> records = model_->group(tree_->currentIndex())->records;
  {
    const ImageAction action("Revert " + document_.item(item).Name);
    document_.reference().revert(records);
  }
  emit reverted();
}

void ChangesWindow::revertAll() {
  const Comparison::Report report = document_.reference().report();
  QStringList what;
  if (!report.items.empty())
    what << QString::fromStdString(counted(static_cast<int64_t>(report.items.size()), "item"));
  if (!report.outside.empty())
    what << QString::fromStdString(counted(static_cast<int64_t>(report.outside.size()), "byte")) +
                " of no item";
  if (what.isEmpty()) return;
  if (!askYesNo(this, "Revert " + what.join(" and ") + " to " +
                          referenceName(document_.reference()) +
                          "? It is one step: Ctrl+Z undoes it."))
    return;
  {
    const ImageAction action("Revert all");
    for (const Comparison::ItemDifference& difference : report.items)
      document_.reference().revert(difference.records);
    document_.reference().revert(report.outside);
  }
  emit reverted();
}

}  // namespace trimlet
