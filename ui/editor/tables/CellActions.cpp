#include "ui/editor/tables/CellActions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <utility>

#include "core/document.h"
#include "core/image.h"
#include "core/text.h"
#include "ui/common/Messages.h"
#include "ui/editor/tables/CellEditor.h"
#include "ui/editor/tables/GraphWindow.h"
#include "ui/editor/tables/SetCellsDialog.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/graph/WireFrame.h"

namespace trimlet {

namespace {

// What a set, add or scale did, with the number as the user wrote it: "Set to 20 on 6 cells of
// Fuel", "+2.5 on ...", "Scale 110% on ...".
std::string describeArithmetic(Arithmetic operation, std::string_view number, int cells,
                               const std::string& name) {
  const std::string written(characters(trim(number), 0, 40));
  const std::string on = " on " + cellsOf(cells, name);
  if (operation == Arithmetic::Set) return "Set to " + written + on;
  if (operation == Arithmetic::Scale) return "Scale " + written + "%" + on;
  return (written.rfind('-', 0) == 0 ? "" : "+") + written + on;
}

QString noTable(bool map) {
  return QString("There is no %1 on show to work on.").arg(map ? "map" : "array");
}

}  // namespace

std::string cellsOf(int cells, const std::string& name) {
  return counted(cells, "cell") + " of " + name;
}

CellActions::CellActions(QWidget* panel, TableGrid* grid, WireFrame& values,
                         const TableFields& fields, std::function<Shown()> shown,
                         std::function<void()> edited)
    : QObject(panel),
      panel_(panel),
      grid_(grid),
      values_(values),
      fields_(fields),
      shown_(std::move(shown)),
      edited_(std::move(edited)) {
  buildActions();
  connect(grid_, &TableGrid::editRequested, this, &CellActions::startTyping);
  connect(grid_->editor(), &CellEditor::ended, this, &CellActions::endTyping);
  connect(grid_->editor(), &QLineEdit::textChanged, this, [this](const QString& text) {
    grid_->editor()->setPreview(
        QString::fromStdString(typedCell(text.toStdString(), units()).preview));
  });
}

void CellActions::buildActions() {
  const auto add = [this](QWidget* holder, const char* name, const QString& text,
                          const std::function<void()>& run) {
    auto* action = new QAction(text, grid_);
    action->setObjectName(name);
    // Only while the grid has the focus: elsewhere a text box keeps its own Ctrl+C and Ctrl+V.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, run);
    holder->addAction(action);
    return action;
  };
  const auto separator = [this] {
    auto* line = new QAction(grid_);
    line->setSeparator(true);
    grid_->addAction(line);
  };
  add(grid_, "actCopy", "Copy", [this] { copySelection(false); })->setShortcuts(QKeySequence::Copy);
  add(grid_, "actCopyWithAxes", "Copy with axes", [this] { copySelection(true); });
  add(grid_, "actPaste", "Paste", [this] { pasteClipboard(); })->setShortcuts(QKeySequence::Paste);
  separator();
  add(grid_, "actSetCells", "Set, add or scale…", [this] { setAddScale(); });
  auto* directions = new QMenu(grid_);
  add(directions, "actAlongRows", "Along each row",
      [this] { interpolateSelection(Direction::AlongRows); });
  add(directions, "actAlongColumns", "Along each column",
      [this] { interpolateSelection(Direction::AlongColumns); });
  add(directions, "actFromCorners", "From the four corners",
      [this] { interpolateSelection(Direction::Both); });
  auto* interpolation = new QAction("Interpolate", grid_);
  interpolation->setObjectName("actInterpolate");
  interpolation->setMenu(directions);
  grid_->addAction(interpolation);
  add(grid_, "actSmooth", "Smooth", [this] { smoothSelection(); });
  add(grid_, "actGraph", "Graph…", [this] { graphSelection(); });
  separator();
  grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

std::optional<CellBlock> CellActions::selectedBlock() const {
  const Shown shown = shown_();
  const TablePlace& table = shown.place;
  const std::vector<CellBlock> blocks = grid_->selectedCells();
  // The grid may still show the cells of a table chosen before, or of none.
  if (shown.item == nullptr || blocks.size() != 1) return std::nullopt;
  const CellBlock& block = blocks.front();
  if (block.firstCol < 0 || block.firstRow < 0 || block.lastCol >= table.cols ||
      block.lastRow >= table.rows)
    return std::nullopt;
  return block;
}

std::optional<CellBlock> CellActions::selection() {
  std::optional<CellBlock> block = selectedBlock();
  const Shown shown = shown_();
  if (!block)
    showMessage(panel_, shown.item == nullptr || shown.place.cols == 0
                            ? noTable(shown.map)
                            : QString("Select the cells to work on first."));
  return block;
}

CellUnits CellActions::units() const {
  const ECU_Item* item = shown_().item;
  return CellUnits::of(item ? *item : fields_.document.item(0), fields_.Raw);
}

bool CellActions::unitsConvert() {
  const std::string problem = units().problem();
  if (!problem.empty())
    showMessage(panel_,
                QString::fromStdString("The calculated values of " + shown_().item->Name +
                                       " cannot be turned back into raw values: " + problem +
                                       ". Show raw values to work in raw numbers."));
  return problem.empty();
}

void CellActions::editCells(const CellBlock& block, const std::string& what,
                            const std::function<Clamped()>& edit) {
  const TablePlace table = shown_().place;
  const CellUnits in = units();
  Clamped clamped;
  {
    const ImageAction action(what);
    values_.read(table);  // the bytes as they are, whatever changed them last
    clamped = edit();
    writeTable(table, values_.values(), block);
  }
  edited_();
  if (const std::string report = clamped.report(in); !report.empty())
    showMessage(panel_, QString::fromStdString(what + ".\n" + report));
}

void CellActions::startTyping(const QString& first) {
  const Shown shown = shown_();
  const QModelIndex cell = grid_->currentIndex();
  // Only over the cells of the table on show: the grid may still show those of one chosen before.
  if (shown.item == nullptr || !cell.isValid() || cell.row() >= shown.place.rows ||
      cell.column() >= shown.place.cols || !unitsConvert())
    return;
  grid_->openEditor(first.isEmpty() ? grid_->text(cell.row() + 1, cell.column() + 1) : first,
                    first.isEmpty());
}

void CellActions::endTyping(CellEditor::End how) {
  CellEditor* editor = grid_->editor();
  const std::optional<CellBlock> cell = grid_->editorCell();
  const std::string text = editor->text().toStdString();
  const Shown shown = shown_();
  const TypedCell typed = typedCell(text, units());
  grid_->closeEditor();
  if (how == CellEditor::End::Cancel || !cell || shown.item == nullptr) return;
  if (!typed.problem.empty()) {
    // Leaving the box for another control drops what is no number; a key asks again.
    if (how == CellEditor::End::Here) return;
    showMessage(panel_, QString::fromStdString(typed.problem));
    grid_->openEditor(QString::fromStdString(text), false);
    return;
  }
  const std::optional<CellBlock> selected = selectedBlock();
  const CellBlock block = how == CellEditor::End::Fill && selected ? *selected : *cell;
  const CellUnits in = units();
  editCells(block, describeArithmetic(Arithmetic::Set, text, block.cells(), shown.item->Name),
            [&] { return arithmetic(values_.values(), block, in, Arithmetic::Set, typed.number); });
  if (how == CellEditor::End::Down) grid_->moveFromEditor(1, 0);
  if (how == CellEditor::End::Right) grid_->moveFromEditor(0, 1);
}

void CellActions::copySelection(bool withAxes) {
  const std::optional<CellBlock> block = selection();
  if (!block) return;
  const Shown shown = shown_();
  values_.read(shown.place);
  QGuiApplication::clipboard()->setText(QString::fromStdString(
      copyCells(values_.values(), *block, units(), withAxes ? shown.item : nullptr)));
}

void CellActions::pasteClipboard() {
  const std::optional<CellBlock> block = selection();
  if (!block || !unitsConvert()) return;
  const Shown shown = shown_();
  const PastedCells cells =
      parseCells(QGuiApplication::clipboard()->text().toStdString(),
                 shown.place.cols - block->firstCol, block->lastRow + 1, shown.item);
  if (!cells.problem.empty()) {
    showMessage(panel_, QString::fromStdString(cells.problem + "\nNothing was pasted."));
    return;
  }
  const CellBlock target = cells.target(*block);
  const CellUnits in = units();
  editCells(target, "Paste of " + counted(target.cells(), "cell") + " into " + shown.item->Name,
            [&] { return pasteCells(values_.values(), target, cells, in); });
}

void CellActions::setAddScale() {
  const std::optional<CellBlock> block = selection();
  if (!block || !unitsConvert()) return;
  const CellUnits in = units();
  const Shown shown = shown_();
  values_.read(shown.place);  // what the count of changes is made on
  SetCellsDialog dialog(
      in.raw ? QString("The number is in raw values (0 to 255).")
             : "The number is in calculated values of " + QString::fromStdString(shown.item->Name) +
                   ".",
      QString::fromStdString(cellsOf(block->cells(), shown.item->Name)),
      [&](Arithmetic operation, double number) {
        return cellsChanged(values_.values(), *block, in, operation, number);
      },
      panel_);
  if (dialog.exec() != QDialog::Accepted) return;
  editCells(
      *block,
      describeArithmetic(dialog.operation(), dialog.text(), block->cells(), shown_().item->Name),
      [&] {
        return arithmetic(values_.values(), *block, in, dialog.operation(), dialog.number());
      });
}

void CellActions::interpolateSelection(Direction direction) {
  const std::optional<CellBlock> block = selection();
  if (!block) return;
  const char* how = direction == Direction::AlongRows      ? "Interpolate along rows on "
                    : direction == Direction::AlongColumns ? "Interpolate along columns on "
                                                           : "Interpolate from the corners on ";
  editCells(*block, how + cellsOf(block->cells(), shown_().item->Name), [&] {
    interpolate(values_.values(), *block, direction);
    return Clamped{};
  });
}

void CellActions::smoothSelection() {
  const std::optional<CellBlock> block = selection();
  if (!block) return;
  editCells(*block, "Smooth " + cellsOf(block->cells(), shown_().item->Name), [&] {
    smooth(values_.values(), *block);
    return Clamped{};
  });
}

void CellActions::graphSelection() {
  const Shown shown = shown_();
  if (shown.item == nullptr || shown.place.cols == 0) {
    showMessage(panel_, noTable(shown.map));
    return;
  }
  const TablePlace& table = shown.place;
  // An array is drawn whole; a map by the rows or columns the selection covers.
  const std::optional<CellBlock> block = selectedBlock();
  const CellBlock lines =
      shown.map && block ? *block : CellBlock{0, table.cols - 1, 0, table.rows - 1};
  if (graph_ == nullptr)
    graph_ = new GraphWindow(fields_.document.reference(), fields_.watch, panel_);
  graph_->plot(*shown.item, table, graphLines(lines), units());
  graph_->show();
  graph_->raise();
}

}  // namespace trimlet
