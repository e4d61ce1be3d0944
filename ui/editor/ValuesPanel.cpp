#include "ui/editor/ValuesPanel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "core/conversion.h"
#include "core/document.h"
#include "core/hex.h"
#include "core/image.h"
#include "ui/common/Captions.h"
#include "ui/common/DropDown.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/SpinControl.h"
#include "ui/common/TextBox.h"
#include "ui/common/ViewFollower.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

// The raw box's text as a number. A run of hexadecimal digits too long for 64 bits is larger
// than any value, so it is corrected like any other number that is too large. nullopt when the
// text is not hexadecimal (empty, other characters, blanks inside).
std::optional<uint64_t> typedNumber(const QString& text) {
  const std::string typed = text.toStdString();
  if (const auto number = hexToNumber(typed)) return number;
  if (isHexText(typed)) return UINT64_MAX;
  return std::nullopt;
}

// 256^n: one more than the largest number n bytes hold (1 for no bytes at all).
uint64_t valueLimit(int bytes) { return uint64_t{1} << (8 * bytes); }

}  // namespace

ValuesPanel::ValuesPanel(EditorFields& fields, const Document& document, const ImageWatch& watch,
                         QWidget* parent)
    : QWidget(parent),
      fields_(fields),
      document_(document),
      follower_(new ViewFollower(
          this, watch,
          [this](const ImageChange& change) {
            const std::optional<Target> target = chosenTarget();
            return target && change.touches(target->first, target->bytes);
          },
          [this] { refresh(); })),
      cmb0Dim(new DropDown(this)),
      lblValue_Xlabel(makeLabel("lblValue_Xlabel", "X Label", this)),
      lblValue_Raw(makeLabel("lblValue_Raw", "Raw Hex", this)),
      txtValue_Raw(makeTextBox("txtValue_Raw", QString(), this)),
      txtValue_Calc(new QLineEdit(this)),
      scrValue(makeSpin("scrValue", Qt::Vertical, this)),
      lblValue_Note(makeLabel("lblValue_Note", QString(), this)) {
  cmb0Dim->setObjectName("cmb0Dim");
  txtValue_Calc->setObjectName("txtValue_Calc");
  txtValue_Calc->setReadOnly(true);
  buildLayout();

  connect(cmb0Dim, &QComboBox::activated, this, &ValuesPanel::cmb0Dim_Click);
  connect(scrValue, &QScrollBar::valueChanged, this, &ValuesPanel::scrValue_Change);
  connect(txtValue_Raw, &TextBox::lostFocus, this, &ValuesPanel::txtValue_Raw_LostFocus);
  connect(&watch, &ImageWatch::referenceChanged, this, &ValuesPanel::showMarks);
}

void ValuesPanel::buildLayout() {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  txtValue_Raw->setFont(fixed);
  txtValue_Calc->setFont(fixed);
  txtValue_Raw->setMinimumWidth(fontMetrics().horizontalAdvance(QString(12, 'M')));
  txtValue_Calc->setMinimumWidth(fontMetrics().horizontalAdvance(QString(16, 'M')));
  txtValue_Calc->setFocusPolicy(Qt::ClickFocus);
  lblValue_Raw->setBuddy(txtValue_Raw);
  lblValue_Note->setWordWrap(true);
  lblValue_Note->setForegroundRole(QPalette::PlaceholderText);
  lblValue_Note->hide();

  // Raw number with its spin control on the left, calculated value on the right, each under
  // its caption.
  auto* boxes = new QGridLayout;
  boxes->setHorizontalSpacing(6);
  boxes->addWidget(lblValue_Raw, 0, 0, 1, 2);
  boxes->addWidget(txtValue_Raw, 1, 0);
  boxes->addWidget(scrValue, 1, 1, Qt::AlignLeft | Qt::AlignVCenter);
  boxes->setColumnMinimumWidth(2, 24);
  boxes->addWidget(lblValue_Xlabel, 0, 3);
  boxes->addWidget(txtValue_Calc, 1, 3);
  boxes->setColumnStretch(4, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(12);
  layout->addWidget(cmb0Dim, 0, Qt::AlignLeft);
  layout->addLayout(boxes);
  layout->addWidget(lblValue_Note);
  layout->addStretch();
}

void ValuesPanel::clearBoxes() {
  txtValue_Raw->clear();
  txtValue_Calc->clear();
}

std::optional<ValuesPanel::Target> ValuesPanel::chosenTarget(QString* note) const {
  const int selection = cmb0Dim->currentIndex();
  if (selection < 0) return std::nullopt;
  const ECU_Item& item = chosenItem(fields_.ValueIndex, selection);
  const RecordRange range = itemRecords(item);
  if (range.problem != RangeProblem::None) {
    if (note != nullptr) *note = QString::fromStdString(rangeNote(range.problem, item.Bytes));
    return std::nullopt;
  }
  return Target{&item, range.first, item.Bytes};
}

namespace {

// The value's bytes joined into one number, most significant first, read by `byte`.
uint64_t joined(int first, int bytes, const std::function<int(int64_t)>& byte) {
  uint64_t value = 0;
  for (int k = 0; k < bytes; ++k) value = value << 8 | static_cast<uint64_t>(byte(first + k));
  return value;
}

QString twoDigitsPerByte(uint64_t value, int bytes) {
  return QString("%1").arg(value, 2 * bytes, 16, QChar('0')).toUpper();
}

}  // namespace

void ValuesPanel::showStored(const Target& target) {
  const auto now = [](int64_t i) { return imageByte(i).value_or(0); };
  txtValue_Raw->setText(twoDigitsPerByte(joined(target.first, target.bytes, now), target.bytes));
  follower_->caughtUp();
  showMarks();
}

void ValuesPanel::refresh() {
  const std::optional<Target> target = chosenTarget();
  if (!target) return;
  if (txtValue_Raw->hasFocus() && txtValue_Raw->isModified()) {
    follower_->caughtUp();
    showMarks();
    return;
  }
  const bool updating = std::exchange(fields_.Updating, true);
  showStored(*target);
  if (target->item->Factor != 0)
    showCalculated(*target->item, typedNumber(txtValue_Raw->text()).value_or(0));
  fields_.Updating = updating;
}

void ValuesPanel::showMarks() {
  const std::optional<Target> target = chosenTarget();
  const RecordRange range{RangeProblem::None, target ? target->first : 0,
                          target ? target->bytes : 0};
  if (!target || !document_.reference().differs(range)) {
    txtValue_Raw->setToolTip(QString());
    return;
  }
  const auto reference = [this](int64_t i) {
    return document_.reference().referenceByte(i).value_or(0);
  };
  const uint64_t value = joined(target->first, target->bytes, reference);
  const ECU_Item& item = *target->item;
  const std::string calculated =
      formatCalculated(static_cast<double>(value), item.Operation, item.Factor, item.Offset);
  txtValue_Raw->setToolTip(
      "Reference: " + twoDigitsPerByte(value, target->bytes) +
      (item.Factor != 0 && !calculated.empty() ? " = " + QString::fromStdString(calculated) : ""));
}

void ValuesPanel::showCalculated(const ECU_Item& item, uint64_t raw) {
  txtValue_Calc->setText(QString::fromStdString(
      formatCalculated(static_cast<double>(raw), item.Operation, item.Factor, item.Offset)));
}

void ValuesPanel::setEditable(bool editable, const QString& note) {
  txtValue_Raw->setEnabled(editable);
  txtValue_Calc->setEnabled(editable);
  scrValue->setEnabled(editable);
  lblValue_Note->setText(note);
  lblValue_Note->setVisible(!note.isEmpty());
}

void ValuesPanel::cmb0Dim_Click() {
  const ECU_Item& item = chosenItem(fields_.ValueIndex, cmb0Dim->currentIndex());
  lblValue_Xlabel->setText(itemCaption(item.Xlabel));
  fields_.Updating = true;
  RawEntered = false;

  QString note;
  const std::optional<Target> target = chosenTarget(&note);
  setEditable(target.has_value(), note);
  if (target) {
    showStored(*target);
    // A factor of 0 means no calculated value: the box must not keep the previous item's.
    if (item.Factor != 0) {
      showCalculated(item, typedNumber(txtValue_Raw->text()).value_or(0));
    } else {
      txtValue_Calc->clear();
    }
  } else {
    clearBoxes();
  }

  scrValue->setMaximum(1);
  scrValue->setMinimum(-1);
  scrValue->setValue(0);
  fields_.Updating = false;
}

void ValuesPanel::scrValue_Change() {
  if (RawEntered) {
    scrValue->setValue(0);
    RawEntered = false;
  }
  if (cmb0Dim->currentIndex() < 0 || fields_.Updating) return;
  const std::optional<Target> target = chosenTarget();
  if (!target) {
    scrValue->setValue(0);
    return;
  }

  const int v = scrValue->value();
  const std::optional<uint64_t> r = typedNumber(txtValue_Raw->text());
  if (!r) {
    scrValue->setValue(0);
    showStored(*target);
    return;
  }
  // Only 0..256^n-1 is ever written, whatever the box holds.
  const auto limit = static_cast<int64_t>(valueLimit(target->bytes));
  const int64_t m = *r > static_cast<uint64_t>(limit) ? -1 : static_cast<int64_t>(*r) - v;
  if (m < 0 || m >= limit) {
    scrValue->setValue(0);
    return;
  }

  {
    const ImageAction action(v == 0 ? "Value of " + target->item->Name
                                    : (v < 0 ? "+1 on " : "-1 on ") + target->item->Name);
    auto rest = static_cast<uint64_t>(m);
    for (int k = target->bytes - 1; k >= 0; --k) {
      writeImageByte(target->first + k, static_cast<int>(rest & 0xFF));
      rest >>= 8;
    }
  }
  txtValue_Raw->setText(QString::fromStdString(numberToHex(static_cast<uint64_t>(m))));
  follower_->caughtUp();
  showMarks();
  if (target->item->Factor != 0) showCalculated(*target->item, static_cast<uint64_t>(m));
  scrValue->setValue(0);
  fields_.Saved = false;
}

void ValuesPanel::txtValue_Raw_LostFocus() {
  if (txtValue_Raw->text().isEmpty()) {
    scrValue->setValue(0);
    return;
  }
  int bytes = 0;
  std::optional<Target> target;
  if (cmb0Dim->currentIndex() >= 0) {
    target = chosenTarget();
    if (!target) return;  // nothing of this item may be written
    bytes = target->bytes;
  }

  const std::optional<uint64_t> r = typedNumber(txtValue_Raw->text());
  if (!r) {
    // Not a number: write nothing and show what the image holds.
    if (target) {
      showStored(*target);
    } else {
      txtValue_Raw->clear();
    }
    scrValue->setValue(0);
    return;
  }
  if (*r >= valueLimit(bytes)) txtValue_Raw->setText(QString("FF").repeated(bytes));
  RawEntered = true;
  scrValue->setValue(1);
}

void ValuesPanel::writeTyped() {
  // Writing it sets the box's text afresh, so a number once written is not written again.
  if (window()->focusWidget() == txtValue_Raw && txtValue_Raw->isModified())
    txtValue_Raw_LostFocus();
}

}  // namespace trimlet
