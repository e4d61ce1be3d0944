#include "ui/viewer/frmView.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/hex.h"
#include "core/image.h"
#include "core/state.h"
#include "core/stepper.h"
#include "core/text.h"
#include "ui/common/Canvas.h"
#include "ui/common/Captions.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/Twips.h"
#include "ui/common/Widgets.h"
#include "ui/graph/Projection.h"

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

QString hexText(int64_t value) {
  return QString::fromStdString(numberToHex(static_cast<uint64_t>(value)));
}

// A start within the image; anything larger cannot name a stretch of it.
std::optional<int64_t> readStart(const TextBox* box) {
  const auto start = hexToNumber(box->text().toStdString());
  if (!start || *start > static_cast<uint64_t>(kBinCapacity)) return std::nullopt;
  return static_cast<int64_t>(*start);
}

}  // namespace

frmView::frmView(const std::string& binPath, const std::string& ecuPath, QWidget* parent)
    : QDialog(parent),
      document_(binPath, ecuPath, DocumentRole::Viewer),
      picHexLine(new Canvas(this)),
      start_("Start", "Start Address", "35", this),
      cols_("Cols", "Total Address's", "140", this),
      lbl0(makeLabel("lbl0", "0", this)),
      lbl128(makeLabel("lbl128", "128", this)),
      lbl255(makeLabel("lbl255", "255", this)),
      lbl1(makeLabel("lbl1", QString(), this)),
      lbl2(makeLabel("lbl2", QString(), this)),
      lbl3(makeLabel("lbl3", QString(), this)),
      lbl4(makeLabel("lbl4", QString(), this)),
      lbl5(makeLabel("lbl5", QString(), this)) {
  setObjectName("frmView");
  picHexLine->setObjectName("picHexLine");

  const auto px = [this](int twips) { return twipsToPixelsX(this, twips); };
  const auto py = [this](int twips) { return twipsToPixelsY(this, twips); };
  picHexLine->move(px(kPictureLeft), py(kPictureTop));
  for (const StretchField* field : {&start_, &cols_}) {
    field->label()->setGeometry(px(kBoxTitleLeft), 0, px(kBoxTitleWidth), py(kBoxHeight));
    field->box()->setGeometry(px(kBoxLeft), 0, px(kBoxWidth), py(kBoxHeight));
    field->spin()->setFixedSize(px(kSpinnerWidth), py(kSpinnerHeight));
    field->spin()->move(px(kSpinnerLeft), 0);
  }
  for (QLabel* value : {lbl0, lbl128, lbl255}) {
    value->setAlignment(Qt::AlignRight | Qt::AlignTop);
    value->setGeometry(px(kValueLabelLeft), 0, px(kValueLabelWidth), value->sizeHint().height());
  }
  lbl1->move(px(kAddressLabelLeft), 0);
  setMinimumSize(px(kMinimumWidth), py(kMinimumHeight));
  resize(px(kStartWidth), py(kStartHeight));

  connect(start_.box(), &TextBox::lostFocus, this, &frmView::txtStart_LostFocus);
  connect(start_.spin(), &SpinControl::valueChanged, this, &frmView::vscStart_Change);
  connect(cols_.box(), &TextBox::lostFocus, this, &frmView::txtCols_LostFocus);
  connect(cols_.spin(), &SpinControl::valueChanged, this, &frmView::vscCols_Change);
}

frmView::~frmView() = default;

bool frmView::Form_Load() {
  ClearVars();
  const Opening opening = document_.open();
  setDefaultPointer();
  showNotices(parentWidget(), opening.notices);
  if (!opening.usable) return false;
  setWindowTitle(fileCaption("Trimscope", document_.recordCount() - 16));
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
  for (QWidget* widget :
       std::initializer_list<QWidget*>{start_.label(), start_.box(), start_.spin()})
    setTop(widget, H - 1155);
  for (QWidget* widget : std::initializer_list<QWidget*>{cols_.label(), cols_.box(), cols_.spin()})
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
  start_.step(steppedStart);
  limitStart();
  setAddressLabels();
  start_.box()->repaint();
  Show_Hex_Line();
}

void frmView::colsStep() {
  cols_.step(steppedCount);
  // A count of 1 is put back to 2; typed counts are held to what the graph can take.
  cols_.settle(limitedCount(cols_.text(), 1));
  limitStart();
  setAddressLabels();
  cols_.box()->repaint();
  Show_Hex_Line();
}

void frmView::limitStart() {
  const double count = toReal(cols_.last()).value_or(0);
  const std::string start = steppedStart(start_.text(), start_.last(), 0);
  start_.settle(limitedStart(
      start, lastStart(document_.fileBytes(), static_cast<int64_t>(std::nearbyint(count)))));
}

std::optional<frmView::Stretch> frmView::chosenStretch() const {
  const auto start = readStart(start_.box());
  const auto count = toReal(cols_.text());
  if (!start || !count) return std::nullopt;
  const double cols = std::nearbyint(*count);
  if (cols < 0 || cols > kMaxCount) return std::nullopt;
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
  lbl1->setText(start_.box()->text());
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
  HexData.read({static_cast<int>(stretch->start), HexCols, HexRows});
  HexData.widen(Projection(RotAngle), HexMaxX, HexMinY);  // the graph's floor is fixed below
  // Fewer than two bytes: the picture keeps the graph it shows.
  if (HexMaxX == 0) return;
  Draw_Hex_Line(HexMaxX, HexMinY);
}

// Seen straight from the front: at angle 0, whatever the window's angle.
void frmView::Draw_Hex_Line(double& xmax, double& ymin) {
  ymin = -255;
  picHexLine->Cls();
  picHexLine->setDrawWidth(2);
  for (const GridLine& line : kFrameLines) picHexLine->Line(line.x1, line.y1, line.x2, line.y2);
  // The fine levels and the data share the 1-pixel pen.
  picHexLine->setDrawWidth(1);
  for (const GridLine& line : kFineLines) picHexLine->Line(line.x1, line.y1, line.x2, line.y2);
  HexData.drawMesh(*picHexLine, Projection(0), 0.25, xmax, ymin);
}

}  // namespace trimlet
