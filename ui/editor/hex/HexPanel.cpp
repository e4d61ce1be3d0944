#include "ui/editor/hex/HexPanel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "core/ecu_file.h"
#include "core/hex.h"
#include "core/state.h"
#include "ui/common/Canvas.h"
#include "ui/common/MousePointer.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"
#include "ui/editor/hex/HexDumpModel.h"
#include "ui/editor/hex/Projection.h"

namespace trimlet {

namespace {

// The graphs' table holds columns and rows 0..500.
constexpr double kTableLimit = 500;
// The dump covers the first 32K of the file plus the extra block that BIN_Size counts.
constexpr double kDumpLimit = 32784;

// The shortest decimal text of a real ("140", "2.5").
QString realText(double value) {
  std::array<char, 32> buffer{};
  // Adding 0 turns a negative zero into "0" rather than "-0".
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value + 0.0);
  return QString::fromLatin1(buffer.data(), static_cast<qsizetype>(result.ptr - buffer.data()));
}

std::optional<double> readReal(const QString& text) { return toReal(text.toStdString()); }

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

TextBox* makeTextBox(const QString& name, const QString& text, QWidget* parent) {
  auto* box = new TextBox(parent);
  box->setObjectName(name);
  box->setText(text);
  return box;
}

SpinControl* makeSpin(const QString& name, Qt::Orientation orientation, QWidget* parent) {
  auto* spin = new SpinControl(orientation, true, parent);
  spin->setObjectName(name);
  return spin;
}

Canvas* makePicture(const QString& name, double left, double top, double width, double height,
                    QWidget* parent) {
  auto* picture = new Canvas(parent);
  picture->setObjectName(name);
  picture->setScale(left, top, width, height);
  return picture;
}

}  // namespace

HexPanel::HexPanel(EditorFields& fields, QWidget* parent)
    : QWidget(parent),
      fields_(fields),
      grdHex(new QTableView(this)),
      dump_(new HexDumpModel(this)),
      picHexMap(makePicture("picHexMap", -51, -151, 202, 202, this)),
      hscHexMap(makeSpin("hscHexMap", Qt::Horizontal, this)),
      picHexLine(makePicture("picHexLine", -11, -271, 202, 282, this)),
      lblStart(makeLabel("lblStart", "Start Address", this)),
      txtStart(makeTextBox("txtStart", lastStart_, this)),
      vscStart(makeSpin("vscStart", Qt::Vertical, this)),
      lblCols(makeLabel("lblCols", "Columns", this)),
      txtCols(makeTextBox("txtCols", lastCols_, this)),
      vscCols(makeSpin("vscCols", Qt::Vertical, this)),
      lblRows(makeLabel("lblRows", "Rows", this)),
      txtRows(makeTextBox("txtRows", lastRows_, this)),
      vscRows(makeSpin("vscRows", Qt::Vertical, this)),
      cmdPopulate(new QPushButton("Populate Chart", this)),
      lblLimit(makeLabel("lblLimit", "Limited to first 32K of file", this)) {
  grdHex->setObjectName("grdHex");
  grdHex->setModel(dump_);
  grdHex->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdHex->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  grdHex->setTextElideMode(Qt::ElideNone);
  grdHex->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grdHex->verticalHeader()->setDefaultSectionSize(grdHex->fontMetrics().height() + 4);
  cmdPopulate->setObjectName("cmdPopulate");
  cmdPopulate->setAutoDefault(false);
  buildLayout();
  connectHandlers();
}

void HexPanel::buildLayout() {
  picHexMap->setMinimumSize(twipsToPixelsX(this, 2535), twipsToPixelsY(this, 2175));
  picHexLine->setMinimumSize(twipsToPixelsX(this, 5535), twipsToPixelsY(this, 1935));

  auto* view = new QVBoxLayout;
  view->addWidget(picHexMap, 1);
  view->addWidget(hscHexMap, 0, Qt::AlignHCenter);

  auto* form = new QGridLayout;
  const std::array<std::array<QWidget*, 3>, 3> rows = {
      {{lblStart, txtStart, vscStart}, {lblCols, txtCols, vscCols}, {lblRows, txtRows, vscRows}}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) form->addWidget(rows[r][c], r, c);
    // Room for a six-digit address, no more: the fields read as one small group.
    rows[r][1]->setFixedWidth(rows[r][1]->fontMetrics().horizontalAdvance("0000000") + 16);
  }
  form->addWidget(cmdPopulate, 3, 0, 1, 3);
  form->addWidget(lblLimit, 4, 0, 1, 3, Qt::AlignHCenter);
  form->setRowStretch(5, 1);
  form->setColumnStretch(3, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(grdHex, 0, 0);
  layout->addLayout(view, 0, 1);
  layout->addWidget(picHexLine, 1, 0);
  layout->addLayout(form, 1, 1);
  layout->setRowStretch(0, 3);
  layout->setRowStretch(1, 2);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
}

void HexPanel::connectHandlers() {
  connect(txtStart, &TextBox::lostFocus, this, &HexPanel::txtStart_LostFocus);
  connect(vscStart, &QScrollBar::valueChanged, this, &HexPanel::vscStart_Change);
  connect(txtCols, &TextBox::lostFocus, this, &HexPanel::txtCols_LostFocus);
  connect(vscCols, &QScrollBar::valueChanged, this, &HexPanel::vscCols_Change);
  connect(txtRows, &TextBox::lostFocus, this, &HexPanel::txtRows_LostFocus);
  connect(vscRows, &QScrollBar::valueChanged, this, &HexPanel::vscRows_Change);
  connect(hscHexMap, &QScrollBar::valueChanged, this, &HexPanel::hscHexMap_Change);
  connect(cmdPopulate, &QPushButton::clicked, this, &HexPanel::Pop_Hex);
}

void HexPanel::txtStart_LostFocus() { stepStart(); }
void HexPanel::vscStart_Change() { stepStart(); }
void HexPanel::txtCols_LostFocus() { stepCount(Field::Cols); }
void HexPanel::vscCols_Change() { stepCount(Field::Cols); }
void HexPanel::txtRows_LostFocus() { stepCount(Field::Rows); }
void HexPanel::vscRows_Change() { stepCount(Field::Rows); }

void HexPanel::stepStart() {
  const int s = vscStart->value();
  // Text that is not hexadecimal gives way to the last good start. Anything past the image
  // is brought back below, so it is capped first to keep the step from wrapping.
  const uint64_t typed = std::min<uint64_t>(
      hexToNumber(txtStart->text().toStdString()).value_or(*hexToNumber(lastStart_.toStdString())),
      kBinCapacity);
  const uint64_t stepped = s > 0 && typed == 0 ? 0 : typed - static_cast<uint64_t>(s);
  txtStart->setText(QString::fromStdString(numberToHex(stepped)));
  vscStart->setValue(0);
  // Every byte shown must be a byte of the file.
  const int64_t last = lastStart();
  if (static_cast<int64_t>(*hexToNumber(txtStart->text().toStdString())) > last)
    txtStart->setText(QString::fromStdString(numberToHex(static_cast<uint64_t>(last))));
  lastStart_ = txtStart->text();
  txtStart->repaint();
  Show_Hex();
}

void HexPanel::stepCount(Field field) {
  TextBox* box = field == Field::Cols ? txtCols : txtRows;
  SpinControl* spin = field == Field::Cols ? vscCols : vscRows;
  QString& last = field == Field::Cols ? lastCols_ : lastRows_;
  const double lowerTrigger = field == Field::Cols ? 1 : 0;
  const QString lowerText = field == Field::Cols ? "2" : "1";

  const int s = spin->value();
  box->setText(realText(readReal(box->text()).value_or(*readReal(last)) - s));
  spin->setValue(0);
  const double value = *readReal(box->text());
  if (value == lowerTrigger) {
    box->setText(lowerText);
  } else if (value > kTableLimit) {
    box->setText(realText(kTableLimit));  // one step past the top, or typed beyond the table
  } else if (value < 0) {
    box->setText("0");
  }
  last = box->text();
  box->repaint();
  Show_Hex();
}

void HexPanel::hscHexMap_Change() {
  fields_.RotAngle = static_cast<int16_t>(fields_.RotAngle - hscHexMap->value());
  hscHexMap->setValue(0);
  fields_.RotAngle = wrappedAngle(fields_.RotAngle);
  Show_Hex();
}

std::optional<int16_t> HexPanel::tableExtent(const QString& text) {
  const auto value = toInt16(text.toStdString());
  if (!value || *value < 0 || *value > kTableLimit) return std::nullopt;
  return value;
}

int64_t HexPanel::lastStart() const {
  const auto cols = tableExtent(txtCols->text());
  const auto rows = tableExtent(txtRows->text());
  // A start must at least point at a byte of the file, even for an empty stretch.
  const int64_t stretch = cols && rows ? std::max(int64_t{*cols} * *rows, int64_t{1}) : 1;
  return std::max(BIN_FileBytes - stretch, int64_t{0});
}

void HexPanel::Show_Hex() {
  const std::string start = txtStart->text().toStdString();
  const auto cols = tableExtent(txtCols->text());
  const auto rows = tableExtent(txtRows->text());
  // Text typed but not yet taken by its field: the fields' handlers will rebuild.
  if (!cols || !rows) return;
  HexCols = *cols;
  HexRows = *rows;
  HexMaxX = 0;
  HexMinY = 0;
  const RecordRange stretch = resolveRecords(start, int64_t{HexCols} * HexRows);
  if (stretch.problem != RangeProblem::None) return;
  for (int r = 0; r < HexRows; ++r) {
    for (int c = 0; c < HexCols; ++c) {
      const size_t a = static_cast<size_t>(stretch.first + HexCols * r + c);
      double& value = HexData[static_cast<size_t>(c)][static_cast<size_t>(r)];
      value = recordByte(BIN_Data[a]).value_or(0);
      HexMaxX = std::max(HexMaxX, X_Bar(fields_.RotAngle, c, r, value));
      HexMinY = std::min(HexMinY, Y_Bar(fields_.RotAngle, c, r, value));
    }
  }
  if (HexMaxX != 0 && HexMinY != 0) {
    Draw_Hex_Map(HexCols, HexRows, HexMaxX, HexMinY);
    Draw_Hex_Line(HexCols, HexRows, HexMaxX, HexMinY);
  }
}

void HexPanel::drawGraph(Canvas& picture, double axis, double radius, int16_t cols, int16_t rows,
                         double xmax, double ymin) {
  picture.Cls();
  picture.setDrawWidth(2);
  drawAxes(picture, fields_.RotAngle, axis);
  picture.setDrawWidth(1);
  drawMesh(picture, fields_.RotAngle, HexData, cols, rows, xmax, ymin, radius);
}

void HexPanel::Draw_Hex_Map(int16_t cols, int16_t rows, double xmax, double ymin) {
  drawGraph(*picHexMap, 100, 1.0, cols, rows, xmax, ymin);
}

void HexPanel::Draw_Hex_Line(int16_t cols, int16_t rows, double xmax, double ymin) {
  const int16_t angle = fields_.RotAngle;
  fields_.RotAngle = 0;  // seen straight from the front
  drawGraph(*picHexLine, 200, 0.25, cols, rows, xmax, ymin);
  fields_.RotAngle = angle;
}

void HexPanel::Pop_Hex() {
  setBusyPointer();
  grdHex->verticalHeader()->setFixedWidth(twipsToPixelsX(grdHex, 800));
  for (int c = 0; c < 16; ++c) grdHex->setColumnWidth(c, twipsToPixelsX(grdHex, 300));
  // Whole 16-byte rows only: the last block that BIN_Size counts is the file's remainder.
  const double limit = std::min(BIN_Size, kDumpLimit);
  dump_->fill(std::max(static_cast<int>(std::floor(limit / 16)) - 1, 0));
  setDefaultPointer();
}

}  // namespace trimlet
