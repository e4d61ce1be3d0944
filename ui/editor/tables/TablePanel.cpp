#include "ui/editor/tables/TablePanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "core/conversion.h"
#include "core/document.h"
#include "core/image.h"
#include "core/text.h"
#include "ui/common/Canvas.h"
#include "ui/common/Captions.h"
#include "ui/common/DropDown.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/SpinControl.h"
#include "ui/common/ViewFollower.h"
#include "ui/common/Widgets.h"
#include "ui/editor/tables/CellActions.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/graph/Projection.h"

namespace trimlet {

namespace {

constexpr char kShowCalculated[] = "Show in Calculated Values";
constexpr char kShowRaw[] = "Show Raw Values";
constexpr char kRawValues[] = "Raw Values";

// +1 for the main keyboard's "=" / "+" key, -1 for its "-" key, 0 for every other key
// (the numeric keypad's plus and minus included).
int keyStep(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) return 0;
  if (key == Qt::Key_Equal || key == Qt::Key_Plus) return 1;
  if (key == Qt::Key_Minus || key == Qt::Key_Underscore) return -1;
  return 0;
}

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a key press did, for the user's list of actions: "+1 on 6 cells of Fuel".
std::string describeStep(int step, int cells, const std::string& name) {
  if (step == 0) return "Key on " + name;
  return (step > 0 ? "+1 on " : "-1 on ") + cellsOf(cells, name);
}

QLineEdit* makeDisplayBox(const QString& name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::ClickFocus);
  box->setMaximumWidth(box->fontMetrics().horizontalAdvance("00000000") + 16);
  return box;
}

}  // namespace

TablePanel::TablePanel(TableKind kind, const TableFields& fields, QWidget* parent)
    : QWidget(parent), kind_(kind), fields_(fields) {
  const QString line = isMap() ? "Map" : "Line";
  cmbDim = new DropDown(this);
  cmbDim->setObjectName(isMap() ? "cmb2Dim" : "cmb1Dim");
  grd = new TableGrid(this);
  grd->setObjectName(isMap() ? "grdMap" : "grdLine");
  lblXlabel = makeLabel("lbl" + line + "_Xlabel", "X Label", this);
  lblYlabel = makeLabel("lbl" + line + "_Ylabel", "Y Label", this);
  lblZlabel = makeLabel("lbl" + line + "_Zlabel", "Z Label", this);
  cmdShowIn = makeButton(isMap() ? "cmdShowIn_2" : "cmdShowIn_1", kShowCalculated, this);
  const char* instructions[3] = {"Highlight values to change", "+ or = to increase",
                                 "- to decrease"};
  for (size_t i = 0; i < lblInstructions.size(); ++i)
    lblInstructions[i] = makeLabel(QString("lblInstructions(%1)").arg(i), instructions[i], this);
  lblNote = makeLabel("lblNote", QString(), this);
  lblNote->setWordWrap(true);
  lblNote->setStyleSheet("color: #a02020;");
  lblNote->hide();

  if (isMap()) {
    buildMaps();
  } else {
    buildArrays();
  }
  follower_ = new ViewFollower(
      this, fields_.watch,
      [this](const ImageChange& change) {
        const TablePlace table = place();
        return item_ != nullptr && change.touches(table.first, table.cols * table.rows);
      },
      [this] { refresh(); });
  cells_ = new CellActions(
      this, grd, data_, fields_,
      [this] {
        return CellActions::Shown{item_, place(), isMap()};
      },
      [this] { afterEdit(); });
  connectHandlers();
}

void TablePanel::buildArrays() {
  auto* top = new QHBoxLayout;
  top->addWidget(cmbDim);
  top->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(lblNote);
  layout->addWidget(buildTable(), 1);
  layout->addLayout(buildFooter());
}

void TablePanel::buildMaps() {
  txtStart3D = makeDisplayBox("txtStart3D", this);
  txtRow3D = makeDisplayBox("txtRow3D", this);
  txtCol3D = makeDisplayBox("txtCol3D", this);
  auto* top = new QHBoxLayout;
  top->addWidget(cmbDim);
  top->addSpacing(16);
  const std::pair<const char*, QLineEdit*> boxes[3] = {
      {"Start:", txtStart3D}, {"Rows:", txtRow3D}, {"Columns:", txtCol3D}};
  for (const auto& [caption, box] : boxes) {
    QLabel* label = makeLabel("lbl" + box->objectName().mid(3), caption, this);
    label->setBuddy(box);
    top->addWidget(label);
    top->addWidget(box);
  }
  top->addStretch();

  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setChildrenCollapsible(false);
  split->addWidget(buildTable());
  split->addWidget(buildPicture());
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  split->setSizes({600, 400});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(lblNote);
  layout->addWidget(split, 1);
  layout->addLayout(buildFooter());
  resetView();
}

QWidget* TablePanel::buildTable() {
  auto* box = new QWidget(this);
  QFont title = lblZlabel->font();
  title.setBold(true);
  lblZlabel->setFont(title);
  lblZlabel->setAlignment(Qt::AlignCenter);
  lblXlabel->setAlignment(Qt::AlignCenter);
  lblYlabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblYlabel->setWordWrap(true);
  lblYlabel->setMaximumWidth(lblYlabel->fontMetrics().horizontalAdvance("Temperature") + 8);
  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lblZlabel, 0, 1);
  layout->addWidget(lblYlabel, 1, 0);
  layout->addWidget(grd, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(lblXlabel, 2, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(3, 1);
  return box;
}

QWidget* TablePanel::buildPicture() {
  auto* box = new QWidget(this);
  picMap = new Canvas(box);
  picMap->setObjectName("picMap");
  picMap->setMinimumSize(200, 180);
  scrRotAngle = makeSpin("scrRotAngle", Qt::Horizontal, box, false);
  scrPanHor = makeSpin("scrPanHor", Qt::Horizontal, box, false);
  scrPanVer = makeSpin("scrPanVer", Qt::Vertical, box, false);
  scrZoom = makeSpin("scrZoom", Qt::Vertical, box, false);
  QLabel* lblRotate = makeLabel("lblRotate", "Rotate", box);
  QLabel* lblZoom = makeLabel("lblZoom", "Zoom", box);
  lblZoom->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);

  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lblZoom, 0, 0);
  layout->addWidget(scrZoom, 1, 0, Qt::AlignHCenter);
  layout->addWidget(picMap, 0, 1, 2, 1);
  layout->addWidget(scrPanVer, 0, 2, 2, 1);
  layout->addWidget(scrPanHor, 2, 1);
  layout->addWidget(lblRotate, 3, 0);
  layout->addWidget(scrRotAngle, 3, 1);
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(1, 1);
  return box;
}

QLayout* TablePanel::buildFooter() {
  auto* help = new QVBoxLayout;
  help->setSpacing(0);
  for (QLabel* label : lblInstructions) help->addWidget(label);
  auto* footer = new QHBoxLayout;
  footer->addWidget(cmdShowIn, 0, Qt::AlignTop);
  footer->addSpacing(16);
  footer->addLayout(help);
  footer->addStretch();
  return footer;
}

void TablePanel::connectHandlers() {
  connect(cmbDim, &QComboBox::activated, this, &TablePanel::cmbDim_Click);
  connect(grd, &TableGrid::keyDown, this, &TablePanel::grd_KeyDown);
  connect(grd, &TableGrid::gotFocus, this, [this] { setHighlight(true); });
  connect(grd, &TableGrid::lostFocus, this, [this] { setHighlight(false); });
  connect(cmdShowIn, &QPushButton::clicked, this, &TablePanel::cmdShowIn_Click);
  connect(&fields_.watch, &ImageWatch::referenceChanged, this, &TablePanel::showMarks);
  if (!isMap()) return;
  connect(scrRotAngle, &QScrollBar::valueChanged, this, &TablePanel::scrRotAngle_Change);
  connect(scrPanHor, &QScrollBar::valueChanged, this, &TablePanel::scrPanHor_Change);
  connect(scrPanVer, &QScrollBar::valueChanged, this, &TablePanel::scrPanVer_Change);
  connect(scrZoom, &QScrollBar::valueChanged, this, &TablePanel::scrZoom_Change);
}

void TablePanel::clearGrid() {
  data_.read({});
  grd->setFrame(2, 2);
  grd->setEnabled(true);
  lblNote->hide();
}

void TablePanel::clearLabels() {
  for (QLabel* label : {lblXlabel, lblYlabel, lblZlabel}) label->clear();
}

void TablePanel::resetScrollBars() {
  if (!isMap()) return;
  for (SpinControl* bar : {scrPanHor, scrPanVer, scrZoom, scrRotAngle}) bar->setValue(0);
}

void TablePanel::setHighlight(bool on) { grd->setHighlight(on); }

void TablePanel::showMarks() { grd->viewport()->update(); }

void TablePanel::resetView() {
  picMap->setScaleHeight(202);
  picMap->setScaleLeft(-51);
  picMap->setScaleTop(-151);
  picMap->setScaleWidth(202);
}

void TablePanel::cmbDim_Click() {
  if (isMap()) {
    resetView();
    fields_.MapMaxX = fields_.MapMinY = 0;
    fields_.ArrayCols = fields_.ArrayRows = 0;
    fields_.Cols = fields_.Rows = 0;
    resetScrollBars();
    fields_.RotAngle = 30;
  }
  const ECU_Item& item = chosenItem(fields_.Index, cmbDim->currentIndex());
  if (isMap()) {
    txtStart3D->setText(QString::fromStdString(item.Address));
    txtRow3D->setText(QString::number(item.Rows));
    txtCol3D->setText(QString::number(item.Cols));
  }
  const TableResolution table = resolveTable(item);
  if (table.problem != RangeProblem::None) {
    refuse(QString::fromStdString(rangeNote(table.problem)));
    return;
  }
  lblNote->hide();
  grd->setEnabled(true);
  item_ = &item;
  start_ = table.place.first;
  fields_.Rows = item.Rows;
  fields_.Cols = item.Cols;
  readValues();
  if (isMap()) widenExtents();
  lblXlabel->setText(itemCaption(item.Xlabel));
  lblYlabel->setText(itemCaption(item.Ylabel));
  drawFrame(item);
  Draw_Map();
}

void TablePanel::refuse(const QString& reason) {
  item_ = nullptr;
  fields_.Cols = fields_.Rows = 0;
  readValues();  // none: the picture is cleared
  clearLabels();
  grd->setFrame(2, 2);
  grd->setEnabled(false);
  lblNote->setText(reason);
  lblNote->show();
  Draw_Map();
}

void TablePanel::drawFrame(const ECU_Item& item) {
  QStringList rowCaptions;  // top to bottom: table row 0 is the bottom row
  for (int r = fields_.Rows - 1; r >= 0; --r) rowCaptions << fromView(rowCaption(item, r));
  QStringList colCaptions;
  for (int c = 0; c < fields_.Cols; ++c) colCaptions << fromView(columnCaption(item, c));
  grd->setFrame(fields_.Rows + 1, fields_.Cols + 1, rowCaptions, colCaptions);
}

void TablePanel::widenExtents() {
  data_.widen(Projection(fields_.RotAngle), fields_.MapMaxX, fields_.MapMinY);
}

void TablePanel::Draw_Grid() {
  const ECU_Item& item = item_ ? *item_ : fields_.document.item(0);
  lblZlabel->setText(fields_.Raw ? QString(kRawValues) : itemCaption(item.Name));
  // Cells hold whole bytes, so each of the 256 texts is made once: the raw ones for good, the
  // calculated ones once for each item shown.
  static const TableModel::CellTexts raw = [] {
    TableModel::CellTexts texts;
    for (int byte = 0; byte < 256; ++byte) texts[static_cast<size_t>(byte)] = QString::number(byte);
    return texts;
  }();
  if (calculatedFor_ != &item) {
    for (int byte = 0; byte < 256; ++byte)
      calculated_[static_cast<size_t>(byte)] =
          QString::fromStdString(formatCalculated(byte, item.Operation, item.Factor, item.Offset));
    calculatedFor_ = &item;
  }
  // Without a table (none chosen, refused, or a map chosen since) the cells keep what they show.
  if (fields_.Cols > 0 && fields_.Rows > 0)
    grd->fill(fields_.Raw ? raw : calculated_,
              {place(), &fields_.document.reference(), calculated_});
}

void TablePanel::readValues() {
  data_.read(place());
  follower_->caughtUp();
}

void TablePanel::refresh() {
  readValues();
  if (isMap()) widenExtents();
  Draw_Map();
}

void TablePanel::Draw_Map() {
  if (picMap)
    data_.draw(*picMap, Projection(fields_.RotAngle), 100, 1, fields_.MapMaxX, fields_.MapMinY);
  Draw_Grid();
}

void TablePanel::cmdShowIn_Click() {
  fields_.Raw = !fields_.Raw;
  cmdShowIn->setText(fields_.Raw ? kShowCalculated : kShowRaw);
  Draw_Map();
}

void TablePanel::grd_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const int step = keyStep(key, modifiers);
  const TablePlace table = place();
  const ECU_Item& item = item_ ? *item_ : fields_.document.item(0);
  {
    ImageAction action(describeStep(step, 0, item.Name));
    data_.read(table);  // the bytes as they are, whatever changed them last
    const int changed =
        step != 0 ? stepCells(data_.values(), table, grd->selectedCells(), step) : 0;
    writeTable(table, data_.values());
    action.rename(describeStep(step, changed, item.Name));
  }
  afterEdit();
}

void TablePanel::afterEdit() {
  follower_->caughtUp();  // the values are what was just written
  if (isMap()) widenExtents();
  Draw_Map();
  fields_.Saved = false;
}

void TablePanel::scrRotAngle_Change() {
  fields_.RotAngle = static_cast<int16_t>(fields_.RotAngle - scrRotAngle->value());
  scrRotAngle->setValue(0);
  fields_.RotAngle = wrappedAngle(fields_.RotAngle);
  Draw_Map();
}

void TablePanel::scrPanHor_Change() {
  picMap->setScaleLeft(picMap->scaleLeft() - scrPanHor->value());
  scrPanHor->setValue(0);
  Draw_Map();
}

void TablePanel::scrPanVer_Change() {
  picMap->setScaleTop(picMap->scaleTop() - scrPanVer->value());
  scrPanVer->setValue(0);
  Draw_Map();
}

void TablePanel::scrZoom_Change() {
  const int v = scrZoom->value();
  // A view of no width or height has no scale: the step that would get there is refused.
  if (picMap->scaleHeight() + v <= 0 || picMap->scaleWidth() + v <= 0) {
    scrZoom->setValue(0);
    return;
  }
  picMap->setScaleHeight(picMap->scaleHeight() + v);
  picMap->setScaleWidth(picMap->scaleWidth() + v);
  picMap->setScaleLeft(picMap->scaleLeft() - v);
  picMap->setScaleTop(picMap->scaleTop() + v * 0.125);
  scrZoom->setValue(0);
  Draw_Map();
}

}  // namespace trimlet
