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
#include "core/hex.h"
#include "ui/common/Canvas.h"
#include "ui/common/DropDown.h"
#include "ui/common/SpinControl.h"
#include "ui/editor/hex/Projection.h"
#include "ui/editor/tables/TableGrid.h"

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

// Caption k (from 1) of an axis text packed in slots of `width` characters; shorter or empty
// where the text runs out.
QString axisSlot(const std::string& text, int k, int width) {
  const size_t from = static_cast<size_t>(k - 1) * static_cast<size_t>(width);
  if (from >= text.size()) return {};
  return QString::fromStdString(text.substr(from, static_cast<size_t>(width)));
}

// Labels show the ECU file's captions as written: taken as markup, a caption could make the
// label load any file it names as a picture.
QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLineEdit* makeDisplayBox(const QString& name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::ClickFocus);
  box->setMaximumWidth(box->fontMetrics().horizontalAdvance("00000000") + 16);
  return box;
}

bool inBlocks(const std::vector<QRect>& blocks, int row, int col) {
  return std::any_of(blocks.begin(), blocks.end(),
                     [&](const QRect& block) { return block.contains(col, row); });
}

}  // namespace

TablePanel::TablePanel(TableKind kind, EditorFields& fields, QWidget* parent)
    : QWidget(parent), kind_(kind), fields_(fields), data_(std::make_unique<PointTable>()) {
  const QString line = isMap() ? "Map" : "Line";
  cmbDim = new DropDown(this);
  cmbDim->setObjectName(isMap() ? "cmb2Dim" : "cmb1Dim");
  grd = new TableGrid(this);
  grd->setObjectName(isMap() ? "grdMap" : "grdLine");
  lblXlabel = makeLabel("lbl" + line + "_Xlabel", "X Label", this);
  lblYlabel = makeLabel("lbl" + line + "_Ylabel", "Y Label", this);
  lblZlabel = makeLabel("lbl" + line + "_Zlabel", "Z Label", this);
  cmdShowIn = new QPushButton(kShowCalculated, this);
  cmdShowIn->setObjectName(isMap() ? "cmdShowIn_2" : "cmdShowIn_1");
  cmdShowIn->setAutoDefault(false);
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
  scrRotAngle = new SpinControl(Qt::Horizontal, false, box);
  scrRotAngle->setObjectName("scrRotAngle");
  scrPanHor = new SpinControl(Qt::Horizontal, false, box);
  scrPanHor->setObjectName("scrPanHor");
  scrPanVer = new SpinControl(Qt::Vertical, false, box);
  scrPanVer->setObjectName("scrPanVer");
  scrZoom = new SpinControl(Qt::Vertical, false, box);
  scrZoom->setObjectName("scrZoom");
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
  if (!isMap()) return;
  connect(scrRotAngle, &QScrollBar::valueChanged, this, &TablePanel::scrRotAngle_Change);
  connect(scrPanHor, &QScrollBar::valueChanged, this, &TablePanel::scrPanHor_Change);
  connect(scrPanVer, &QScrollBar::valueChanged, this, &TablePanel::scrPanVer_Change);
  connect(scrZoom, &QScrollBar::valueChanged, this, &TablePanel::scrZoom_Change);
}

int16_t& TablePanel::cols() { return isMap() ? fields_.MapCols : fields_.ArrayCols; }
int16_t& TablePanel::rows() { return isMap() ? fields_.MapRows : fields_.ArrayRows; }
bool& TablePanel::showRaw() { return isMap() ? fields_.MapRaw : fields_.ArrayRaw; }

void TablePanel::clearGrid() {
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
    fields_.MapCols = fields_.MapRows = 0;
    resetScrollBars();
    fields_.RotAngle = 30;
  }
  const ECU_Item& item =
      chosenItem(isMap() ? fields_.MapIndex : fields_.ArrayIndex, cmbDim->currentIndex());
  if (isMap()) {
    txtStart3D->setText(QString::fromStdString(item.Address));
    txtRow3D->setText(QString::number(item.Rows));
    txtCol3D->setText(QString::number(item.Cols));
  }
  const RecordRange range = tableRecords(item);
  if (range.problem != RangeProblem::None) {
    refuse(QString::fromStdString(rangeNote(range.problem)));
    return;
  }
  lblNote->hide();
  grd->setEnabled(true);
  item_ = &item;
  start_ = range.first;
  rows() = item.Rows;
  cols() = item.Cols;

  PointTable& data = *data_;
  for (int r = 0; r < rows(); ++r) {
    for (int c = 0; c < cols(); ++c) {
      const BIN_Record& record = BIN_Data[static_cast<size_t>(start_ + cols() * r + c)];
      data[static_cast<size_t>(c)][static_cast<size_t>(r)] = recordByte(record).value_or(0);
      if (isMap()) widenExtent(c, r);
    }
  }
  lblXlabel->setText(QString::fromStdString(item.Xlabel));
  lblYlabel->setText(QString::fromStdString(item.Ylabel));
  drawFrame(item);
  Draw_Map();
}

void TablePanel::refuse(const QString& reason) {
  item_ = nullptr;
  cols() = rows() = 0;
  clearLabels();
  grd->setFrame(2, 2);
  grd->setEnabled(false);
  lblNote->setText(reason);
  lblNote->show();
  Draw_Map();
}

void TablePanel::drawFrame(const ECU_Item& item) {
  QStringList rowCaptions;  // top to bottom: array row 0 is the bottom row
  for (int k = rows(); k >= 1; --k) rowCaptions << axisSlot(item.Yaxis, k, 5);
  QStringList colCaptions;
  for (int k = 1; k <= cols(); ++k) colCaptions << axisSlot(item.Xaxis, k, 3);
  grd->setFrame(rows() + 1, cols() + 1, rowCaptions, colCaptions);
}

void TablePanel::widenExtent(int c, int r) {
  const double z = (*data_)[static_cast<size_t>(c)][static_cast<size_t>(r)];
  const double x = X_Bar(fields_.RotAngle, c, r, z);
  const double y = Y_Bar(fields_.RotAngle, c, r, z);
  if (x > fields_.MapMaxX) fields_.MapMaxX = x;
  if (y < fields_.MapMinY) fields_.MapMinY = y;
}

void TablePanel::Draw_Grid() {
  const ECU_Item& item = item_ ? *item_ : ECU_Items[0];
  lblZlabel->setText(showRaw() ? QString(kRawValues) : QString::fromStdString(item.Name));
  // Cells hold whole bytes, so each of the 256 texts is made once.
  std::array<QString, 256> texts;
  for (int raw = 0; raw < 256; ++raw) {
    texts[static_cast<size_t>(raw)] = showRaw()
                                          ? QString::number(raw)
                                          : QString::fromStdString(formatCalculated(
                                                raw, item.Operation, item.Factor, item.Offset));
  }
  // Column by column, the order in which the values and the cells lie in memory.
  const int rowCount = rows();
  for (int col = 1; col <= cols(); ++col) {
    const auto& column = (*data_)[static_cast<size_t>(col - 1)];
    for (int row = 1; row <= rowCount; ++row) {
      const int raw = static_cast<int>(column[static_cast<size_t>(row - 1)]);
      grd->setCellText(rowCount + 1 - row, col, texts[static_cast<size_t>(raw)], raw);
    }
  }
  grd->cellsWritten();
}

void TablePanel::Draw_Map() {
  if (picMap) {
    picMap->Cls();
    picMap->setDrawWidth(2);
    drawAxes(*picMap, fields_.RotAngle, 100);
    picMap->setDrawWidth(1);
    drawMesh(*picMap, fields_.RotAngle, *data_, fields_.MapCols, fields_.MapRows, fields_.MapMaxX,
             fields_.MapMinY, 1);
  }
  Draw_Grid();
}

void TablePanel::cmdShowIn_Click() {
  showRaw() = !showRaw();
  cmdShowIn->setText(showRaw() ? kShowCalculated : kShowRaw);
  Draw_Map();
}

void TablePanel::grd_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  PointTable& data = *data_;
  const int step = keyStep(key, modifiers);
  const std::vector<QRect> blocks = grd->selectedBlocks();
  if (step != 0) {
    for (int c = 1; c <= cols(); ++c) {
      for (int r = 1; r <= rows(); ++r) {
        if (!inBlocks(blocks, rows() + 1 - r, c)) continue;
        double& value = data[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)];
        value = std::clamp(value + step, 0.0, 255.0);
      }
    }
  }
  for (int r = 0; r < rows(); ++r) {
    for (int c = 0; c < cols(); ++c) {
      setEditedByte(BIN_Data[static_cast<size_t>(start_ + cols() * r + c)],
                    static_cast<int>(data[static_cast<size_t>(c)][static_cast<size_t>(r)]));
      if (isMap()) widenExtent(c, r);
    }
  }
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
