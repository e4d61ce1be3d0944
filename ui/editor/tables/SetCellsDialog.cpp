#include "ui/editor/tables/SetCellsDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

// The choices in the order of Arithmetic: caption, names, and what the number is for.
struct Choice {
  const char* caption;
  const char* option;
  const char* box;
  const char* purpose;
};
constexpr std::array<Choice, 3> kChoices = {{
    {"&Set to", "optSet", "txtSet", "to set the cells to"},
    {"&Add", "optAdd", "txtAdd", "to add to the cells"},
    {"S&cale by (%)", "optScale", "txtScale", "of percent to scale the cells by"},
}};

}  // namespace

SetCellsDialog::SetCellsDialog(const QString& units, const QString& selected, Changes changes,
                               QWidget* parent)
    : QDialog(parent),
      lblCount(makeLabel("lblCount", QString(), this)),
      selected_(selected),
      changes_(std::move(changes)) {
  setObjectName("dlgSetCells");
  setWindowTitle("Set, add or scale");
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < kChoices.size(); ++i) {
    choices_[i] = new QRadioButton(kChoices[i].caption, this);
    choices_[i]->setObjectName(kChoices[i].option);
    boxes_[i] = new QLineEdit(this);
    boxes_[i]->setObjectName(kChoices[i].box);
    grid->addWidget(choices_[i], static_cast<int>(i), 0);
    grid->addWidget(boxes_[i], static_cast<int>(i), 1);
    QLineEdit* box = boxes_[i];
    QRadioButton* choice = choices_[i];
    connect(choice, &QRadioButton::toggled, this, [this, box](bool on) {
      if (on) box->setFocus();
      showCount();
    });
    connect(box, &QLineEdit::textEdited, this, [choice] { choice->setChecked(true); });
    connect(box, &QLineEdit::textChanged, this, &SetCellsDialog::showCount);
    connect(box, &QLineEdit::returnPressed, this, [this, choice] {
      choice->setChecked(true);  // Enter in a box is for its own choice
      accept();
    });
  }
  choices_[0]->setChecked(true);
  QPushButton* cmdOK = makeButton("cmdOK", "OK", this);
  QPushButton* cmdCancel = makeButton("cmdCancel", "Cancel", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeLabel("lblUnits", units, this));
  layout->addLayout(grid);
  layout->addWidget(lblCount);
  layout->addLayout(buttons);
  connect(cmdOK, &QPushButton::clicked, this, &SetCellsDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &SetCellsDialog::reject);
  showCount();
}

Arithmetic SetCellsDialog::operation() const {
  for (size_t i = 0; i < choices_.size(); ++i)
    if (choices_[i]->isChecked()) return static_cast<Arithmetic>(i);
  return Arithmetic::Set;
}

QLineEdit* SetCellsDialog::box() const { return boxes_[static_cast<size_t>(operation())]; }

std::string SetCellsDialog::text() const { return box()->text().toStdString(); }

void SetCellsDialog::showCount() {
  const std::optional<double> number = cellNumber(text());
  lblCount->setText(number ? QString("Changes %1 of the %2 selected.")
                                 .arg(changes_(operation(), *number))
                                 .arg(selected_)
                           : QString("The %1 selected.").arg(selected_));
}

void SetCellsDialog::accept() {
  const Choice& choice = kChoices[static_cast<size_t>(operation())];
  const QString written = box()->text().trimmed();
  const std::optional<double> number = cellNumber(text());
  if (!number) {
    showMessage(this, written.isEmpty()
                          ? QString("Type the number %1.").arg(choice.purpose)
                          : QString("\"%1\" is not a number %2. Write it with a point for "
                                    "decimals, as 12.5.")
                                .arg(written.left(40), choice.purpose));
    box()->setFocus();
    return;
  }
  number_ = *number;
  QDialog::accept();
}

}  // namespace trimlet
