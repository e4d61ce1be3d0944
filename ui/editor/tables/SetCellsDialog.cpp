#include "ui/editor/tables/SetCellsDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/text.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

namespace trimlet {

SetCellsDialog::SetCellsDialog(const QString& units, QWidget* parent)
    : QDialog(parent),
      optSet(new QRadioButton("&Set to", this)),
      optAdd(new QRadioButton("&Add", this)),
      optScale(new QRadioButton("S&cale by (%)", this)),
      txtNumber(new QLineEdit(this)) {
  setObjectName("dlgSetCells");
  setWindowTitle("Set, add or scale");
  optSet->setObjectName("optSet");
  optAdd->setObjectName("optAdd");
  optScale->setObjectName("optScale");
  optSet->setChecked(true);
  txtNumber->setObjectName("txtNumber");
  QPushButton* cmdOK = makeButton("cmdOK", "OK", this);
  QPushButton* cmdCancel = makeButton("cmdCancel", "Cancel", this);

  auto* choices = new QGridLayout;
  choices->addWidget(optSet, 0, 0);
  choices->addWidget(optAdd, 1, 0);
  choices->addWidget(optScale, 2, 0);
  choices->addWidget(txtNumber, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeLabel("lblUnits", units, this));
  layout->addLayout(choices);
  layout->addLayout(buttons);

  connect(txtNumber, &QLineEdit::returnPressed, this, &SetCellsDialog::accept);
  connect(cmdOK, &QPushButton::clicked, this, &SetCellsDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &SetCellsDialog::reject);
}

Arithmetic SetCellsDialog::operation() const {
  if (optAdd->isChecked()) return Arithmetic::Add;
  return optScale->isChecked() ? Arithmetic::Scale : Arithmetic::Set;
}

void SetCellsDialog::accept() {
  const std::optional<double> number = toReal(txtNumber->text().toStdString());
  if (!number) {
    showMessage(this, "\"" + txtNumber->text() +
                          "\" is not a number. Write it with a point for decimals, as 12.5.");
    return;
  }
  number_ = *number;
  QDialog::accept();
}

}  // namespace trimlet
