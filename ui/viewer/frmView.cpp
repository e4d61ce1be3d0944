#include "ui/viewer/frmView.h"

#include <QLabel>
#include <QLocale>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/hex.h"
#include "core/state.h"
#include "ui/common/Canvas.h"
#include "ui/common/Captions.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"
#include "ui/editor/hex/Projection.h"

namespace trimlet {

namespace {

// Fixed places, in twips; the layout rule moves the rest with the window's size.
constexpr int kPictureLeft = 480;
constexpr int kPictureTop = 120;
constexpr int kValueLabelLeft = 30;
constexpr int kValueLabelWidth = 420;
constexpr int kAddressLabelLeft = 480;
constexpr int kBoxTitleLeft = 480;
constexpr int kBoxTitleWidth = 1560;
constexpr int kBoxLeft = 2040;
constexpr int kBoxWidth = 960;
constexpr int kBoxHeight = 300;
constexpr int kSpinnerLeft = 3000;
constexpr int kSpinnerWidth = 255;
constexpr int kSpinnerHeight = 285;
constexpr int kStartWidth = 10080;
constexpr int kStartHeight = 6480;
// Big enough that the picture keeps a positive size and the boxes stay clear of each other.
constexpr int kMinimumWidth = 4320;
constexpr int kMinimumHeight = 3600;

// The count is kept within what the spinner reaches; HexData holds one more column.
constexpr int kMaxCols = 500;

struct GridLine {
  double x1, y1, x2, y2;
};

// Axes, levels and quarter lines, drawn 2 pixels wide in this order.
constexpr GridLine kFrameLines[] = {
    {0, 0, 145, 0},          {0, 0, 0, -128},       {0, -64, 145, -64},        {0, -128, 145, -128},
    {36.25, 0, 36.25, -128}, {72.5, 0, 72.5, -128}, {108.75, 0, 108.75, -128}, {145, 0, 145, -128},
};
// The quarter levels, 1 pixel wide.
constexpr GridLine kFineLines[] = {{0, -32, 145, -32}, {0, -96, 145, -96}};

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QString hexText(int64_t value) {
  return QString::fromStdString(numberToHex(static_cast<uint64_t>(value)));
}

// Whole numbers without a decimal point, fractions with as many decimals as they need.
QString decimalText(double value) {
  return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

std::optional<double> readCount(const TextBox* box) { return toReal(box->text().toStdString()); }

// A start within the image; anything larger cannot name a stretch of it.
std::optional<int64_t> readStart(const TextBox* box) {
  const auto start = hexToNumber(box->text().toStdString());
  if (!start || *start > static_cast<uint64_t>(kBinCapacity)) return std::nullopt;
  return static_cast<int64_t>(*start);
}

}  // namespace

frmView::frmView(QWidget* parent)
    : QDialog(parent),
      picHexLine(new Canvas(this)),
      lblStart(makeLabel("lblStart", "Start Address", this)),
      txtStart(new TextBox(this)),
      vscStart(new SpinControl(Qt::Vertical, true, this)),
      lblCols(makeLabel("lblCols", "Total Address's", this)),
      txtCols(new TextBox(this)),
      vscCols(new SpinControl(Qt::Vertical, true, this)),
      lbl0(makeLabel("lbl0", "0", this)),
      lbl128(makeLabel("lbl128", "128", this)),
      lbl255(makeLabel("lbl255", "255", this)),
      lbl1(makeLabel("lbl1", QString(), this)),
      lbl2(makeLabel("lbl2", QString(), this)),
      lbl3(makeLabel("lbl3", QString(), this)),
      lbl4(makeLabel("lbl4", QString(), this)),
      lbl5(makeLabel("lbl5", QString(), this)),
      HexData(std::make_unique<PointTable>()) {
  setObjectName("frmView");
  picHexLine->setObjectName("picHexLine");
  txtStart->setObjectName("txtStart");
  txtStart->setText("35");
  vscStart->setObjectName("vscStart");
  txtCols->setObjectName("txtCols");
  txtCols->setText("140");
  vscCols->setObjectName("vscCols");

  const auto px = [this](int twips) { return twipsToPixelsX(this, twips); };
  const auto py = [this](int twips) { return twipsToPixelsY(this, twips); };
  picHexLine->move(px(kPictureLeft), py(kPictureTop));
  for (QLabel* title : {lblStart, lblCols}) {
    title->setGeometry(px(kBoxTitleLeft), 0, px(kBoxTitleWidth), py(kBoxHeight));
  }
  for (TextBox* box : {txtStart, txtCols}) {
    box->setGeometry(px(kBoxLeft), 0, px(kBoxWidth), py(kBoxHeight));
  }
  for (SpinControl* spinner : {vscStart, vscCols}) {
    spinner->setFixedSize(px(kSpinnerWidth), py(kSpinnerHeight));
    spinner->move(px(kSpinnerLeft), 0);
  }
  for (QLabel* value : {lbl0, lbl128, lbl255}) {
    value->setAlignment(Qt::AlignRight | Qt::AlignTop);
    value->setGeometry(px(kValueLabelLeft), 0, px(kValueLabelWidth), value->sizeHint().height());
  }
  lbl1->move(px(kAddressLabelLeft), 0);
  setMinimumSize(px(kMinimumWidth), py(kMinimumHeight));
  resize(px(kStartWidth), py(kStartHeight));

  connect(txtStart, &TextBox::lostFocus, this, &frmView::txtStart_LostFocus);
  connect(vscStart, &SpinControl::valueChanged, this, &frmView::vscStart_Change);
  connect(txtCols, &TextBox::lostFocus, this, &frmView::txtCols_LostFocus);
  connect(vscCols, &SpinControl::valueChanged, this, &frmView::vscCols_Change);
}

frmView::~frmView() = default;

bool frmView::Form_Load() {
  ClearVars();
  const FileResult loaded = Load_BIN();
  const ParseResult parsed = loaded.ok ? Parse_ECU() : ParseResult{};
  const std::string& failure = !loaded.ok ? loaded.message : parsed.message;
  if (!loaded.ok || parsed.outcome == ParseOutcome::Rejected) {
    setDefaultPointer();
    showMessage(parentWidget(), QString::fromStdString(failure), MessageIcon::Critical);
    return false;
  }
  if (parsed.outcome == ParseOutcome::ItemError)
    showMessage(parentWidget(), parsed.message.c_str());
  setDefaultPointer();
  setWindowTitle(fileCaption("Trimscope"));
  Show_Hex_Line();
  return true;
}

void frmView::ClearVars() { RotAngle = 30; }

// The picture keeps what was drawn, so a repaint shows the graph without redrawing it; only
// resizes and changes of the two boxes redraw.
void frmView::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Form_Resize();
}

void frmView::Form_Resize() {
  // The outer size, frame included, where the platform reports one.
  const QSize outer = frameGeometry().size();
  const double W = pixelsToTwipsX(this, outer.width());
  const double H = pixelsToTwipsY(this, outer.height());
  const auto setTop = [this](QWidget* widget, double twips) {
    widget->move(widget->x(), twipsToPixelsY(this, twips));
  };
  const auto setLeft = [this](QWidget* widget, double twips) {
    widget->move(twipsToPixelsX(this, twips), widget->y());
  };

  picHexLine->resize(twipsToPixelsX(this, W - 620), twipsToPixelsY(this, H - 1620));
  picHexLine->setScaleHeight(152);
  picHexLine->setScaleTop(-150);
  picHexLine->setScaleWidth(150);
  picHexLine->setScaleLeft(-2);
  for (QWidget* widget : std::initializer_list<QWidget*>{lblStart, txtStart, vscStart})
    setTop(widget, H - 1155);
  for (QWidget* widget : std::initializer_list<QWidget*>{lblCols, txtCols, vscCols})
    setTop(widget, H - 795);
  setTop(lbl0, H - 1730);
  setTop(lbl128, H / 1.8 - 850);
  setTop(lbl255, H / 6 - 300);
  for (QLabel* label : {lbl1, lbl2, lbl3, lbl4, lbl5}) setTop(label, H - 1395);
  setAddressLabels();
  setLeft(lbl2, W / 4 + 200);
  setLeft(lbl3, W / 2);
  setLeft(lbl4, W * 3 / 4 - 200);
  setLeft(lbl5, W - 480);
  Show_Hex_Line();
}

void frmView::txtStart_LostFocus() { startStep(); }
void frmView::vscStart_Change() { startStep(); }
void frmView::txtCols_LostFocus() { colsStep(); }
void frmView::vscCols_Change() { colsStep(); }

void frmView::startStep() {
  const int v = vscStart->value();
  txtStart->setText(hexText(std::max<int64_t>(startOrLastGood() - v, 0)));
  // Raises this step once more; that pass finds 0 and steps nothing.
  vscStart->setValue(0);
  limitStart();
  setAddressLabels();
  txtStart->repaint();
  Show_Hex_Line();
}

void frmView::colsStep() {
  const int v = vscCols->value();
  txtCols->setText(decimalText(countOrLastGood() - v));
  vscCols->setValue(0);
  if (txtCols->text() == "1") txtCols->setText("2");
  // Typed counts are held to what the graph can take; nothing below 0 is a count.
  const double c = *readCount(txtCols);
  if (c > kMaxCols) txtCols->setText(QString::number(kMaxCols));
  if (c < 0) txtCols->setText("0");
  lastCols_ = *readCount(txtCols);
  limitStart();
  setAddressLabels();
  txtCols->repaint();
  Show_Hex_Line();
}

// Text that is not a number goes back to the box's last good value.
int64_t frmView::startOrLastGood() const {
  const auto typed = hexToNumber(txtStart->text().toStdString());
  return typed ? static_cast<int64_t>(std::min<uint64_t>(*typed, kBinCapacity)) : lastStart_;
}

double frmView::countOrLastGood() const { return readCount(txtCols).value_or(lastCols_); }

void frmView::limitStart() {
  const auto count = static_cast<int64_t>(std::nearbyint(countOrLastGood()));
  const int64_t lastFit = std::max<int64_t>(BIN_FileBytes - count, 0);
  lastStart_ = std::min(startOrLastGood(), lastFit);
  if (txtStart->text() != hexText(lastStart_)) txtStart->setText(hexText(lastStart_));
}

std::optional<frmView::Stretch> frmView::chosenStretch() const {
  const auto start = readStart(txtStart);
  const auto count = readCount(txtCols);
  if (!start || !count) return std::nullopt;
  const double cols = std::nearbyint(*count);
  if (cols < 0 || cols > kMaxCols) return std::nullopt;
  return Stretch{*start, static_cast<int>(cols)};
}

void frmView::setAddressLabels() {
  const auto stretch = chosenStretch();
  if (!stretch) return;
  const double s = static_cast<double>(stretch->start);
  const double c = stretch->cols;
  const auto address = [](double sum) {
    return hexText(static_cast<int64_t>(std::nearbyint(sum)));
  };
  lbl1->setText(txtStart->text());
  lbl2->setText(address(s + c / 4));
  lbl3->setText(address(s + c / 2));
  lbl4->setText(address(s + c * 3 / 4));
  lbl5->setText(address(s + c));
  for (QLabel* label : {lbl1, lbl2, lbl3, lbl4, lbl5}) label->adjustSize();
}

void frmView::Show_Hex_Line() {
  const auto stretch = chosenStretch();
  // Only bytes of the file are graphed; a stretch that runs past its end draws nothing.
  if (!stretch || !recordsInFile(stretch->start, stretch->cols)) return;
  HexCols = static_cast<int16_t>(stretch->cols);
  HexMaxX = 0;
  HexMinY = 0;
  HexRows = 1;
  for (int r = 0; r < HexRows; ++r) {
    for (int k = 0; k < HexCols; ++k) {
      const auto index = static_cast<size_t>(stretch->start + HexCols * r + k);
      double& value = (*HexData)[static_cast<size_t>(k)][static_cast<size_t>(r)];
      value = recordByte(BIN_Data[index]).value_or(0);
      HexMaxX = std::max(HexMaxX, X_Bar(RotAngle, k, r, value));
    }
  }
  // Fewer than two bytes: the picture keeps the graph it shows.
  if (HexMaxX == 0) return;
  Draw_Hex_Line(HexCols, HexRows, HexMaxX, HexMinY);
}

void frmView::Draw_Hex_Line(int16_t columns, int16_t rows, double& xmax, double& ymin) {
  ymin = -255;
  const int16_t kept = RotAngle;
  RotAngle = 0;
  picHexLine->Cls();
  picHexLine->setDrawWidth(2);
  for (const GridLine& line : kFrameLines) picHexLine->Line(line.x1, line.y1, line.x2, line.y2);
  // The fine levels and the data share the 1-pixel pen.
  picHexLine->setDrawWidth(1);
  for (const GridLine& line : kFineLines) picHexLine->Line(line.x1, line.y1, line.x2, line.y2);
  drawMesh(*picHexLine, RotAngle, *HexData, columns, rows, xmax, ymin, 0.25);
  RotAngle = kept;
}

}  // namespace trimlet
