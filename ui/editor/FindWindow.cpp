#include "ui/editor/FindWindow.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/document.h"
#include "core/item_search.h"
#include "ui/common/Captions.h"
#include "ui/common/ChangeMark.h"
#include "ui/common/ImageWatch.h"

namespace trimlet {

namespace {

constexpr int kItemRole = Qt::UserRole;

}  // namespace

FindWindow::FindWindow(const Document& document, const ImageWatch& watch, QWidget* parent)
    : QDialog(parent),
      document_(document),
      text_(new QLineEdit(this)),
      found_(new QTreeWidget(this)) {
  setObjectName("frmFind");
  setWindowTitle("Find item");
  setWindowFlag(Qt::Window);
  text_->setObjectName("txtFind");
  text_->setPlaceholderText("Part of a name, or a hexadecimal address");
  text_->setClearButtonEnabled(true);
  text_->installEventFilter(this);
  found_->setObjectName("lstFound");
  found_->setHeaderLabels({"Item", "Class", "Address"});
  found_->setRootIsDecorated(false);
  found_->setUniformRowHeights(true);
  found_->header()->setStretchLastSection(false);
  found_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(found_, 1);
  resize(460, 360);

  connect(text_, &QLineEdit::textChanged, this, &FindWindow::search);
  connect(found_, &QTreeWidget::itemDoubleClicked, this, &FindWindow::showChosen);
  const auto follow = [this] {
    if (isVisible()) search();
  };
  connect(&watch, &ImageWatch::imageChanged, this, follow);
  connect(&watch, &ImageWatch::referenceChanged, this, follow);
}

void FindWindow::start() {
  search();
  show();
  raise();
  activateWindow();
  text_->setFocus();
  text_->selectAll();
}

void FindWindow::search() {
  const int chosen = found_->currentItem() ? found_->currentItem()->data(0, kItemRole).toInt() : 0;
  const std::string text = text_->text().toStdString();
  found_->clear();
  QList<QTreeWidgetItem*> rows;
  for (int i = 1; i <= document_.itemCount(); ++i) {
    const ECU_Item& item = document_.item(i);
    const RecordRange& range = document_.itemRange(i);
    if (!itemMatches(item.Name, range, text)) continue;
    auto* row = new QTreeWidgetItem(QStringList{itemCaption(item.Name), itemClassName(item),
                                                QString::fromStdString(item.Address)});
    row->setData(0, kItemRole, i);
    // The list's own mark, beside the name as in the item lists.
    if (range.problem == RangeProblem::None && document_.reference().differs(range))
      row->setIcon(0, changeMark());
    rows << row;
  }
  found_->addTopLevelItems(rows);
  found_->header()->resizeSections(QHeaderView::ResizeToContents);
  for (QTreeWidgetItem* row : rows)
    if (row->data(0, kItemRole).toInt() == chosen) found_->setCurrentItem(row);
  if (found_->currentItem() == nullptr && !rows.isEmpty()) found_->setCurrentItem(rows.first());
}

void FindWindow::showChosen() {
  const QTreeWidgetItem* row = found_->currentItem();
  if (row == nullptr) return;
  // The window stays above the editor while shown, so it makes way for the item.
  hide();
  emit showItem(row->data(0, kItemRole).toInt());
}

void FindWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    showChosen();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
        key == Qt::Key_PageDown) {
      QCoreApplication::sendEvent(found_, event);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace trimlet
