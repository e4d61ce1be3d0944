#include "ui/editor/FlagsPanel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "core/document.h"
#include "core/image.h"
#include "core/text.h"
#include "ui/common/Captions.h"
#include "ui/common/ChangeMark.h"
#include "ui/common/DropDown.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/ViewFollower.h"
#include "ui/common/Widgets.h"

namespace trimlet {

FlagsPanel::FlagsPanel(EditorFields& fields, const Document& document, const ImageWatch& watch,
                       QWidget* parent)
    : QWidget(parent),
      fields_(fields),
      document_(document),
      follower_(new ViewFollower(
          this, watch,
          [this](const ImageChange& change) {
            const std::optional<int> record = shownRecord();
            return record && change.touches(*record, 1);
          },
          [this] { refresh(); })),
      cmbFlag(new DropDown(this)),
      lblFlag_Ylabel(makeLabel("lblFlag_Ylabel", QString(), this)),
      lblFlag_Xlabel(makeLabel("lblFlag_Xlabel", QString(), this)),
      lblFlag_Xaxis(makeLabel("lblFlag_Xaxis", QString(), this)),
      lblFlag_Note(makeLabel("lblFlag_Note", QString(), this)) {
  cmbFlag->setObjectName("cmbFlag");
  for (int i = 0; i < 8; ++i) {
    const auto index = static_cast<size_t>(i);
    chkFlag[index] = new QCheckBox(this);
    chkFlag[index]->setObjectName(QString("chkFlag(%1)").arg(i));
    lblFlag_Yaxis[index] = makeLabel(QString("lblFlag_Yaxis(%1)").arg(i), QString(), this);
    lblFlag_Mark[index] = makeLabel(QString("lblFlag_Mark(%1)").arg(i), QString(), this);
    // Code-set states raise the handler too; the Updating flag is what keeps those quiet.
    connect(chkFlag[index], &QCheckBox::stateChanged, this,
            [this, i] { chkFlag_Click(static_cast<int16_t>(i)); });
  }
  buildLayout();
  connect(cmbFlag, &QComboBox::activated, this, &FlagsPanel::cmbFlag_Click);
  connect(&watch, &ImageWatch::referenceChanged, this, &FlagsPanel::showMarks);
}

void FlagsPanel::buildLayout() {
  QFont title = font();
  title.setBold(true);
  lblFlag_Ylabel->setFont(title);
  lblFlag_Xlabel->setFont(title);
  lblFlag_Note->setWordWrap(true);
  lblFlag_Note->setForegroundRole(QPalette::PlaceholderText);
  lblFlag_Note->hide();

  // Bit captions in the left column, their boxes in the right one, bit 7 at the top; the
  // titles sit above the two columns.
  auto* bits = new QGridLayout;
  bits->setHorizontalSpacing(18);
  bits->setVerticalSpacing(4);
  bits->addWidget(lblFlag_Xlabel, 0, 1, 1, 3);
  bits->addWidget(lblFlag_Ylabel, 1, 0);
  bits->addWidget(lblFlag_Xaxis, 1, 1, 1, 3);
  for (int i = 0; i < 8; ++i) {
    bits->addWidget(lblFlag_Yaxis[static_cast<size_t>(i)], i + 2, 0);
    bits->addWidget(chkFlag[static_cast<size_t>(i)], i + 2, 1);
    bits->addWidget(lblFlag_Mark[static_cast<size_t>(i)], i + 2, 2);
  }
  bits->setColumnMinimumWidth(0, fontMetrics().horizontalAdvance(QString(10, 'M')));
  bits->setColumnMinimumWidth(2, 16);  // the marks of bits that differ from the reference
  bits->setColumnStretch(3, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(12);
  layout->addWidget(cmbFlag, 0, Qt::AlignLeft);
  layout->addLayout(bits);
  layout->addWidget(lblFlag_Note);
  layout->addStretch();
}

void FlagsPanel::uncheckAll() {
  for (QCheckBox* box : chkFlag) box->setCheckState(Qt::Unchecked);
}

void FlagsPanel::clearLabels() {
  for (QLabel* label : {lblFlag_Xaxis, lblFlag_Xlabel, lblFlag_Ylabel}) label->clear();
  for (QLabel* label : lblFlag_Yaxis) label->clear();
}

std::optional<int> FlagsPanel::chosenRecord(QString* note) const {
  const ECU_Item& item = chosenItem(fields_.FlagIndex, cmbFlag->currentIndex());
  const RecordRange range = itemRecords(item);
  if (range.problem != RangeProblem::None) {
    if (note != nullptr) *note = QString::fromStdString(rangeNote(range.problem));
    return std::nullopt;
  }
  return range.first;
}

void FlagsPanel::cmbFlag_Click() {
  const ECU_Item& item = chosenItem(fields_.FlagIndex, cmbFlag->currentIndex());
  lblFlag_Xaxis->setText(itemCaption(item.Xaxis));
  lblFlag_Xlabel->setText(itemCaption(item.Xlabel));
  lblFlag_Ylabel->setText(itemCaption(item.Ylabel));
  for (size_t i = 0; i < 8; ++i) {
    const std::string_view caption = characters(item.Yaxis, 5 * i, 5);
    lblFlag_Yaxis[i]->setText(
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  }

  QString note;
  const std::optional<int> record = chosenRecord(&note);
  showBits(record ? imageByte(*record).value_or(0) : 0, record.has_value());
  lblFlag_Note->setText(note);
  lblFlag_Note->setVisible(!note.isEmpty());
}

void FlagsPanel::showBits(int byte, bool usable) {
  const bool updating = std::exchange(fields_.Updating, true);
  for (int bit = 0; bit < 8; ++bit) {
    QCheckBox* box = chkFlag[static_cast<size_t>(7 - bit)];
    box->setCheckState((byte >> bit) & 1 ? Qt::Checked : Qt::Unchecked);
    box->setEnabled(usable);
  }
  fields_.Updating = updating;
  follower_->caughtUp();
  showMarks();
}

std::optional<int> FlagsPanel::shownRecord() const {
  return cmbFlag->currentIndex() >= 0 ? chosenRecord() : std::nullopt;
}

void FlagsPanel::refresh() {
  if (const std::optional<int> record = shownRecord())
    showBits(imageByte(*record).value_or(0), true);
}

void FlagsPanel::showMarks() {
  const std::optional<int> record = shownRecord();
  const int now = record ? imageByte(*record).value_or(0) : 0;
  const int reference = record ? document_.reference().referenceByte(*record).value_or(now) : now;
  for (int bit = 0; bit < 8; ++bit) {
    QLabel* mark = lblFlag_Mark[static_cast<size_t>(7 - bit)];
    const bool differs = ((now ^ reference) >> bit) & 1;
    mark->setPixmap(differs ? changeMark().pixmap(12, 12) : QPixmap());
    mark->setToolTip(differs ? QString("Reference: %1").arg((reference >> bit) & 1 ? "on" : "off")
                             : QString());
  }
}

void FlagsPanel::chkFlag_Click(int16_t Index) {
  const ECU_Item& item = chosenItem(fields_.FlagIndex, cmbFlag->currentIndex());
  if (item.Address.empty() || fields_.Updating) return;
  const std::optional<int> record = chosenRecord();
  if (!record) return;  // an item that does not fit the file is never written

  int16_t v = 0;
  for (int i = 0; i < 8; ++i) {
    const int16_t state = chkFlag[static_cast<size_t>(i)]->isChecked() ? 1 : 0;
    v = static_cast<int16_t>(v + (state << (7 - i)));
  }
  // The box that changed names the action; the byte comes from all eight.
  {
    const ImageAction action("Bit " + std::to_string(7 - Index) + " of " + item.Name);
    writeImageByte(*record, v);
  }
  follower_->caughtUp();  // the boxes show the byte just written
  showMarks();
  fields_.Saved = false;
}

}  // namespace trimlet
