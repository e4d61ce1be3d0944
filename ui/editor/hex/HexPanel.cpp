#include "ui/editor/hex/HexPanel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/document.h"
#include "core/image.h"
#include "core/stepper.h"
#include "core/text.h"
#include "ui/common/Canvas.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/MousePointer.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"
#include "ui/common/ViewFollower.h"
#include "ui/common/Widgets.h"
#include "ui/editor/hex/HexDumpModel.h"
#include "ui/graph/Projection.h"

namespace trimlet {

namespace {

// The dump covers the first 32K of the file plus the extra block that BIN_Size counts.
constexpr double kDumpLimit = 32784;

}  // namespace

HexPanel::HexPanel(int16_t& rotAngle, const Document& document, const ImageWatch& watch,
                   QWidget* parent)
    : QWidget(parent),
      RotAngle(rotAngle),
      document_(document),
      follower_(new ViewFollower(
          this, watch,
          [this](const ImageChange& change) {
            const RecordRange shown = stretch();
            return shown.problem == RangeProblem::None && change.touches(shown.first, shown.count);
          },
          [this] { Show_Hex(); })),
      grdHex(new QTableView(this)),
      dump_(new HexDumpModel(this)),
      picHexMap(makePicture("picHexMap", -51, -151, 202, 202, this)),
      hscHexMap(makeSpin("hscHexMap", Qt::Horizontal, this)),
      picHexLine(makePicture("picHexLine", -11, -271, 202, 282, this)),
      start_("Start", "Start Address", "35", this),
      cols_("Cols", "Columns", "140", this),
      rows_("Rows", "Rows", "1", this),
      cmdPopulate(makeButton("cmdPopulate", "Populate Chart", this)),
      lblLimit(makeLabel("lblLimit", "Limited to first 32K of file", this)) {
  grdHex->setObjectName("grdHex");
  grdHex->setModel(dump_);
  grdHex->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdHex->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  grdHex->setTextElideMode(Qt::ElideNone);
  grdHex->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grdHex->verticalHeader()->setDefaultSectionSize(grdHex->fontMetrics().height() + 4);
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
  int row = 0;
  for (const StretchField* field : {&start_, &cols_, &rows_}) {
    form->addWidget(field->label(), row, 0);
    form->addWidget(field->box(), row, 1);
    form->addWidget(field->spin(), row, 2);
    // Room for a six-digit address, no more: the fields read as one small group.
    field->box()->setFixedWidth(field->box()->fontMetrics().horizontalAdvance("0000000") + 16);
    ++row;
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
  connect(start_.box(), &TextBox::lostFocus, this, &HexPanel::txtStart_LostFocus);
  connect(start_.spin(), &QScrollBar::valueChanged, this, &HexPanel::vscStart_Change);
  connect(cols_.box(), &TextBox::lostFocus, this, &HexPanel::txtCols_LostFocus);
  connect(cols_.spin(), &QScrollBar::valueChanged, this, &HexPanel::vscCols_Change);
  connect(rows_.box(), &TextBox::lostFocus, this, &HexPanel::txtRows_LostFocus);
  connect(rows_.spin(), &QScrollBar::valueChanged, this, &HexPanel::vscRows_Change);
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
  start_.step(steppedStart);
  // Every byte shown must be a byte of the file.
  const auto cols = tableExtent(cols_.box()->text());
  const auto rows = tableExtent(rows_.box()->text());
  const int64_t stretch = cols && rows ? int64_t{*cols} * *rows : 1;
  start_.settle(limitedStart(start_.text(), lastStart(document_.fileBytes(), stretch)));
  start_.box()->repaint();
  Show_Hex();
}

void HexPanel::stepCount(Field field) {
  StretchField& count = field == Field::Cols ? cols_ : rows_;
  count.step(steppedCount);
  // Columns below 2 and rows below 1 are put back; a step beyond 500, or a typed number
  // beyond the table, becomes 500.
  count.settle(limitedCount(count.text(), field == Field::Cols ? 1 : 0));
  count.box()->repaint();
  Show_Hex();
}

void HexPanel::hscHexMap_Change() {
  RotAngle = static_cast<int16_t>(RotAngle - hscHexMap->value());
  hscHexMap->setValue(0);
  RotAngle = wrappedAngle(RotAngle);
  Show_Hex();
}

std::optional<int16_t> HexPanel::tableExtent(const QString& text) {
  const auto value = toInt16(text.toStdString());
  if (!value || *value < 0 || *value > kMaxCount) return std::nullopt;
  return value;
}

RecordRange HexPanel::stretch() const {
  const auto cols = tableExtent(cols_.box()->text());
  const auto rows = tableExtent(rows_.box()->text());
  if (!cols || !rows) return {RangeProblem::TableSize};
  return resolveRecords(start_.text(), int64_t{*cols} * *rows);
}

void HexPanel::Show_Hex() {
  follower_->caughtUp();
  const auto cols = tableExtent(cols_.box()->text());
  const auto rows = tableExtent(rows_.box()->text());
  // Text typed but not yet taken by its field: the fields' handlers will rebuild.
  if (!cols || !rows) return;
  HexCols = *cols;
  HexRows = *rows;
  HexMaxX = 0;
  HexMinY = 0;
  const RecordRange shown = stretch();
  if (shown.problem != RangeProblem::None) return;
  HexData.read({shown.first, HexCols, HexRows});
  HexData.widen(Projection(RotAngle), HexMaxX, HexMinY);
  if (HexMaxX != 0 && HexMinY != 0) {
    Draw_Hex_Map(HexMaxX, HexMinY);
    Draw_Hex_Line(HexMaxX, HexMinY);
  }
}

void HexPanel::Draw_Hex_Map(double xmax, double ymin) {
  HexData.draw(*picHexMap, Projection(RotAngle), 100, 1.0, xmax, ymin);
}

// Seen straight from the front: at angle 0, whatever the view's angle.
void HexPanel::Draw_Hex_Line(double xmax, double ymin) {
  HexData.draw(*picHexLine, Projection(0), 200, 0.25, xmax, ymin);
}

void HexPanel::Pop_Hex() {
  setBusyPointer();
  grdHex->verticalHeader()->setFixedWidth(twipsToPixelsX(grdHex, 800));
  for (int c = 0; c < 16; ++c) grdHex->setColumnWidth(c, twipsToPixelsX(grdHex, 300));
  // Whole 16-byte rows only: the last block that BIN_Size counts is the file's remainder.
  const double limit = std::min(document_.recordCount(), kDumpLimit);
  dump_->fill(std::max(static_cast<int>(std::floor(limit / 16)) - 1, 0));
  setDefaultPointer();
}

}  // namespace trimlet
