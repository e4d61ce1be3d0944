#include "ui/editor/tables/TableGrid.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ui/common/ChangeMark.h"
#include "ui/editor/tables/CellEditor.h"

namespace trimlet {

namespace {

// Paints a cell plainly: its heat colour or the selection colour, then its text centred. The
// selection shows only while the grid's highlighting is on. Far cheaper than the style's
// item painting, which matters when every key press repaints the grid.
class CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(TableGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = grid_->highlight() && (option.state & QStyle::State_Selected);
    const QVariant background = index.data(Qt::BackgroundRole);
    if (selected) {
      painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
    } else if (background.isValid()) {
      painter->fillRect(option.rect, background.value<QBrush>());
    }
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(selected               ? option.palette.color(QPalette::HighlightedText)
                    : foreground.isValid() ? foreground.value<QBrush>().color()
                                           : option.palette.color(QPalette::Text));
    painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    if (index.data(TableModel::ChangedRole).toBool())
      paintChangeMark(*painter, option.rect, option.palette.color(QPalette::WindowText));
    if (option.state & QStyle::State_HasFocus) {
      painter->setPen(QPen(option.palette.color(QPalette::WindowText), 1, Qt::DotLine));
      painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    }
  }

 private:
  TableGrid* grid_;
};

}  // namespace

TableGrid::TableGrid(QWidget* parent)
    : QTableView(parent), model_(new TableModel(this)), editor_(new CellEditor(viewport())) {
  setModel(model_);
  setItemDelegate(new CellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setCornerButtonEnabled(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  // As large as its cells and no larger, so a short table does not sit in a field of white.
  setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);

  // Fixed section sizes: a 500 by 500 map must not measure every cell.
  const QFontMetrics metrics = fontMetrics();
  horizontalHeader()->setDefaultSectionSize(metrics.horizontalAdvance("000.00") + 10);
  horizontalHeader()->setMinimumSectionSize(metrics.horizontalAdvance("000") + 8);
  verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
  verticalHeader()->setMinimumSectionSize(metrics.height() + 2);
  verticalHeader()->setMinimumWidth(metrics.horizontalAdvance("00000") + 12);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  setFrame(2, 2);
}

void TableGrid::setFrame(int rows, int cols, const QStringList& rowCaptions,
                         const QStringList& colCaptions) {
  if (editor_->isOpen()) closeEditor();  // its cell is gone with the table
  model_->setShape(std::max(rows - 1, 0), std::max(cols - 1, 0), rowCaptions, colCaptions);
}

int TableGrid::rows() const { return model_->rowCount() + 1; }
int TableGrid::cols() const { return model_->columnCount() + 1; }

void TableGrid::fill(const TableModel::CellTexts& texts, const TableModel::Source& source) {
  model_->fill(texts, source);
}

QString TableGrid::text(int row, int col) const {
  if (row == 0 && col == 0) return {};
  if (row == 0) return model_->headerData(col - 1, Qt::Horizontal, Qt::DisplayRole).toString();
  if (col == 0) return model_->headerData(row - 1, Qt::Vertical, Qt::DisplayRole).toString();
  return model_->cellText(row - 1, col - 1);
}

bool TableGrid::inSelection(int row, int col) const {
  return selectionModel()->isSelected(model_->index(row - 1, col - 1));
}

std::vector<CellBlock> TableGrid::selectedCells() const {
  const int lastRow = model_->rowCount() - 1;
  std::vector<CellBlock> blocks;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    blocks.push_back(
        {range.left(), range.right(), lastRow - range.bottom(), lastRow - range.top()});
  return blocks;
}

void TableGrid::setHighlight(bool on) {
  highlight_ = on;
  // The headers would otherwise still mark the selected rows and columns.
  horizontalHeader()->setHighlightSections(on);
  verticalHeader()->setHighlightSections(on);
  viewport()->update();
}

// Every key goes to the grid first, shortcuts included: a key pressed in the grid always has
// its own effect on the table, and a shortcut of the grid's actions adds its action to that.
bool TableGrid::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  return QTableView::event(event);
}

bool TableGrid::openEditor(const QString& text, bool select) {
  const QModelIndex cell = currentIndex();
  if (!cell.isValid()) return false;
  editing_ = cell;
  scrollTo(cell);
  editor_->open(visualRect(cell), text, select);
  return true;
}

std::optional<CellBlock> TableGrid::editorCell() const {
  if (!editing_.isValid()) return std::nullopt;
  const int r = model_->rowCount() - 1 - editing_.row();
  return CellBlock{editing_.column(), editing_.column(), r, r};
}

void TableGrid::closeEditor() {
  // Back to the grid, unless the user gave the focus to another control: then the grid has
  // lost it, and its selection no longer shows.
  if (editor_->hasFocus()) {
    setFocus(Qt::OtherFocusReason);
  } else if (!hasFocus()) {
    emit lostFocus();
  }
  editor_->close();
}

void TableGrid::moveFromEditor(int rows, int cols) {
  if (!editing_.isValid()) return;
  const QModelIndex next =
      model_->index(std::min(editing_.row() + rows, model_->rowCount() - 1),
                    std::min(editing_.column() + cols, model_->columnCount() - 1));
  selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
}

// The keys that start typing into a cell, after their own effect on the table: the main
// keyboard's digits and point, F2 and Enter; "-", "+" and the keypad keep to their steps.
void TableGrid::keyPressEvent(QKeyEvent* event) {
  emit keyDown(event->key(), event->modifiers());
  const QKeySequence pressed(event->keyCombination());
  for (QAction* action : actions()) {
    if (action->isEnabled() && action->shortcuts().contains(pressed)) {
      action->trigger();
      return;
    }
  }
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const bool plain = !(
      modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier));
  const QString text = event->text();
  if (plain && text.size() == 1 && (text[0].isDigit() || text[0] == '.') &&
      text[0].unicode() < 128) {
    emit editRequested(text);
    return;
  }
  if (plain && !(modifiers & Qt::ShiftModifier) &&
      (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return)) {
    emit editRequested({});
    return;
  }
  QTableView::keyPressEvent(event);
}

void TableGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    emit editRequested({});
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void TableGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (editor_->isOpen() && editing_.isValid()) editor_->place(visualRect(editing_));
}

void TableGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  emit gotFocus();
}

void TableGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  // The box typed into is part of the grid: the block Ctrl+Enter fills stays in sight.
  if (QApplication::focusWidget() != editor_) emit lostFocus();
}

void TableGrid::keyboardSearch(const QString& /*search*/) {}

}  // namespace trimlet
